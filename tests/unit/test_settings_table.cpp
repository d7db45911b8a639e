#include "doctest.h"

#include "settings/OptionList.h"
#include "settings/SettingsTable.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

// The option list as a value access that also records the names asked for.
class RecordingAccess : public OptionListAccess {
public:
    explicit RecordingAccess(OptionList& list) : OptionListAccess(list) {}
    long Query(const char* name, uint32_t* type, void* data, uint32_t* size) override {
        asked.push_back(name);
        capacities.push_back(*size);
        return OptionListAccess::Query(name, type, data, size);
    }
    std::vector<std::string> asked;
    std::vector<uint32_t> capacities;
};

AppSettings Defaults() {
    AppSettings s;
    ResetSettings(s, "Shift+");
    return s;
}

std::string Dump(const AppSettings& s) {
    OptionList list;
    OptionListAccess access(list);
    for (const SettingsKey* key : kAllKeys) SaveSettingValues(*key, s, access);
    return FormatOptionsText(list);
}

AppSettings LoadText(const std::string& text, AppSettings s = Defaults()) {
    OptionList list;
    ReadOptionsText(text, list);
    OptionListAccess access(list);
    for (const SettingsKey* key : kAllKeys) LoadSettingValues(*key, s, access);
    return s;
}

const char* const kDefaultFile =
    "\"StartX\"  0\r\n"
    "\"StartY\"  0\r\n"
    "\"Width\"  320\r\n"
    "\"Height\"  240\r\n"
    "\"WinX\"  -1000\r\n"
    "\"WinY\"  -1000\r\n"
    "\"FlashRect\"  1\r\n"
    "\"WndHide\"  1\r\n"
    "\"IncFilename\"  1\r\n"
    "\"RecSound\"  0\r\n"
    "\"SoundSampRate\"  11025\r\n"
    "\"SoundSampSize\"  8\r\n"
    "\"FPS\"  10000\r\n"
    "\"FPSPlay\"  10000\r\n"
    "\"Compress\"  75\r\n"
    "\"KeyFrames\"  20\r\n"
    "\"AVIFileName\"  \"clip.avi\"\r\n"
    "\"Start Key\"  113\r\n"
    "\"Start Mod\"  0\r\n"
    "\"Start Desc\"  \"F2\"\r\n"
    "\"Pause Key\"  114\r\n"
    "\"Pause Mod\"  0\r\n"
    "\"Pause Desc\"  \"F3\"\r\n"
    "\"SingleShot Key\"  115\r\n"
    "\"SingleShot Mod\"  0\r\n"
    "\"SingleShot Desc\"  \"F4\"\r\n"
    "\"LockPan Key\"  114\r\n"
    "\"LockPan Mod\"  4\r\n"
    "\"LockPan Desc\"  \"Shift+F3\"\r\n"
    "\"Pan Modifiers\"  6\r\n"
    "\"Pan Locked\"  0\r\n"
    // Added later: after the 31 lines older versions wrote.
    "\"ShowClicks\"  0\r\n"
    "\"ShowKeys\"  0\r\n";

}  // namespace

TEST_CASE("settings tables: names, orders and capacities") {
    CHECK(std::string(kStateKey.path) == "SOFTWARE\\Orvantis\\Velmorax\\State");
    CHECK(std::string(kKeysKey.path) == "SOFTWARE\\Orvantis\\Velmorax\\Keys");
    CHECK(kStateKey.count == 17);
    CHECK(kKeysKey.count == 14);
    CHECK(std::string(kInputMarksKey.path) == kStateKey.path);
    CHECK(kInputMarksKey.count == 2);
    CHECK((kAllKeys[0] == &kStateKey && kAllKeys[1] == &kKeysKey && kAllKeys[2] == &kInputMarksKey));

    OptionList empty;
    RecordingAccess access(empty);
    AppSettings s = Defaults();
    LoadSettingValues(kStateKey, s, access);
    const std::vector<std::string> stateLoad = {"StartX", "StartY", "Width", "Height", "WinX", "WinY",
                                                "FlashRect", "WndHide", "IncFilename", "RecSound",
                                                "SoundSampSize", "SoundSampRate", "FPS", "FPSPlay",
                                                "Compress", "KeyFrames", "AVIFileName"};
    CHECK(access.asked == stateLoad);
    std::vector<uint32_t> caps(17, 4);
    caps[16] = 260;
    CHECK(access.capacities == caps);

    access.asked.clear();
    access.capacities.clear();
    LoadSettingValues(kKeysKey, s, access);
    CHECK(access.asked.size() == 14);
    CHECK(access.asked[2] == "Start Desc");
    CHECK(access.asked[13] == "Pan Locked");
    CHECK(access.capacities[2] == 60u);
    CHECK(access.capacities[11] == 60u);
    CHECK(access.capacities[0] == 4u);
}

TEST_CASE("defaults are written as the 31 lines in save order, then the values added later") {
    CHECK(Dump(Defaults()) == kDefaultFile);
}

