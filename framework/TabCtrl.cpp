#include "TabCtrl.h"

#include <commctrl.h>

#include <vector>

bool CTabCtrl::InsertItem(int index, const std::string& text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = buffer.data();
    return ::SendMessageA(hwnd_, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != -1;
}

int CTabCtrl::GetCurSel() const {
    return static_cast<int>(::SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0));
}

void CTabCtrl::SetCurSel(int index) { ::SendMessageA(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0); }
