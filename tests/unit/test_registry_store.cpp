// The registry side of the settings store, against a scratch key that each
// test case removes again.
#include "doctest.h"

#include "settings/OptionList.h"
#include "settings/RegistryStore.h"

#include <string>

namespace {

const char* const kScratch = "SOFTWARE\\Orvantis\\VelmoraxTest";
const char* const kScratchState = "SOFTWARE\\Orvantis\\VelmoraxTest\\State";
const char* const kScratchKeys = "SOFTWARE\\Orvantis\\VelmoraxTest\\Keys";

// The scratch key for one test case: removed before and after.
struct ScratchKey {
    SettingsKey state = kStateKey;
    SettingsKey keys = kKeysKey;
    ScratchKey() {
        Remove();
        state.path = kScratchState;
        keys.path = kScratchKeys;
    }
    ~ScratchKey() { Remove(); }
    static void Remove() {
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kScratchState);
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kScratchKeys);
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kScratch);
    }
    static bool Exists(const char* path) {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        ::RegCloseKey(key);
        return true;
    }
    static void Set(const char* path, const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key;
        REQUIRE(::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
                ERROR_SUCCESS);
        REQUIRE(::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS);
        ::RegCloseKey(key);
    }
    static void SetText(const char* path, const char* name, const std::string& text, bool withZero = true) {
        Set(path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + (withZero ? 1 : 0)));
    }
    static void SetNumber(const char* path, const char* name, DWORD number) {
        Set(path, name, REG_DWORD, &number, 4);
    }
    // A value as it is stored: type and bytes.
    static bool Get(const char* path, const char* name, DWORD& type, std::string& bytes) {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        char buffer[2048];
        DWORD size = sizeof buffer;
        const LONG result = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        ::RegCloseKey(key);
        if (result != ERROR_SUCCESS) return false;
        bytes.assign(buffer, size);
        return true;
    }
    static DWORD CountValues(const char* path) {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
        DWORD values = 0;
        ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                           nullptr, nullptr);
        ::RegCloseKey(key);
        return values;
    }
};

AppSettings Defaults() {
    AppSettings s;
    ResetSettings(s, "Shift+");
    return s;
}

}  // namespace

TEST_CASE("registry: a first save writes all values with their types") {
    ScratchKey scratch;
    AppSettings s = Defaults();
    LoadSettingsKey(scratch.state, s);   // no key yet: nothing changes, nothing is created
    CHECK_FALSE(ScratchKey::Exists(kScratchState));
    CHECK(s.Width == 320);

    SaveSettingsKey(scratch.state, s);
    SaveSettingsKey(scratch.keys, s);
    CHECK(ScratchKey::CountValues(kScratchState) == 17u);
    CHECK(ScratchKey::CountValues(kScratchKeys) == 14u);

    DWORD type = 0;
    std::string bytes;
    REQUIRE(ScratchKey::Get(kScratchState, "WinX", type, bytes));
    CHECK(type == REG_DWORD);
    CHECK(bytes == std::string("\x18\xfc\xff\xff", 4));   // -1000
    REQUIRE(ScratchKey::Get(kScratchState, "FPS", type, bytes));
    CHECK(type == REG_DWORD);
    CHECK(bytes == std::string("\x10\x27\0\0", 4));       // 10000
    REQUIRE(ScratchKey::Get(kScratchState, "AVIFileName", type, bytes));
    CHECK(type == REG_SZ);
    CHECK(bytes == std::string("clip.avi\0", 9));
    REQUIRE(ScratchKey::Get(kScratchKeys, "LockPan Desc", type, bytes));
    CHECK(bytes == std::string("Shift+F3\0", 9));
}

