#pragma once
// A list view's columns after a change of DPI: the dialog manager scales the list itself, not
// its columns, so each column is made as wide to the eye as it was, the user's own widths too.

// clang-format off
#include "platform/win32/WinApi.h"
#include <commctrl.h>
// clang-format on
#include "ui/Twips.h"

namespace qm::ui::win32 {

inline void ScaleListColumns(HWND list, int fromDpi, int toDpi) {
    if (!list || fromDpi <= 0 || toDpi <= 0 || fromDpi == toDpi) return;
    HWND header = ListView_GetHeader(list);
    const int columns = header ? Header_GetItemCount(header) : 0;
    for (int i = 0; i < columns; ++i) {
        ListView_SetColumnWidth(list, i,
                                ScaleRounded(ListView_GetColumnWidth(list, i), toDpi, fromDpi));
    }
}

}  // namespace qm::ui::win32
