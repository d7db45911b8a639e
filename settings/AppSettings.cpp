#include "AppSettings.h"

#include "SettingsTable.h"

#include <cmath>

std::string DefaultLockPanDesc(const std::string& shiftText) { return shiftText + "F3"; }

void ResetSettings(AppSettings& settings, const std::string& shiftText) {
    AppSettings defaults;
    defaults.LockPanDesc = DefaultLockPanDesc(shiftText);
    // Not one assignment of the whole record: a recording may be running,
    // and its grabber reads the rectangle and the pan values meanwhile.
    CopySettingValues(settings, defaults);
    settings.CompressorCode = defaults.CompressorCode;
}

uint32_t RateToThousandths(double rate) {
    const double count = rate * 1000.0 + 0.5;
    if (!(count >= 0.0)) return 0;   // negative or not a number
    if (count >= 4294967295.0) return 4294967295u;
    return static_cast<uint32_t>(count);
}

double ThousandthsToRate(uint32_t count) { return count * 0.001; }

bool RateFitsThousandths(double rate) { return std::isfinite(rate) && rate * 1000.0 + 0.5 <= 4294967295.0; }