TEST_CASE("registry: every value saved loads back unchanged") {
    ScratchKey scratch;
    AppSettings s = Defaults();
    s.StartX = -7;
    s.WinX = -1000;
    s.WinY = INT32_MIN;
    s.Height = INT32_MAX;
    s.FPS = 29.97;
    s.FPSPlay = 0.5;
    s.AVIFileName = std::string(259, 'f');
    s.StartDesc = std::string(59, 'd');
    s.PauseDesc = "";
    s.PanModifiers = 3;
    SaveSettingsKey(scratch.state, s);
    SaveSettingsKey(scratch.keys, s);

    AppSettings back;
    ResetSettings(back, "");
    LoadSettingsKey(scratch.state, back);
    LoadSettingsKey(scratch.keys, back);
    CHECK(back.StartX == -7);
    CHECK(back.WinX == -1000);
    CHECK(back.WinY == INT32_MIN);
    CHECK(back.Height == INT32_MAX);
    CHECK(back.FPS == doctest::Approx(29.97));
    CHECK(back.FPSPlay == 0.5);
    CHECK(back.AVIFileName == s.AVIFileName);
    CHECK(back.StartDesc == s.StartDesc);
    CHECK(back.PauseDesc.empty());
    CHECK(back.LockPanDesc == "Shift+F3");
    CHECK(back.PanModifiers == 3);
}

TEST_CASE("registry: values of another type or size are ignored") {
    ScratchKey scratch;
    const char* state = kScratchState;
    ScratchKey::SetText(state, "Width", "100");                        // a text for a number
    const unsigned char two[2] = {1, 2};
    ScratchKey::Set(state, "Height", REG_BINARY, two, 2);              // 2 bytes
    const unsigned char eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ScratchKey::Set(state, "StartX", REG_BINARY, eight, 8);            // 8 bytes
    ScratchKey::Set(state, "StartY", REG_BINARY, eight, 4);            // right size, other type
    const DWORD64 wide = 5;
    ScratchKey::Set(state, "WinX", REG_QWORD, &wide, 8);
    ScratchKey::SetNumber(state, "AVIFileName", 65);                   // a number for a text
    ScratchKey::SetNumber(state, "Compress", 50);                      // one good value among them

    AppSettings s = Defaults();
    LoadSettingsKey(scratch.state, s);
    CHECK(s.Width == 320);
    CHECK(s.Height == 240);
    CHECK(s.StartX == 0);
    CHECK(s.StartY == 0);
    CHECK(s.WinX == -1000);
    CHECK(s.AVIFileName == "clip.avi");
    CHECK(s.Compress == 50);
}

TEST_CASE("registry: texts at their capacity") {
    ScratchKey scratch;
    AppSettings s = Defaults();

    SUBCASE("259 characters load, 260 do not") {
        ScratchKey::SetText(kScratchState, "AVIFileName", std::string(259, 'a'));
        LoadSettingsKey(scratch.state, s);
        CHECK(s.AVIFileName == std::string(259, 'a'));
        ScratchKey::SetText(kScratchState, "AVIFileName", std::string(260, 'b'));
        LoadSettingsKey(scratch.state, s);
        CHECK(s.AVIFileName == std::string(259, 'a'));
    }
    SUBCASE("descriptions: 59 load, 60 do not") {
        ScratchKey::SetText(kScratchKeys, "Start Desc", std::string(59, 'x'));
        ScratchKey::SetText(kScratchKeys, "Pause Desc", std::string(60, 'y'));
        LoadSettingsKey(scratch.keys, s);
        CHECK(s.StartDesc == std::string(59, 'x'));
        CHECK(s.PauseDesc == "F3");
    }
    SUBCASE("texts without their zero") {
        ScratchKey::SetText(kScratchKeys, "Start Desc", "Ctrl+Q", false);
        ScratchKey::SetText(kScratchKeys, "Pause Desc", std::string(60, 'z'), false);
        ScratchKey::SetText(kScratchState, "AVIFileName", std::string(260, 'c'), false);
        LoadSettingsKey(scratch.keys, s);
        LoadSettingsKey(scratch.state, s);
        CHECK(s.StartDesc == "Ctrl+Q");
        CHECK(s.PauseDesc == "F3");
        CHECK(s.AVIFileName == "clip.avi");
    }
    SUBCASE("a zero inside a text ends it") {
        ScratchKey::Set(kScratchKeys, "Start Desc", REG_SZ, "ab\0cd", 6);
        LoadSettingsKey(scratch.keys, s);
        CHECK(s.StartDesc == "ab");
    }
}

