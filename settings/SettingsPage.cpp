#include "SettingsPage.h"

#include "../framework/DataExchange.h"

BOOL SettingsPage::OnInitDialog() {
    ::SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, ::GetWindowLongPtrA(hwnd_, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    CDialog::OnInitDialog();
    RefreshFromSettings();
    return TRUE;
}

bool SettingsPage::ReadControls() {
    if (DataExchangeRefusalShowing()) return false;
    // The program's window going away hides it first, and the focus leaves
    // the field then; what it held was taken (or refused) just before.
    if (!::IsWindowVisible(::GetAncestor(hwnd_, GA_ROOT))) return false;
    UpdateData(true);
    return true;
}
