#include "platform/win32/Win32RegistryWatch.h"

#include <utility>

#include "platform/win32/RegistryExport.h"

namespace qm::platform::win32 {

Win32RegistryWatch::Win32RegistryWatch(std::uint32_t root, const std::string& keyPath)
    : root_(root), event_(::CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    std::size_t start = 0;
    while (start < keyPath.size()) {
        std::size_t end = keyPath.find('\\', start);
        if (end == std::string::npos) end = keyPath.size();
        if (end > start) names_.push_back(keyPath.substr(start, end - start));
        start = end + 1;
    }
    Arm();
}

std::string Win32RegistryWatch::PathOf(std::size_t depth) const {
    std::string path;
    for (std::size_t i = 0; i < depth; ++i)
        path += (i ? "\\" : "") + names_[i];
    return path;
}

void Win32RegistryWatch::Arm() {
    armed_ = false;
    // Closing a key with a request pending sets the event; that is no change. Neither is
    // anything told before this point: a true Changed() is followed by a read.
    watched_.reset();
    if (!event_) return;
    ::ResetEvent(event_.get());
    UniqueRegKey key;
    std::size_t depth = names_.size();
    // The query right lets Changed() see that the key was deleted (see there).
    while (::RegOpenKeyExA(RegistryRoot(root_), PathOf(depth).c_str(), 0,
                           KEY_NOTIFY | KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
        if (depth == 0) return;
        --depth;
    }
    if (::RegNotifyChangeKeyValue(key.get(), TRUE,
                                  REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, event_.get(),
                                  TRUE) != ERROR_SUCCESS) {
        return;
    }
    watched_ = std::move(key);
    armed_ = true;
}

bool Win32RegistryWatch::Changed() {
    if (!armed_) {
        Arm();
        return true;
    }
    // Wine tells nothing when the watched key itself is deleted, values and all; the key's
    // handle then answers ERROR_KEY_DELETED, and the watch is set again where the path ends now.
    if (::WaitForSingleObject(event_.get(), 0) != WAIT_OBJECT_0 &&
        ::RegQueryInfoKeyA(watched_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_KEY_DELETED) {
        return false;
    }
    Arm();
    return true;
}

}  // namespace qm::platform::win32
