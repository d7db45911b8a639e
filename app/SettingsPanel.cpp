#include "SettingsPanel.h"

#include "HelpViewer.h"
#include "MainDialog.h"
#include "RecorderApp.h"
#include "../resources/resource_ids.h"

#include "../framework/DataExchange.h"
#include "../framework/Strings.h"
#include "../hotkeys/HotkeyAction.h"
#include "../hotkeys/HotkeyEditDialog.h"
#include "../hotkeys/Hotkeys.h"
#include "../record/OwnCodec.h"
#include "../region/RegionButtons.h"
#include "../region/RegionChoice.h"

#include <commctrl.h>

const MessageEntry SettingsPanel::kMessages[] = {
    OnNotify<&SettingsPanel::OnTabChanged>(IDC_TABS, TCN_SELCHANGE),
    OnCommand<&SettingsPanel::RestoreDefaults>(IDC_RESTORE_DEFAULTS),
    OnCommand<&SettingsPanel::OnPanelHelp>(IDC_PANEL_HELP),
    {},
};
IMPLEMENT_MESSAGE_MAP(SettingsPanel, CDialog)

namespace {

// The title of the hotkey dialog for each action.
UINT HotkeyTitle(HotkeyAction action) {
    switch (action) {
    case HotkeyAction::Start: return IDS_TITLE_START;
    case HotkeyAction::Pause: return IDS_TITLE_PAUSE;
    case HotkeyAction::SingleShot: return IDS_TITLE_SINGLESHOT;
    default: return IDS_TITLE_LOCKPAN;
    }
}

constexpr DWORD_PTR kHotkeyDialogHelpTopic = 6;

// The main window steps aside while the user chooses on the screen.
class RegionChoiceOnScreen : public RegionChoiceSteps {
public:
    RegionChoiceOnScreen(SettingsPanel& panel, HWND main) : panel_(panel), main_(main) {}
    void ReleaseHotkeys() override { App().UnregisterHotkeys(); }
    void RegisterHotkeys() override { panel_.RegisterHotkeysAgain(); }
    bool MainWindowVisible() override { return main_ && ::IsWindowVisible(main_); }
    void MinimiseMainWindow() override {
        ::ShowWindow(main_, SW_MINIMIZE);
        ::UpdateWindow(main_);
        // The windows beneath repaint meanwhile; the overlay copies the screen.
        ::Sleep(500);
    }
    void RestoreMainWindow() override {
        if (main_) ::ShowWindow(main_, SW_RESTORE);
    }
    bool ChooseOnScreen(bool pickWindow, ScreenRect& chosen) override { return ChooseRegionOnScreen(pickWindow, chosen); }

private:
    SettingsPanel& panel_;
    HWND main_;
};

}  // namespace

SettingsPanel::SettingsPanel()
    : CDialog(IDD_SETTINGS_PANEL),
      hotkeyPage(App().settings, *this),
      regionPage(App().settings, *this),
      videoPage(App().settings, *this),
      soundPage(App().settings, *this) {}

bool SettingsPanel::EditHotkey(int hotkeyId) {
    const HotkeyBinding* binding = nullptr;
    for (const HotkeyBinding& b : kHotkeyTable)
        if (HotkeyId(b.action) == hotkeyId) binding = &b;
    if (!binding) return false;
    AppSettings& s = App().settings;
    const std::string title = LoadResString(HotkeyTitle(binding->action));

    App().UnregisterHotkeys();
    HotkeyEditDialog dialog(s.*binding->key, s.*binding->modifiers, title, nullptr,
                            [](HWND dialogWindow) { ShowHelp(dialogWindow, HELP_CONTEXT, kHotkeyDialogHelpTopic); });
    const bool confirmed = dialog.DoModal() == IDOK;
    if (confirmed) {
        dialog.GetHotkey(s.*binding->key, s.*binding->modifiers);
        s.*binding->description = dialog.GetDescription();
        hotkeyPage.ShowDescriptions();
    }
    // Also after a cancel: nothing may stay released.
    RegisterHotkeysAgain();
    return confirmed;
}

bool SettingsPanel::ChooseRegion(bool pickWindow) {
    RegionChoiceOnScreen steps(*this, owner ? owner->hwnd() : nullptr);
    return ChooseRegionWithSteps(steps, pickWindow, App().settings);
}

void SettingsPanel::RegisterHotkeysAgain() {
    App().RegisterHotkeys();
    // Registering tries the single-shot hotkey and lets it go; a paused
    // recording holds it, or the single frame would be out of reach.
    if (owner && owner->recorder.State() == Paused) HoldSingleShotHotkey(owner->hwnd(), App().settings);
}

void SettingsPanel::DoDataExchange(DataExchange& dx) { tabs.Attach(dx.Control(IDC_TABS)); }

BOOL SettingsPanel::OnInitDialog() {
    CDialog::OnInitDialog();
    const UINT labels[4] = {IDS_TAB_REGION, IDS_TAB_HOTKEYS, IDS_TAB_VIDEO, IDS_TAB_SOUND};
    for (int i = 0; i < 4; ++i) tabs.InsertItem(i, LoadResString(labels[i]));

    // Each page goes right after the tab control in the z-order (and so in
    // the tab order), so that the tab control, which clips its siblings,
    // never paints over it.
    HWND after = tabs.hwnd();
    for (SettingsPage* page : Pages()) {
        if (!page->Create(hwnd_)) continue;
        ::SetWindowLongPtrA(page->hwnd(), GWLP_ID, static_cast<LONG_PTR>(page->templateId()));
        ::SetWindowPos(page->hwnd(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ::ShowWindow(page->hwnd(), page == &regionPage ? SW_SHOW : SW_HIDE);
        after = page->hwnd();
    }
    return TRUE;
}

std::array<SettingsPage*, 4> SettingsPanel::Pages() { return {&hotkeyPage, &regionPage, &videoPage, &soundPage}; }

SettingsPage* SettingsPanel::PageOfTab(int tab) {
    const int member = PageMemberForTab(tab);
    return member ? Pages()[static_cast<size_t>(member - 1)] : nullptr;
}

void SettingsPanel::ShowPageOfTab(int tab) {
    for (SettingsPage* page : Pages())
        if (page->hwnd()) ::ShowWindow(page->hwnd(), SW_HIDE);
    SettingsPage* shown = PageOfTab(tab);
    if (shown && shown->hwnd()) ::ShowWindow(shown->hwnd(), SW_SHOW);
}

LRESULT SettingsPanel::OnTabChanged(NMHDR*) {
    ShowPageOfTab(tabs.GetCurSel());
    return 0;
}

void SettingsPanel::OnOK() {
    if (owner) owner->HideSettings();
}

void SettingsPanel::RestoreDefaults() {
    if (AppMessageBox(hwnd_, LoadResString(IDS_RESTORE_ASK), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    ResetSettings(App().settings, LoadResString(IDS_MOD_SHIFT));
    for (SettingsPage* page : Pages()) page->RefreshFromSettings();   // member order: 1, 2, 3, 4
}

void SettingsPanel::OnPanelHelp() { ShowHelp(hwnd_, HELP_CONTEXT, static_cast<DWORD_PTR>(HelpTopicForTab(tabs.GetCurSel()))); }

std::vector<InstalledCompressor> SettingsPanel::OwnCompressors() {
    InstalledCompressor codec;
    if (!OwnCodecEntry(codec.handler, codec.description)) return {};
    return {codec};
}
