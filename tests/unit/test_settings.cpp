#include "doctest.h"

#include "settings/AppSettings.h"
#include "settings/SettingsTable.h"

#include <cmath>
#include <limits>

TEST_CASE("defaults") {
    AppSettings s;
    ResetSettings(s, "Shift+");
    CHECK(s.Width == 320);
    CHECK(s.Height == 240);
    CHECK(s.WinX == -1000);
    CHECK(s.FPS == 10.0);
    CHECK(s.Compress == 75);
    CHECK(s.KeyFrames == 20);
    CHECK(s.AVIFileName == "clip.avi");
    CHECK(s.StartKey == 113);
    CHECK(s.LockPanKey == 114);
    CHECK(s.LockPanMod == 4);
    CHECK(s.LockPanDesc == "Shift+F3");
    CHECK(s.PanModifiers == 6);
    CHECK(s.CompressorCode == 0u);

    s.CompressorCode = kCodeDib;
    s.LockPanDesc.assign(3, 'x');   // (a plain "x" trips a false GCC 12 warning)
    ResetSettings(s, "");
    CHECK(s.CompressorCode == 0u);
    CHECK(s.LockPanDesc == "F3");

    // Every stored value goes back, field by field.
    for (const SettingsKey* key : kAllKeys) {
        for (size_t i = 0; i < key->count; ++i) {
            const SettingField& f = key->fields[i];
            if (f.integer) s.*f.integer = 12345;
            if (f.rate) s.*f.rate = 1.5;
            if (f.text) s.*f.text = "changed";
        }
    }
    ResetSettings(s, "Shift+");
    AppSettings defaults;
    defaults.LockPanDesc = "Shift+F3";
    for (const SettingsKey* key : kAllKeys) {
        for (size_t i = 0; i < key->count; ++i) {
            const SettingField& f = key->fields[i];
            CAPTURE(f.name);
            if (f.integer) CHECK(s.*f.integer == defaults.*f.integer);
            if (f.rate) CHECK(s.*f.rate == defaults.*f.rate);
            if (f.text) CHECK(s.*f.text == defaults.*f.text);
        }
    }
}

TEST_CASE("rates in thousandths") {
    CHECK(RateToThousandths(10.0) == 10000u);
    CHECK(RateToThousandths(29.97) == 29970u);
    CHECK(ThousandthsToRate(29970) == doctest::Approx(29.97));
    CHECK(RateToThousandths(0.0004) == 0u);
    CHECK(ThousandthsToRate(4294967295u) == doctest::Approx(4294967.295));
    // Values the count cannot hold are clamped, never undefined.
    CHECK(RateToThousandths(-5.0) == 0u);
    CHECK(RateToThousandths(std::numeric_limits<double>::quiet_NaN()) == 0u);
    CHECK(RateToThousandths(std::numeric_limits<double>::infinity()) == 4294967295u);
    CHECK(RateToThousandths(1e12) == 4294967295u);
}

TEST_CASE("four-character codes") {
    CHECK(kCodeDib == 0x20424944u);
    CHECK(FourCC("MSVC") == 0x4356534Du);
}
