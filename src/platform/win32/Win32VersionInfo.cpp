#include "platform/win32/Win32VersionInfo.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {

namespace {

// The language and code page of the resource's string table when it names none: U.S.
// English, Unicode.
constexpr const char* kDefaultTranslation = "040904b0";

std::string OwnModulePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        // A full buffer means the name was cut short.
        if (length < buffer.size()) return std::string(buffer.data(), length);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::string Win32VersionInfo::OwnExecutablePath() {
    return OwnModulePath();
}

namespace {

std::string FirstTranslation(const void* block) {
    struct LangAndCodePage {
        WORD language;
        WORD codePage;
    };
    void* value = nullptr;
    UINT size = 0;
    if (!::VerQueryValueA(block, "\\VarFileInfo\\Translation", &value, &size) || !value ||
        size < sizeof(LangAndCodePage)) {
        return kDefaultTranslation;
    }
    const auto* first = static_cast<const LangAndCodePage*>(value);
    char text[9] = {};
    std::snprintf(text, sizeof text, "%04x%04x", static_cast<unsigned>(first->language),
                  static_cast<unsigned>(first->codePage));
    return text;
}

std::string StringField(const void* block, const std::string& translation, const char* name) {
    // The table the resource declares, then the usual one (a resource whose Translation entry
    // does not match its string table still reads).
    for (const std::string& table : {translation, std::string(kDefaultTranslation)}) {
        const std::string query = "\\StringFileInfo\\" + table + "\\" + name;
        void* value = nullptr;
        UINT size = 0;
        if (::VerQueryValueA(block, query.c_str(), &value, &size) && value) {
            // `size` counts characters and may or may not include the terminating NUL.
            const char* text = static_cast<const char*>(value);
            return std::string(text, strnlen(text, size));
        }
    }
    return {};
}

}  // namespace

ProductInfo Win32VersionInfo::OwnProductInfo() {
    ProductInfo info;
    const std::string path = OwnModulePath();
    if (path.empty()) return info;

    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return info;
    std::vector<char> block(size);
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return info;

    const std::string translation = FirstTranslation(block.data());
    info.productName = StringField(block.data(), translation, "ProductName");
    info.companyName = StringField(block.data(), translation, "CompanyName");
    info.website = StringField(block.data(), translation, "Comments");

    void* value = nullptr;
    UINT length = 0;
    if (::VerQueryValueA(block.data(), "\\", &value, &length) && value &&
        length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        if (fixed->dwSignature == 0xFEEF04BD) {
            info.major = static_cast<int>((fixed->dwProductVersionMS >> 16) & 0xFFFF);
            info.minor = static_cast<int>(fixed->dwProductVersionMS & 0xFFFF);
        }
    }
    return info;
}

}  // namespace qm::platform::win32
