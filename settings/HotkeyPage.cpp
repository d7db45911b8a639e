#include "HotkeyPage.h"

#include "../framework/Strings.h"
#include "../resources/resource_ids.h"

namespace {

struct HotkeyButton {
    int buttonId;
    int hotkeyId;   // the hotkey identifier of the action
    std::string AppSettings::*description;
};

const HotkeyButton kButtons[4] = {
    {IDC_HK_START, 1, &AppSettings::StartDesc},
    {IDC_HK_PAUSE, 3, &AppSettings::PauseDesc},
    {IDC_HK_SINGLESHOT, 5, &AppSettings::SingleShotDesc},
    {IDC_HK_LOCKPAN, 6, &AppSettings::LockPanDesc},
};

struct PanBox {
    int boxId;
    int32_t bit;   // of "Pan Modifiers": 1 Alt, 2 Control, 4 Shift
};

const PanBox kPanBoxes[3] = {{IDC_PAN_SHIFT, 4}, {IDC_PAN_CONTROL, 2}, {IDC_PAN_ALT, 1}};

}  // namespace

const MessageEntry CMyPropertyPage1::kMessages[] = {
    OnCommand<&CMyPropertyPage1::OnEditHotkey>(IDC_HK_START),
    OnCommand<&CMyPropertyPage1::OnEditHotkey>(IDC_HK_PAUSE),
    OnCommand<&CMyPropertyPage1::OnEditHotkey>(IDC_HK_SINGLESHOT),
    OnCommand<&CMyPropertyPage1::OnEditHotkey>(IDC_HK_LOCKPAN),
    OnCommand<&CMyPropertyPage1::OnPanModifier>(IDC_PAN_SHIFT),
    OnCommand<&CMyPropertyPage1::OnPanModifier>(IDC_PAN_CONTROL),
    OnCommand<&CMyPropertyPage1::OnPanModifier>(IDC_PAN_ALT),
    OnCommand<&CMyPropertyPage1::OnPanLocked>(IDC_PAN_LOCKED),
    {},
};
IMPLEMENT_MESSAGE_MAP(CMyPropertyPage1, SettingsPage)

CMyPropertyPage1::CMyPropertyPage1(AppSettings& settings, PageHost& host)
    : SettingsPage(IDD_PAGE_HOTKEYS, settings, host) {}

void CMyPropertyPage1::RefreshFromSettings() {
    if (!IsWindow()) return;
    const int32_t modifiers = LoadShared(settings_.PanModifiers);
    for (const PanBox& box : kPanBoxes) SetChecked(box.boxId, (modifiers & box.bit) ? BST_CHECKED : BST_UNCHECKED);
    SetChecked(IDC_PAN_LOCKED, LoadShared(settings_.PanLocked) != 0 ? BST_CHECKED : BST_UNCHECKED);
    ShowDescriptions();
    UpdateData(false);
}

void CMyPropertyPage1::ShowDescriptions() {
    // A key name may hold "&" (on some layouts); the caption shows it as it is.
    for (const HotkeyButton& button : kButtons)
        SetItemText(button.buttonId, LiteralCaption(settings_.*button.description));
}

void CMyPropertyPage1::OnEditHotkey(UINT buttonId) {
    for (const HotkeyButton& button : kButtons) {
        if (static_cast<UINT>(button.buttonId) != buttonId) continue;
        host_.EditHotkey(button.hotkeyId);   // captions the button anew before the hotkeys come back
        return;
    }
}

void CMyPropertyPage1::OnPanModifier(UINT boxId) {
    for (const PanBox& box : kPanBoxes) {
        if (static_cast<UINT>(box.boxId) != boxId) continue;
        int32_t modifiers = LoadShared(settings_.PanModifiers);
        if (Checked(box.boxId) == BST_CHECKED)
            modifiers |= box.bit;
        else
            modifiers &= ~box.bit;
        StoreShared(settings_.PanModifiers, modifiers);
        return;
    }
}

void CMyPropertyPage1::OnPanLocked() { StoreShared(settings_.PanLocked, Checked(IDC_PAN_LOCKED) == BST_CHECKED ? 1 : 0); }
