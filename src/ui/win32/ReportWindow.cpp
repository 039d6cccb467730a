#include "ui/win32/ReportWindow.h"

#include <vector>

namespace qm::ui::win32 {

namespace {

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

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;

// In dialog units: a box wide enough for the report's rules and headings, OK below it.
DialogTemplate ReportTemplate() {
    DialogTemplate t;
    t.Dialog(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 380, 250,
             2, L"MS Shell Dlg", 8);
    t.Item(kEditClass,
           WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY |
               ES_AUTOVSCROLL | ES_AUTOHSCROLL,
           7, 7, 366, 212, kReportTextId, L"");
    t.Item(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 323, 228, 50, 14, kReportOkId, L"OK");
    return t;
}

struct ReportContent {
    const std::string& caption;
    const std::string& text;
};

INT_PTR CALLBACK ReportProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        switch (message) {
            case WM_INITDIALOG: {
                const auto& content = *reinterpret_cast<const ReportContent*>(lParam);
                ::SetWindowTextA(dialog, content.caption.c_str());
                ::SetDlgItemTextA(dialog, kReportTextId, content.text.c_str());
                // OK has the focus, so the report is not shown selected.
                ::SetFocus(::GetDlgItem(dialog, kReportOkId));
                return FALSE;
            }
            case WM_COMMAND:
                if (LOWORD(wParam) == kReportOkId || LOWORD(wParam) == IDCANCEL) {
                    ::EndDialog(dialog, LOWORD(wParam));
                    return TRUE;
                }
                break;
            default:
                break;
        }
    } catch (...) {
        // Nothing may cross back into the system's code.
    }
    return FALSE;
}

}  // namespace

void ShowReportWindow(HINSTANCE instance, HWND owner, const std::string& caption,
                      const std::string& text) noexcept {
    try {
        const DialogTemplate layout = ReportTemplate();
        const ReportContent content{caption, text};
        ::DialogBoxIndirectParamA(instance, layout.get(), owner, ReportProc,
                                  reinterpret_cast<LPARAM>(&content));
    } catch (...) {
        // Out of memory for the template: there is no viewer to show.
    }
}

}  // namespace qm::ui::win32
