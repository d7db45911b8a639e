#include "SettingsPages.h"

#include "../resources/resource_ids.h"

BOOL SettingsPage::OnInitDialog() {
    ::SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, ::GetWindowLongPtrA(hwnd_, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    CDialog::OnInitDialog();
    RefreshFromSettings();
    return TRUE;
}

CMyPropertyPage1::CMyPropertyPage1() : SettingsPage(IDD_PAGE_HOTKEYS) {}
CMyPropertyPage2::CMyPropertyPage2() : SettingsPage(IDD_PAGE_REGION) {}
CMyPropertyPage3::CMyPropertyPage3() : SettingsPage(IDD_PAGE_VIDEO) {}
CMyPropertyPage4::CMyPropertyPage4() : SettingsPage(IDD_PAGE_SOUND) {}
