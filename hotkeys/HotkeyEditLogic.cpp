#include "HotkeyEditLogic.h"

namespace {

// Registration bits and the hot-key control's flags (commctrl.h, winuser.h).
constexpr int32_t kModAlt = 1, kModControl = 2, kModShift = 4;
constexpr int32_t kFlagShift = 1, kFlagControl = 2, kFlagAlt = 4;

}  // namespace

int32_t ModifiersToHotkeyFlags(int32_t modifiers) {
    int32_t flags = 0;
    if (modifiers & kModShift) flags |= kFlagShift;
    if (modifiers & kModControl) flags |= kFlagControl;
    if (modifiers & kModAlt) flags |= kFlagAlt;
    return flags;
}

int32_t HotkeyFlagsToModifiers(int32_t flags) {
    int32_t modifiers = 0;
    if (flags & kFlagShift) modifiers |= kModShift;
    if (flags & kFlagControl) modifiers |= kModControl;
    if (flags & kFlagAlt) modifiers |= kModAlt;
    return modifiers;
}

uint16_t HotkeyControlValue(int32_t key, int32_t flags) {
    const uint32_t low = (key >= 1 && key <= 255) ? static_cast<uint32_t>(key) : 0u;
    return static_cast<uint16_t>(low | (static_cast<uint32_t>(flags) & 0xFFu) << 8);
}

std::string HotkeyDescription(const ModifierTexts& texts, int32_t flags, bool typed, int32_t key,
                              const std::string& keyName) {
    if (!typed || key == 0) return texts.noKey;
    std::string description;
    if (flags & kFlagControl) description += texts.control;
    if (flags & kFlagShift) description += texts.shift;
    if (flags & kFlagAlt) description += texts.alt;
    return description + keyName;
}

int32_t KeyNameParam(uint32_t scanCode, bool extended) {
    return static_cast<int32_t>((scanCode & 0xFFu) << 16 | (extended ? 1u << 24 : 0u));
}
