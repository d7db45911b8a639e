// The four global hotkey actions, their identifiers and the settings that
// hold each one's key, modifiers and description.
#pragma once

#include "../settings/AppSettings.h"

#include <cstdint>
#include <functional>
#include <string>

enum class HotkeyAction : int {
    Start = 1,        // start or stop a recording
    Pause = 3,        // pause or resume
    SingleShot = 5,   // one frame while paused; held only while paused
    LockPan = 6,      // the rectangle follows the mouse, on or off
};

constexpr int HotkeyId(HotkeyAction action) { return static_cast<int>(action); }

struct HotkeyBinding {
    HotkeyAction action;
    int32_t AppSettings::*key;          // virtual-key code
    int32_t AppSettings::*modifiers;    // 1 Alt, 2 Control, 4 Shift, as RegisterHotKey takes them
    std::string AppSettings::*description;
};

// In registration order: Start, Pause, SingleShot, LockPan.
extern const HotkeyBinding kHotkeyTable[4];

const HotkeyBinding& BindingOf(HotkeyAction action);

// Registration calls, so that the sequence can be followed without a window.
using RegisterHotkeyCall = std::function<bool(int id, unsigned modifiers, unsigned key)>;
using UnregisterHotkeyCall = std::function<void(int id)>;

// Registers the table in order and stops at the first refusal. SingleShot is
// only tried and released at once: it is held only while a recording is
// paused. Returns the refused binding, or none when all were taken.
const HotkeyBinding* RegisterHotkeySequence(const AppSettings& settings, const RegisterHotkeyCall& registerKey,
                                            const UnregisterHotkeyCall& unregisterKey);

// The message for a refused combination: its description, a line feed and
// the explanation.
std::string HotkeyFailureText(const std::string& description, const std::string& explanation);
