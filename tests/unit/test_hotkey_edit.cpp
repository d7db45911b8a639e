#include "doctest.h"

#include "hotkeys/HotkeyEditLogic.h"

#include <windows.h>
#include <commctrl.h>

TEST_CASE("modifiers and the hot-key control's flags swap Shift and Alt") {
    CHECK(ModifiersToHotkeyFlags(MOD_SHIFT) == HOTKEYF_SHIFT);
    CHECK(ModifiersToHotkeyFlags(MOD_ALT) == HOTKEYF_ALT);
    CHECK(ModifiersToHotkeyFlags(MOD_CONTROL) == HOTKEYF_CONTROL);
    CHECK(HotkeyFlagsToModifiers(HOTKEYF_SHIFT | HOTKEYF_CONTROL) == (MOD_SHIFT | MOD_CONTROL));
    CHECK(HotkeyFlagsToModifiers(HOTKEYF_ALT) == MOD_ALT);
    for (int32_t m = 0; m < 8; ++m) CHECK(HotkeyFlagsToModifiers(ModifiersToHotkeyFlags(m)) == m);
    // The extended-key flag is no Windows key, and no other bit comes through.
    CHECK(HotkeyFlagsToModifiers(HOTKEYF_EXT | HOTKEYF_ALT) == MOD_ALT);
    CHECK(ModifiersToHotkeyFlags(MOD_WIN | 0x4000) == 0);
}

TEST_CASE("the control's value keeps the key out of the flags") {
    CHECK(HotkeyControlValue(VK_F3, HOTKEYF_SHIFT) == MAKEWORD(VK_F3, HOTKEYF_SHIFT));
    CHECK(HotkeyControlValue(0x271, HOTKEYF_SHIFT) == MAKEWORD(0, HOTKEYF_SHIFT));
    CHECK(HotkeyControlValue(-1, 0) == 0);
    CHECK(HotkeyControlValue(255, 0x1FF) == MAKEWORD(255, 0xFF));
}

TEST_CASE("descriptions: Control, Shift, Alt, then the key's name") {
    const ModifierTexts texts{"Shift+", "Ctrl+", "Alt+", "(none)"};
    CHECK(HotkeyDescription(texts, HOTKEYF_ALT | HOTKEYF_SHIFT | HOTKEYF_CONTROL, true, VK_F5, "F5") ==
          "Ctrl+Shift+Alt+F5");
    CHECK(HotkeyDescription(texts, HOTKEYF_ALT | HOTKEYF_EXT, true, VK_F9, "F9") == "Alt+F9");
    CHECK(HotkeyDescription(texts, HOTKEYF_SHIFT, false, VK_F5, "F5") == "(none)");   // nothing typed
    CHECK(HotkeyDescription(texts, HOTKEYF_SHIFT, true, 0, "") == "(none)");          // control emptied
    CHECK(HotkeyDescription(texts, HOTKEYF_CONTROL, true, '7', "&") == "Ctrl+&");      // stored as it is
}

TEST_CASE("key-name data from a scan code") {
    CHECK(KeyNameParam(0x3F, false) == 0x003F0000);
    CHECK(KeyNameParam(0x52, true) == 0x01520000);
    CHECK(KeyNameParam(0x1FF, false) == 0x00FF0000);
}