TEST_CASE("every value written loads back unchanged") {
    AppSettings s = Defaults();
    s.StartX = -20;
    s.WinX = -1000;
    s.WinY = INT32_MIN;
    s.Width = INT32_MAX;
    s.FPS = 29.97;
    s.FPSPlay = 4294967.295;
    s.AVIFileName = std::string(259, 'a');
    s.StartDesc = std::string(59, 'd');
    s.PauseDesc = "";
    s.SingleShotDesc = "Ctrl+\"Q\"  ";
    s.PanLocked = 1;
    s.ShowClicks = 1;
    s.ShowKeys = 2;
    const std::string text = Dump(s);
    const AppSettings back = LoadText(text);
    CHECK(Dump(back) == text);
    CHECK(back.WinY == INT32_MIN);
    CHECK(back.FPS == doctest::Approx(29.97));
    CHECK(back.AVIFileName == s.AVIFileName);
    CHECK(back.StartDesc == s.StartDesc);
    CHECK(back.SingleShotDesc == s.SingleShotDesc);
    CHECK(back.PauseDesc.empty());
    CHECK((back.ShowClicks == 1 && back.ShowKeys == 2));
}

TEST_CASE("loading from the list") {
    SUBCASE("missing settings keep their values") {
        AppSettings start = Defaults();
        start.PanLocked = 1;
        const AppSettings s = LoadText("\"Width\"  100\r\n\"height\"  50\r\n", start);
        CHECK(s.Width == 100);
        CHECK(s.Height == 50);
        CHECK(s.PanLocked == 1);
        CHECK(s.StartX == 0);
        CHECK(s.AVIFileName == "clip.avi");
    }
    SUBCASE("the first of two lines counts") {
        CHECK(LoadText("\"Width\"  100\r\n\"Width\"  200\r\n").Width == 100);
    }
    SUBCASE("rates in thousandths") {
        const AppSettings s = LoadText("\"FPS\"  10000\r\n\"FPSPlay\"  -1\r\n");
        CHECK(s.FPS == 10.0);
        CHECK(s.FPSPlay == doctest::Approx(4294967.295));   // the count is unsigned
        CHECK(LoadText("\"FPS\"  7500\r\n").FPS == doctest::Approx(7.5));
    }
    SUBCASE("numbers with junk") {
        CHECK(LoadText("\"Width\"  12abc\r\n").Width == 12);
        CHECK(LoadText("\"Width\"  abc\r\n").Width == 0);
    }
    SUBCASE("texts at and beyond their capacity") {
        CHECK(LoadText("\"AVIFileName\"  \"" + std::string(259, 'n') + "\"\r\n").AVIFileName.size() == 259);
        CHECK(LoadText("\"AVIFileName\"  \"" + std::string(260, 'n') + "\"\r\n").AVIFileName == "clip.avi");
        CHECK(LoadText("\"Start Desc\"  \"" + std::string(59, 'd') + "\"\r\n").StartDesc.size() == 59);
        CHECK(LoadText("\"Start Desc\"  \"" + std::string(60, 'd') + "\"\r\n").StartDesc == "F2");
    }
    SUBCASE("a value of the other kind is ignored") {
        const AppSettings s = LoadText("\"Width\"  \"100\"\r\n\"AVIFileName\"  12\r\n\"Start Desc\"  7\r\n");
        CHECK(s.Width == 320);
        CHECK(s.AVIFileName == "clip.avi");
        CHECK(s.StartDesc == "F2");
    }
    SUBCASE("malformed texts") {
        CHECK(LoadText("\"AVIFileName\"  \"a.avi\r\n").AVIFileName == "a.av");
        CHECK(LoadText("\"AVIFileName\"  \"\r\n").AVIFileName.empty());
        CHECK(LoadText("\"Start Desc\"  \"F9\"  \r\n").StartDesc == "F9\" ");
    }
}

TEST_CASE("saving replaces existing lines and appends the others") {
    OptionList list;
    ReadOptionsText("; comment\r\n\"width\"  1\r\n\"Extra\"  5\r\n", list);
    OptionListAccess access(list);
    AppSettings s = Defaults();
    s.Width = 640;
    SaveSettingValues(kStateKey, s, access);
    SaveSettingValues(kKeysKey, s, access);
    REQUIRE(list.Entries().size() == 32);
    CHECK(list.Entries()[0].name == "width");
    CHECK(list.Entries()[0].value == "640");
    CHECK(list.Entries()[1].name == "Extra");
    CHECK(list.Entries()[1].value == "5");
    CHECK(list.Entries()[2].name == "StartX");
    CHECK(list.Entries()[3].name == "StartY");
    CHECK(list.Entries()[4].name == "Height");
    CHECK(list.Entries()[31].name == "Pan Locked");
}

TEST_CASE("rates that do not fit the count are clamped when saved") {
    AppSettings s = Defaults();
    s.FPS = -3.0;
    s.FPSPlay = std::numeric_limits<double>::quiet_NaN();
    std::string text = Dump(s);
    CHECK(text.find("\"FPS\"  0\r\n") != std::string::npos);
    CHECK(text.find("\"FPSPlay\"  0\r\n") != std::string::npos);
    s.FPS = 1e300;
    s.FPSPlay = std::numeric_limits<double>::infinity();
    text = Dump(s);
    // 4294967295 as a signed 32-bit number, as the registry's DWORD holds it.
    CHECK(text.find("\"FPS\"  -1\r\n") != std::string::npos);
    CHECK(text.find("\"FPSPlay\"  -1\r\n") != std::string::npos);
    CHECK(LoadText(text).FPS == doctest::Approx(4294967.295));
    s.FPS = 0.0004;
    CHECK(LoadText(Dump(s)).FPS == 0.0);
}
