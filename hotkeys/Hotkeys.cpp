// Registration and dispatch of the global hotkeys of the main window.
#include "Hotkeys.h"

#include "HotkeyAction.h"

#include "../app/MainDialog.h"
#include "../app/RecorderApp.h"
#include "../resources/resource_ids.h"
#include "../framework/Strings.h"
#include "../record/Recording.h"

namespace {

HWND MainWindow() {
    MainDialog* main = App().mainDialog;
    return main ? main->hwnd() : nullptr;
}

}  // namespace

void RecorderApp::RegisterHotkeys() {
    HWND window = MainWindow();
    if (!window) return;
    const HotkeyBinding* refused = RegisterHotkeySequence(
        settings,
        [window](int id, unsigned modifiers, unsigned key) {
            return ::RegisterHotKey(window, id, modifiers, key) != FALSE;
        },
        [window](int id) { ::UnregisterHotKey(window, id); });
    if (refused)
        AppMessageBox(window, HotkeyFailureText(settings.*refused->description, LoadResString(IDS_HOTKEY_FAILED)),
                      MB_OK);
}

void RecorderApp::UnregisterHotkeys() {
    HWND window = MainWindow();
    if (!window) return;   // hotkeys of a destroyed window are gone with it
    for (const HotkeyBinding& binding : kHotkeyTable) ::UnregisterHotKey(window, HotkeyId(binding.action));
}

void HoldSingleShotHotkey(HWND window) {
    const AppSettings& s = App().settings;
    ::RegisterHotKey(window, HotkeyId(HotkeyAction::SingleShot), static_cast<UINT>(s.SingleShotMod),
                     static_cast<UINT>(s.SingleShotKey));
}

void ReleaseSingleShotHotkey(HWND window) { ::UnregisterHotKey(window, HotkeyId(HotkeyAction::SingleShot)); }

LRESULT MainDialog::OnHotKey(WPARAM id, LPARAM) {
    switch (static_cast<HotkeyAction>(id)) {
    case HotkeyAction::Start:
        if (state == Idle)   // exactly as a click on the start button
            ::PostMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                           reinterpret_cast<LPARAM>(Item(IDC_START)));
        else
            OnStartStop();
        break;
    case HotkeyAction::Pause:
        OnPause();
        break;
    case HotkeyAction::SingleShot:
        RecordSingleFrame();
        break;
    case HotkeyAction::LockPan: {
        int32_t& locked = App().settings.PanLocked;
        const int32_t now = LoadShared(locked) == 0 ? 1 : 0;
        StoreShared(locked, now);
        panel.page1.SetChecked(IDC_PAN_LOCKED, now);   // the "Pan Locked" box of the hotkey page
        break;
    }
    default:
        break;
    }
    return 0;
}