TEST_CASE("registry: counts of thousandths") {
    ScratchKey scratch;
    ScratchKey::SetNumber(kScratchState, "FPS", 4294967295u);
    ScratchKey::SetNumber(kScratchState, "FPSPlay", 7500);
    AppSettings s = Defaults();
    LoadSettingsKey(scratch.state, s);
    CHECK(s.FPS == doctest::Approx(4294967.295));
    CHECK(s.FPSPlay == 7.5);

    s.FPS = -1.0;
    s.FPSPlay = 1e20;
    SaveSettingsKey(scratch.state, s);
    DWORD type = 0;
    std::string bytes;
    REQUIRE(ScratchKey::Get(kScratchState, "FPS", type, bytes));
    CHECK(bytes == std::string(4, '\0'));
    REQUIRE(ScratchKey::Get(kScratchState, "FPSPlay", type, bytes));
    CHECK(bytes == std::string(4, '\xff'));
}

TEST_CASE("registry: only the values present change") {
    ScratchKey scratch;
    ScratchKey::SetNumber(kScratchState, "Width", 100);
    ScratchKey::SetNumber(kScratchState, "Height", 50);
    AppSettings s = Defaults();
    s.StartX = 33;
    LoadSettingsKey(scratch.state, s);
    CHECK(s.Width == 100);
    CHECK(s.Height == 50);
    CHECK(s.StartX == 33);
    CHECK(s.FPS == 10.0);
}

TEST_CASE("value access: both sides and their codes") {
    ScratchKey scratch;
    OptionList& list = ProcessOptionList();
    list.Clear();
    ReadOptionsText("\"Width\"  100\r\n\"Name\"  \"clip.avi\"\r\n", list);

    DWORD type = 0, size = 4;
    int32_t number = 0;
    CHECK(QuerySettingValue(nullptr, "width", &type, &number, &size) == 0);
    CHECK(number == 100);
    CHECK(type == REG_DWORD);
    char text[16];
    size = 4;
    CHECK(QuerySettingValue(nullptr, "Name", &type, text, &size) == ERROR_MORE_DATA);
    CHECK(size == 9u);
    CHECK(type == REG_SZ);
    size = 16;
    CHECK(QuerySettingValue(nullptr, "Name", &type, text, &size) == 0);
    CHECK(std::string(text) == "clip.avi");
    size = 16;
    type = 77;
    CHECK(QuerySettingValue(nullptr, "Nothing", &type, text, &size) == -1);
    CHECK(size == 16u);
    CHECK(type == 77u);

    const DWORD value = 5;
    CHECK(StoreSettingValue(nullptr, "Extra", REG_DWORD, &value, 4) == 0);
    CHECK(StoreSettingValue(nullptr, "Bin", REG_BINARY, &value, 4) == -1);
    CHECK(list.Entries().size() == 3);
    CHECK(list.Entries()[2].value == "5");

    // With a key handle the registry answers.
    HKEY key;
    REQUIRE(::RegCreateKeyExA(HKEY_CURRENT_USER, kScratchState, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr) == ERROR_SUCCESS);
    CHECK(StoreSettingValue(key, "Extra", REG_DWORD, &value, 4) == 0);
    size = 4;
    number = 0;
    CHECK(QuerySettingValue(key, "Extra", &type, &number, &size) == 0);
    CHECK(number == 5);
    size = 4;
    CHECK(QuerySettingValue(key, "Nothing", &type, &number, &size) == ERROR_FILE_NOT_FOUND);
    ::RegCloseKey(key);
    list.Clear();
}

TEST_CASE("registry: with the option list switched on no key is touched") {
    ScratchKey scratch;
    OptionList& list = ProcessOptionList();
    list.Clear();
    UseOptionList = true;
    AppSettings s = Defaults();
    s.Width = 99;
    SaveSettingsKey(scratch.state, s);
    CHECK_FALSE(ScratchKey::Exists(kScratchState));
    CHECK(list.Entries().size() == 17);
    s.Width = 1;
    LoadSettingsKey(scratch.state, s);
    CHECK(s.Width == 99);
    UseOptionList = false;
    list.Clear();
}
