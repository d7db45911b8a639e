// The rules of the hotkey dialog that need no window: the two modifier
// encodings, the value shown in the hot-key control and the description
// of a combination.
#pragma once

#include <cstdint>
#include <string>

// Modifiers as RegisterHotKey takes them (MOD_ALT 1, MOD_CONTROL 2,
// MOD_SHIFT 4) to the hot-key control's flags (HOTKEYF_SHIFT 1,
// HOTKEYF_CONTROL 2, HOTKEYF_ALT 4) and back. Shift and Alt swap their
// bits, Control keeps its own; every other bit, the control's extended-key
// flag HOTKEYF_EXT (8) among them, is dropped.
int32_t ModifiersToHotkeyFlags(int32_t modifiers);
int32_t HotkeyFlagsToModifiers(int32_t flags);

// The hot-key control's value for a stored combination: the key in the low
// byte, the flags in the high byte. A key that is no virtual-key code
// (outside 1..255) shows as no key rather than spilling into the flags.
uint16_t HotkeyControlValue(int32_t key, int32_t flags);

// The modifier names of the resource library, each used as a prefix.
struct ModifierTexts {
    std::string shift, control, alt, noKey;
};

// The description of a combination: the no-key text when nothing was typed
// or the control holds no key; otherwise the Control, Shift and Alt texts
// that the flags hold, in this order, followed by the key's name.
std::string HotkeyDescription(const ModifierTexts& texts, int32_t flags, bool typed, int32_t key,
                              const std::string& keyName);

// The key-message data that names a key to GetKeyNameText: the scan code
// in bits 16..23 and the extended-key bit 24.
int32_t KeyNameParam(uint32_t scanCode, bool extended);
