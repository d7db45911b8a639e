// The resource library holds every dialog, control, string, image and
// cursor that the program looks up by id or name.
#include "doctest.h"

#include "resources/resource_ids.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

HMODULE Library() {
    static HMODULE library = [] {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS | ICC_TAB_CLASSES};
        InitCommonControlsEx(&controls);
        const char* path = std::getenv("VELMORAX_RESOURCE_DLL");
        return LoadLibraryExA(path ? path : "VelRes.dll", nullptr, 0);
    }();
    return library;
}

std::string String(UINT id) {
    char buffer[1024] = "";
    const int length = LoadStringA(Library(), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? length : 0);
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Panels and pages are child dialogs: they need a parent window.
HWND Host() {
    static HWND host = CreateWindowA("STATIC", "host", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    return host;
}

HWND Create(UINT templateId) {
    return CreateDialogParamA(Library(), MAKEINTRESOURCEA(templateId), Host(), NoDialogProc, 0);
}

struct Control {
    int id;
    const char* cls;   // window class, compared without case
};

// Creates the template and checks that every control exists with its class.
void CheckDialog(UINT templateId, const std::vector<Control>& controls) {
    CAPTURE(templateId);
    HWND dialog = Create(templateId);
    REQUIRE(dialog != nullptr);
    for (const Control& c : controls) {
        CAPTURE(c.id);
        HWND item = GetDlgItem(dialog, c.id);
        REQUIRE(item != nullptr);
        char cls[64] = "";
        GetClassNameA(item, cls, sizeof cls);
        CHECK(lstrcmpiA(cls, c.cls) == 0);
    }
    DestroyWindow(dialog);
}

}  // namespace

TEST_CASE("the resource library loads") { REQUIRE(Library() != nullptr); }

TEST_CASE("every dialog template holds its controls") {
    REQUIRE(Library() != nullptr);
    CheckDialog(IDD_ABOUT, {{IDC_VERSION_TEXT, "Static"}, {IDOK, "Button"}, {ID_HELP_CMD, "Button"}});
    CheckDialog(IDD_MAIN, {{IDC_START, "Button"}, {IDC_STOP, "Button"}, {IDC_PAUSE, "Button"},
                           {IDC_OPEN, "Button"}, {IDC_SETTINGS, "Button"}, {ID_HELP_CMD, "Button"},
                           {IDC_EXIT, "Button"}});
    CheckDialog(IDD_SETTINGS_PANEL, {{IDC_TABS, WC_TABCONTROLA}, {IDC_RESTORE_DEFAULTS, "Button"},
                                     {IDC_PANEL_HELP, "Button"}, {IDOK, "Button"}});
    CheckDialog(IDD_PAGE_HOTKEYS, {{IDC_HK_START, "Button"}, {IDC_HK_PAUSE, "Button"},
                                   {IDC_HK_SINGLESHOT, "Button"}, {IDC_HK_LOCKPAN, "Button"},
                                   {IDC_PAN_SHIFT, "Button"}, {IDC_PAN_CONTROL, "Button"},
                                   {IDC_PAN_ALT, "Button"}, {IDC_PAN_LOCKED, "Button"}});
    CheckDialog(IDD_PAGE_REGION, {{IDC_REGION_LEFT, "Edit"}, {IDC_REGION_TOP, "Edit"},
                                  {IDC_REGION_WIDTH, "Edit"}, {IDC_REGION_HEIGHT, "Edit"},
                                  {IDC_REGION_OUTLINE, "Button"}, {IDC_HIDE_NONE, "Button"},
                                  {IDC_HIDE_MINIMIZE, "Button"}, {IDC_HIDE_HIDE, "Button"},
                                  {IDC_HIDE_HIDE_ALL, "Button"}, {IDC_REGION_DRAG, "Button"},
                                  {IDC_REGION_PICK, "Button"}});
    CheckDialog(IDD_PAGE_VIDEO, {{IDC_VIDEO_FILE, "Edit"}, {IDC_VIDEO_FPS, "Edit"},
                                 {IDC_VIDEO_NUMBERING, "Button"}, {IDC_VIDEO_FPS_PLAY, "Edit"},
                                 {IDC_VIDEO_SOUND, "Button"}, {IDC_VIDEO_KEYFRAMES, "Edit"},
                                 {IDC_VIDEO_QUALITY, "Edit"}, {IDC_VIDEO_BROWSE, "Button"},
                                 {IDC_VIDEO_COMPRESSOR, "ComboBox"}});
    CheckDialog(IDD_PAGE_SOUND, {{IDC_SOUND_8BIT, "Button"}, {IDC_SOUND_16BIT, "Button"},
                                 {IDC_SOUND_11K, "Button"}, {IDC_SOUND_22K, "Button"}, {IDC_SOUND_44K, "Button"},
                                 {IDC_SHOW_CLICKS, "Button"}, {IDC_KEYS_OFF, "Button"},
                                 {IDC_KEYS_SHORTCUTS, "Button"}, {IDC_KEYS_ALL, "Button"}});
    CheckDialog(IDD_HOTKEY_EDIT, {{IDC_HOTKEY_CTRL, HOTKEY_CLASSA}, {IDC_HOTKEY_TITLE, "Static"},
                                  {IDOK, "Button"}, {IDCANCEL, "Button"}, {ID_HELP_CMD, "Button"}});
    CheckDialog(IDD_INSTALL_DIR, {{IDC_INSTALL_FOLDER, "Edit"}, {IDOK, "Button"}, {IDCANCEL, "Button"}});
}

TEST_CASE("the hiding choices are one radio group in the order of their values") {
    HWND page = Create(IDD_PAGE_REGION);
    REQUIRE(page != nullptr);
    HWND first = GetDlgItem(page, IDC_HIDE_NONE);
    CHECK((GetWindowLongA(first, GWL_STYLE) & WS_GROUP) != 0);
    HWND next = first;
    for (int id : {IDC_HIDE_MINIMIZE, IDC_HIDE_HIDE, IDC_HIDE_HIDE_ALL}) {
        next = GetWindow(next, GW_HWNDNEXT);
        REQUIRE(next != nullptr);
        CHECK(GetDlgCtrlID(next) == id);
        CHECK((GetWindowLongA(next, GWL_STYLE) & WS_GROUP) == 0);
    }
    DestroyWindow(page);
}

TEST_CASE("every string exists, with the placeholders its use needs") {
    for (UINT id : {101u, 109u, 110u, 111u, 112u, 113u, 114u, 115u, 116u, 117u, 119u, 120u, 121u, 122u, 123u, 128u, 129u,
                    134u, 135u, 136u, 141u, 142u, 143u, 144u, 160u, 161u, 57358u, 61712u, 61713u}) {
        CAPTURE(id);
        CHECK_FALSE(String(id).empty());
    }
    CHECK(Count(String(IDS_AVI_STEP_FAILED), "%1") >= 1);
    CHECK(Count(String(IDS_SUMMARY), "%") == 2);
    CHECK(Count(String(IDS_SUMMARY), "%d") == 2);
    CHECK(Count(String(IDS_SOUND_FAILED), "%") == 1);
    CHECK(Count(String(IDS_SOUND_FAILED), "%d") == 1);
    CHECK(Count(String(IDS_RECOVER_ASK), "%") == 3);
    CHECK(Count(String(IDS_RECOVER_ASK), "%d") == 2);
    CHECK(Count(String(IDS_RECOVER_ASK), "%1") == 1);
    CHECK(Count(String(IDS_RECOVER_FAILED), "%") == 1);
    CHECK(Count(String(IDS_RECOVER_FAILED), "%1") == 1);
    // Texts used without a format hold no conversions at all.
    for (UINT id : {116u, 119u, 122u, 123u, 129u, 136u, 57358u}) {
        CAPTURE(id);
        CHECK(Count(String(id), "%") == 0);
    }
}

TEST_CASE("the About text takes three integers") {
    HWND about = Create(IDD_ABOUT);
    REQUIRE(about != nullptr);
    char text[256] = "";
    GetDlgItemTextA(about, IDC_VERSION_TEXT, text, sizeof text);
    CHECK(Count(text, "%d") == 3);
    CHECK(Count(text, "%") == 3);
    DestroyWindow(about);
}

TEST_CASE("icon, cursor and the 28 button images") {
    CHECK(LoadIconA(Library(), MAKEINTRESOURCEA(IDI_MAIN)) != nullptr);
    CHECK(LoadCursorA(Library(), "CROSSCUR") != nullptr);
    for (const char* caption : {"Start", "Stop", "Pause", "Open", "Settings", "Help", "Exit"}) {
        for (const char* state : {"U", "D", "F", "X"}) {
            const std::string name = std::string(caption) + state;
            CAPTURE(name);
            HBITMAP image = LoadBitmapA(Library(), name.c_str());
            CHECK(image != nullptr);
            if (image) DeleteObject(image);
        }
    }
}
