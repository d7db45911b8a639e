// Registration of the global hotkeys of a window.
#include "Hotkeys.h"

#include "HotkeyAction.h"

#include "../framework/Strings.h"
#include "../resources/resource_ids.h"

void RegisterHotkeys(HWND window, const AppSettings& settings) {
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

void UnregisterHotkeys(HWND window) {
    if (!window) return;   // hotkeys of a destroyed window are gone with it
    for (const HotkeyBinding& binding : kHotkeyTable) ::UnregisterHotKey(window, HotkeyId(binding.action));
}

void HoldSingleShotHotkey(HWND window, const AppSettings& settings) {
    ::RegisterHotKey(window, HotkeyId(HotkeyAction::SingleShot), static_cast<UINT>(settings.SingleShotMod),
                     static_cast<UINT>(settings.SingleShotKey));
}

void ReleaseSingleShotHotkey(HWND window) { ::UnregisterHotKey(window, HotkeyId(HotkeyAction::SingleShot)); }
