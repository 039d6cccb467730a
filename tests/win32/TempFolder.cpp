#include "TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <utility>
#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"

namespace qm::wintest {

namespace {

using platform::win32::UniqueFile;
using platform::win32::UniqueFind;

// Wide calls on a "\\?\" path: tests leave names outside the code page and paths longer than
// MAX_PATH behind, which the ANSI calls cannot reach.
// The listing is read to its end before anything is deleted: deleting while it is read can
// make the enumeration skip entries.
void RemoveTree(const std::wstring& path) {
    std::vector<std::pair<std::wstring, bool>> children;  // name, is a folder
    WIN32_FIND_DATAW data{};
    {
        UniqueFind find(::FindFirstFileW((path + L"\\*").c_str(), &data));
        if (find) {
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                children.emplace_back(name,
                                      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
            } while (::FindNextFileW(find.get(), &data));
        }
    }
    for (const auto& [name, isFolder] : children) {
        const std::wstring child = path + L"\\" + name;
        ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (isFolder) {
            RemoveTree(child);
        } else {
            ::DeleteFileW(child.c_str());
        }
    }
    ::RemoveDirectoryW(path.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    char base[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathA(sizeof base, base);
    EXPECT_GT(length, 0u);
    static std::atomic<unsigned> serial{0};
    for (;;) {
        path_ = std::string(base, length) + "qm-win32-test-" +
                std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(serial++);
        if (::CreateDirectoryA(path_.c_str(), nullptr)) break;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            ADD_FAILURE() << "cannot create " << path_ << ": error " << ::GetLastError();
            break;
        }
    }
}

TempFolder::~TempFolder() {
    RemoveTree(L"\\\\?\\" + Widen(path_));
}

std::wstring Widen(const std::string& ansi) {
    if (ansi.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
    return wide;
}

void PutFile(const std::string& path, const std::string& bytes) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << "cannot create " << path << ": error " << ::GetLastError();
    DWORD written = 0;
    ASSERT_TRUE(
        ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
}

std::optional<std::string> FileContent(const std::string& path) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        content.append(buffer, got);
    }
    return content;
}

bool PathExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace qm::wintest
