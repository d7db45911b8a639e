#include "HotkeyAction.h"

const HotkeyBinding kHotkeyTable[4] = {
    {HotkeyAction::Start, &AppSettings::StartKey, &AppSettings::StartMod, &AppSettings::StartDesc},
    {HotkeyAction::Pause, &AppSettings::PauseKey, &AppSettings::PauseMod, &AppSettings::PauseDesc},
    {HotkeyAction::SingleShot, &AppSettings::SingleShotKey, &AppSettings::SingleShotMod, &AppSettings::SingleShotDesc},
    {HotkeyAction::LockPan, &AppSettings::LockPanKey, &AppSettings::LockPanMod, &AppSettings::LockPanDesc},
};

const HotkeyBinding& BindingOf(HotkeyAction action) {
    for (const HotkeyBinding& binding : kHotkeyTable)
        if (binding.action == action) return binding;
    return kHotkeyTable[0];   // not reached: every action has a row
}

const HotkeyBinding* RegisterHotkeySequence(const AppSettings& settings, const RegisterHotkeyCall& registerKey,
                                            const UnregisterHotkeyCall& unregisterKey) {
    for (const HotkeyBinding& binding : kHotkeyTable) {
        const int id = HotkeyId(binding.action);
        if (!registerKey(id, static_cast<unsigned>(settings.*binding.modifiers),
                         static_cast<unsigned>(settings.*binding.key)))
            return &binding;
        if (binding.action == HotkeyAction::SingleShot) unregisterKey(id);
    }
    return nullptr;
}

std::string HotkeyFailureText(const std::string& description, const std::string& explanation) {
    return description + "\n" + explanation;
}
