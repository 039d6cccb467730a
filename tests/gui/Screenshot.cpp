#include "Screenshot.h"

#include <fstream>

#include "platform/win32/Handle.h"

namespace qm::ui::win32 {

bool SaveWindowBitmap(HWND window, const std::string& path) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    if (!::GetWindowRect(window, &r)) return false;
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;
    const platform::win32::WindowDc screen(nullptr);
    const platform::win32::UniqueMemoryDc memory(::CreateCompatibleDC(screen.get()));
    if (!screen || !memory) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const platform::win32::UniqueBitmap bitmap(
        ::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bool ok = false;
    if (bitmap && bits) {
        const HGDIOBJ old = ::SelectObject(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), r.left, r.top, SRCCOPY);
        ::GdiFlush();
        ::SelectObject(memory.get(), old);
        const auto rowBytes = static_cast<DWORD>((width * 3 + 3) & ~3);
        const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
        file.bfSize = file.bfOffBits + imageBytes;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof(file));
        out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
        out.write(static_cast<const char*>(bits), imageBytes);
        ok = static_cast<bool>(out);
    }
    return ok;
}

}  // namespace qm::ui::win32
