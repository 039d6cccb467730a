#pragma once
// Dialog templates built in memory, so that the program's small dialogs need no resource
// script of their own.

#include <vector>

#include "platform/win32/WinApi.h"

namespace qm::ui::win32 {

// A dialog template as the system reads it: 16-bit words, each record starting on a 32-bit
// boundary. The vector's storage is aligned for any type, so the first record is too.
class DialogTemplate {
  public:
    void Dialog(DWORD style, short cx, short cy, WORD items, const wchar_t* font, WORD points) {
        Dword(style);
        Dword(0);  // extended style
        Word(items);
        Box(0, 0, cx, cy);
        Word(0);    // no menu
        Word(0);    // the standard dialog class
        Text(L"");  // the caption is set with the text, in the code page the program uses
        Word(points);
        Text(font);
    }
    // One control of a predefined class (0x80 button, 0x81 edit).
    void Item(WORD windowClass, DWORD style, short x, short y, short cx, short cy, int id,
              const wchar_t* title) {
        if (words_.size() % 2 != 0) Word(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Box(x, y, cx, cy);
        Word(static_cast<WORD>(id));
        Word(0xFFFF);
        Word(windowClass);
        Text(title);
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Box(short x, short y, short cx, short cy) {
        for (const short v : {x, y, cx, cy})
            Word(static_cast<WORD>(v));
    }
    void Text(const wchar_t* s) {
        for (; *s; ++s)
            Word(static_cast<WORD>(*s));
        Word(0);
    }

    std::vector<WORD> words_;
};

// The predefined control classes a template names by number.
inline constexpr WORD kButtonClass = 0x0080;
inline constexpr WORD kEditClass = 0x0081;
inline constexpr WORD kStaticClass = 0x0082;
inline constexpr WORD kListBoxClass = 0x0083;

}  // namespace qm::ui::win32
