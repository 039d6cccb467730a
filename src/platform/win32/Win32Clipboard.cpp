#include "platform/win32/Win32Clipboard.h"

#include <cstring>

#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {

namespace {

// The clipboard is opened for one exchange and closed on every way out.
class OpenedClipboard {
  public:
    explicit OpenedClipboard(HWND owner) : open_(owner && ::OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (open_) ::CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

  private:
    bool open_;
};

// Memory for the clipboard: ours until SetClipboardData takes it over.
class ClipboardMemory {
  public:
    explicit ClipboardMemory(std::size_t size) : memory_(::GlobalAlloc(GMEM_MOVEABLE, size)) {}
    ~ClipboardMemory() {
        if (memory_) ::GlobalFree(memory_);
    }
    ClipboardMemory(const ClipboardMemory&) = delete;
    ClipboardMemory& operator=(const ClipboardMemory&) = delete;
    HGLOBAL get() const { return memory_; }
    void Release() { memory_ = nullptr; }

  private:
    HGLOBAL memory_;
};

}  // namespace

bool Win32Clipboard::PutText(const std::string& text) {
    if (!owner_) {
        owner_.reset(::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       ::GetModuleHandleA(nullptr), nullptr));
    }
    const OpenedClipboard clipboard(owner_.get());
    if (!clipboard || !::EmptyClipboard()) return false;
    ClipboardMemory memory(text.size() + 1);
    if (!memory.get()) return false;
    void* bytes = ::GlobalLock(memory.get());
    if (!bytes) return false;
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    ::GlobalUnlock(memory.get());
    if (!::SetClipboardData(CF_TEXT, memory.get())) return false;
    memory.Release();  // the system owns it now
    return true;
}

}  // namespace qm::platform::win32
