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
    UpdateData(true);
    return true;
}
