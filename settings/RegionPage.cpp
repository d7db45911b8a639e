#include "RegionPage.h"

#include "../framework/DataExchange.h"
#include "../resources/resource_ids.h"

const MessageEntry CMyPropertyPage2::kMessages[] = {
    OnCommand<&CMyPropertyPage2::OnLeftDone>(IDC_REGION_LEFT, EN_KILLFOCUS),
    OnCommand<&CMyPropertyPage2::OnTopDone>(IDC_REGION_TOP, EN_KILLFOCUS),
    OnCommand<&CMyPropertyPage2::OnWidthDone>(IDC_REGION_WIDTH, EN_KILLFOCUS),
    OnCommand<&CMyPropertyPage2::OnHeightDone>(IDC_REGION_HEIGHT, EN_KILLFOCUS),
    OnCommand<&CMyPropertyPage2::OnHidingChosen>(IDC_HIDE_NONE),
    OnCommand<&CMyPropertyPage2::OnHidingChosen>(IDC_HIDE_MINIMIZE),
    OnCommand<&CMyPropertyPage2::OnHidingChosen>(IDC_HIDE_HIDE),
    OnCommand<&CMyPropertyPage2::OnHidingChosen>(IDC_HIDE_HIDE_ALL),
    OnCommand<&CMyPropertyPage2::OnOutline>(IDC_REGION_OUTLINE),
    OnCommand<&CMyPropertyPage2::OnChooseRegion>(IDC_REGION_DRAG),
    OnCommand<&CMyPropertyPage2::OnChooseRegion>(IDC_REGION_PICK),
    {},
};
IMPLEMENT_MESSAGE_MAP(CMyPropertyPage2, SettingsPage)

CMyPropertyPage2::CMyPropertyPage2(AppSettings& settings, PageHost& host)
    : SettingsPage(IDD_PAGE_REGION, settings, host) {}

void CMyPropertyPage2::DoDataExchange(DataExchange& dx) {
    DDX_Text(dx, IDC_REGION_HEIGHT, height);
    DDX_Text(dx, IDC_REGION_TOP, top);
    DDX_Text(dx, IDC_REGION_LEFT, left);
    DDX_Text(dx, IDC_REGION_WIDTH, width);
    DDX_Check(dx, IDC_REGION_OUTLINE, outline);
    DDX_Radio(dx, IDC_HIDE_NONE, hidingChoice);
}

void CMyPropertyPage2::RefreshFromSettings() {
    if (!IsWindow()) return;
    left = LoadShared(settings_.StartX);
    top = LoadShared(settings_.StartY);
    width = LoadShared(settings_.Width);
    height = LoadShared(settings_.Height);
    hidingChoice = settings_.WndHide;
    outline = LoadShared(settings_.FlashRect);
    UpdateData(false);
}

// The frame grabber reads the rectangle and the outline switch while recording.
void CMyPropertyPage2::OnLeftDone() {
    if (ReadControls()) StoreShared(settings_.StartX, left);
}

void CMyPropertyPage2::OnTopDone() {
    if (ReadControls()) StoreShared(settings_.StartY, top);
}

void CMyPropertyPage2::OnWidthDone() {
    if (ReadControls()) StoreShared(settings_.Width, width);
}

void CMyPropertyPage2::OnHeightDone() {
    if (ReadControls()) StoreShared(settings_.Height, height);
}

void CMyPropertyPage2::OnHidingChosen() {
    if (ReadControls()) settings_.WndHide = hidingChoice;
}

void CMyPropertyPage2::OnOutline() {
    // The box toggles itself; the value follows without an exchange.
    outline = outline == 0 ? 1 : 0;
    StoreShared(settings_.FlashRect, outline);
}

void CMyPropertyPage2::OnChooseRegion(UINT buttonId) {
    if (!host_.ChooseRegion(buttonId == IDC_REGION_PICK)) return;
    left = LoadShared(settings_.StartX);
    top = LoadShared(settings_.StartY);
    width = LoadShared(settings_.Width);
    height = LoadShared(settings_.Height);
    UpdateData(false);
}
