#pragma once
// Ownership of Win32 handles: one template, one traits type per kind of handle. Each kind says
// explicitly which value means "no handle", because the API is not consistent about it
// (CreateFileA and FindFirstFileA fail with INVALID_HANDLE_VALUE, registry keys, modules and
// shell allocations with NULL).

#include <utility>

#include "platform/win32/WinApi.h"
// CoTaskMemFree; the lean windows.h leaves the COM headers out.
#include <objbase.h>

namespace qm::platform::win32 {

template <typename Traits>
class UniqueHandle {
  public:
    using Value = typename Traits::Value;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Value value) noexcept : value_(value) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Value get() const noexcept { return value_; }
    bool valid() const noexcept { return value_ != Traits::Invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    // Gives up ownership without closing.
    Value release() noexcept { return std::exchange(value_, Traits::Invalid()); }

    // Closes the current handle (if any) and takes ownership of `value`.
    void reset(Value value = Traits::Invalid()) noexcept {
        const Value old = std::exchange(value_, value);
        if (old != Traits::Invalid()) Traits::Close(old);
    }

    // For APIs that return the handle through an out parameter: closes the current handle
    // and hands out the address to fill.
    Value* put() noexcept {
        reset();
        return &value_;
    }

  private:
    Value value_ = Traits::Invalid();
};

// Files opened with CreateFileA.
struct FileHandleTraits {
    using Value = HANDLE;
    static Value Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Value h) noexcept { ::CloseHandle(h); }
};

// Kernel objects whose openers fail with NULL (OpenProcess, OpenProcessToken).
struct KernelHandleTraits {
    using Value = HANDLE;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value h) noexcept { ::CloseHandle(h); }
};

// Searches started with FindFirstFileA.
struct FindHandleTraits {
    using Value = HANDLE;
    static Value Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Value h) noexcept { ::FindClose(h); }
};

// Registry keys opened or created by this program (never the predefined root keys).
struct RegKeyTraits {
    using Value = HKEY;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value h) noexcept { ::RegCloseKey(h); }
};

// Modules loaded with LoadLibraryA.
struct ModuleTraits {
    using Value = HMODULE;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value h) noexcept { ::FreeLibrary(h); }
};

// Icons loaded with LoadImageA (not shared ones: LR_SHARED icons must not be destroyed).
struct IconTraits {
    using Value = HICON;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value h) noexcept { ::DestroyIcon(h); }
};

// GDI objects this program creates (bitmaps, brushes).
template <typename Object>
struct GdiObjectTraits {
    using Value = Object;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value h) noexcept { ::DeleteObject(h); }
};

// Memory device contexts made with CreateCompatibleDC.
struct MemoryDcTraits {
    using Value = HDC;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value h) noexcept { ::DeleteDC(h); }
};

// Memory the shell allocates for the caller (item-id lists and the like).
template <typename Pointer>
struct CoTaskMemTraits {
    using Value = Pointer;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value p) noexcept { ::CoTaskMemFree(p); }
};

// Windows made with CreateWindowEx that no dialog owns.
struct WindowTraits {
    using Value = HWND;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value h) noexcept { ::DestroyWindow(h); }
};

using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueFind = UniqueHandle<FindHandleTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
template <typename Pointer>
using UniqueCoTaskMem = UniqueHandle<CoTaskMemTraits<Pointer>>;

// A window's device context (the screen's for no window), borrowed with GetDC and given back
// with ReleaseDC, which needs the window as well as the context.
class WindowDc {
  public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

}  // namespace qm::platform::win32
