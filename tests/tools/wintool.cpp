// wintool: reads and drives the windows of programs in the same Wine prefix,
// for the integration tests. Output is one line per item, fields separated
// by tabs. A window is named by its handle (0x...) or its exact title.
//
//   wintool windows                      top-level windows: hwnd pid class visible iconic enabled l t r b title
//   wintool controls WINDOW              child controls: id class enabled visible checked l t r b text
//                                        inside needW needH (an edit's text is what it holds now, read
//                                        with WM_GETTEXT; inside: 1 when the control lies within its
//                                        parent's client area; needW needH: the size its text needs in
//                                        the dialogs' font at this display's dots per inch, with the
//                                        room the control's frame, box or margins take; 0 0 for images)
//   wintool child WINDOW ID              the first descendant with that id (a page of a panel), as 0x...
//   wintool focus WINDOW                 the control with the keyboard focus in WINDOW's thread:
//                                        id class selStart selEnd (the selection of an edit, else -1 -1)
//   wintool items WINDOW ID              entries of the combo box ID: index selected data(hex) text
//   wintool msgbox                       open message boxes: hwnd owner caption text
//   wintool command WINDOW ID            posts WM_COMMAND ID (a button click)
//   wintool post WINDOW MSG WPARAM LPARAM
//   wintool send WINDOW MSG WPARAM LPARAM   prints the result
//   wintool wait TITLE SECONDS           waits until a visible window has the title; exit 1 on time-out
//   wintool hold-hotkey MOD VK SECONDS   keeps a hotkey registered (another program holding it)
//   wintool tab WINDOW ID                selected index of the tab control ID
//   wintool screen                       the screen size and bits per pixel, the number of monitors,
//                                        the virtual screen (l t r b) and the dots per inch
//   wintool bars L T W H SECONDS         a window at that place painted in eight bars 40 pixels wide:
//                                        black, red, green, blue, yellow, cyan, magenta, white
//   wintool framed L T W H SECONDS       a captioned, sizable window "wintool framed" at that place; prints
//                                        "shown", its window rectangle and its client area on the screen
//   wintool label TEXT                   TEXT as the system font writes it on a memory context: its
//                                        width and height, then one row per line, '#' for text, '.' else
//   wintool palette SECONDS              a window realizes 236 new colours in the foreground for that long;
//                                        prints the system palette entries 10..13 before and after
//   wintool pointer                      where the pointer is, as Wine has it: x y
//   wintool dpi WINDOW                   the window's DPI awareness (0 unaware, 1 system, 2 per monitor)
//                                        and its dots per inch
//   wintool freeze WINDOW SECONDS        suspends the thread that runs the window for that long (a
//                                        program whose user-interface thread is held up, as by a slow disk)
//   wintool lock-key SUBKEY              creates HKEY_LOCAL_MACHINE\SUBKEY readable only: nobody may
//                                        write it (a user without rights)
//   wintool usage WINDOW                 what the window's process holds: private bytes, GDI and USER
//                                        objects (GetGuiResources), then its GDI handle table's used
//                                        entries and its windows (Wine answers 0 to the first three)
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <sddl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Text(HWND hwnd) {
    char buffer[1024] = "";
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

std::string ClassOf(HWND hwnd) {
    char buffer[256] = "";
    GetClassNameA(hwnd, buffer, sizeof buffer);
    return buffer;
}

// Tabs and line ends inside texts are shown escaped so each item stays one line.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return out;
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopWindows() {
    std::vector<HWND> list;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&list));
    return list;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> list;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&list));
    return list;
}

HWND FindByName(const char* name) {
    if (std::strncmp(name, "0x", 2) == 0) return reinterpret_cast<HWND>(std::strtoull(name, nullptr, 16));
    HWND hidden = nullptr;
    for (HWND hwnd : TopWindows()) {
        if (Text(hwnd) != name) continue;
        if (IsWindowVisible(hwnd)) return hwnd;
        if (!hidden) hidden = hwnd;
    }
    return hidden;
}

// Handles print as 0x... so that they can be given back as a window name.
std::string Handle(HWND hwnd) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)));
    return buffer;
}

void PrintRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    std::printf("%ld\t%ld\t%ld\t%ld", r.left, r.top, r.right, r.bottom);
}

int Windows() {
    for (HWND hwnd : TopWindows()) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        std::printf("%s\t%lu\t%s\t%d\t%d\t%d\t", Handle(hwnd).c_str(), pid, ClassOf(hwnd).c_str(),
                    IsWindowVisible(hwnd) ? 1 : 0, IsIconic(hwnd) ? 1 : 0, IsWindowEnabled(hwnd) ? 1 : 0);
        PrintRect(hwnd);
        std::printf("\t%s\n", Escaped(Text(hwnd)).c_str());
    }
    return 0;
}

// What an edit holds now: GetWindowText of another process's edit gives
// only its creation text.
std::string CurrentText(HWND hwnd) {
    char buffer[1024] = "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                             5000, &length))
        return {};
    return std::string(buffer, length < sizeof buffer ? length : sizeof buffer - 1);
}

HWND DescendantWithId(HWND parent, int id) {
    for (HWND hwnd : Descendants(parent))
        if (GetDlgCtrlID(hwnd) == id) return hwnd;
    return nullptr;
}

int Focus(HWND window) {
    if (!window) return 2;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus) {
        std::printf("none\n");
        return 0;
    }
    long start = -1, end = -1;
    const std::string cls = ClassOf(info.hwndFocus);
    if (cls == "Edit") {
        const DWORD selection = static_cast<DWORD>(SendMessageA(info.hwndFocus, EM_GETSEL, 0, 0));
        start = static_cast<long>(LOWORD(selection));
        end = static_cast<long>(HIWORD(selection));
    }
    std::printf("%d\t%s\t%ld\t%ld\n", GetDlgCtrlID(info.hwndFocus), cls.c_str(), start, end);
    return 0;
}

int Items(HWND combo) {
    if (!combo) return 2;
    const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    const int selected = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    for (int i = 0; i < count; ++i) {
        // The wide message: Wine hands the 8-bit one across processes unconverted.
        wchar_t wide[512] = L"";
        if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 512)
            SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide));
        char text[1024] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        const auto data = static_cast<unsigned long long>(SendMessageA(combo, CB_GETITEMDATA, i, 0));
        std::printf("%d\t%d\t%llx\t%s\n", i, i == selected ? 1 : 0, data, Escaped(text).c_str());
    }
    return 0;
}

bool InsideParent(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    RECT own{}, room{};
    if (!parent || !GetWindowRect(hwnd, &own) || !GetClientRect(parent, &room)) return false;
    MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&room), 2);
    return own.left >= room.left && own.top >= room.top && own.right <= room.right && own.bottom <= room.bottom;
}

// What the text of a control needs, measured in the font the dialog
// templates name ("MS Shell Dlg", 8 points) at the display's dots per inch:
// a control from another process does not lend its font.
SIZE TextNeed(HWND hwnd, const std::string& cls, const std::string& text) {
    SIZE need{0, 0};
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    const int buttonType = style & BS_TYPEMASK;
    const int staticType = style & SS_TYPEMASK;
    const bool isButton = cls == "Button", isStatic = cls == "Static", isEdit = cls == "Edit";
    if ((!isButton && !isStatic && !isEdit) || (isButton && buttonType == BS_OWNERDRAW) ||
        (isStatic && staticType > SS_SIMPLE && staticType != SS_LEFTNOWORDWRAP))
        return need;
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    HFONT font = CreateFontA(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Shell Dlg");
    HGDIOBJ old = SelectObject(dc, font);
    RECT client{};
    GetClientRect(hwnd, &client);
    const bool wraps = isStatic && staticType <= SS_RIGHT;
    RECT r = {0, 0, wraps ? client.right : 0, 0};
    const std::string shown = isEdit ? std::string("0") : text;   // an edit needs the height of a line
    DrawTextA(dc, shown.c_str(), -1, &r, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    need = {isEdit ? 0 : r.right, r.bottom};
    const int edge = GetSystemMetrics(SM_CXEDGE);
    if (isButton && (buttonType == BS_PUSHBUTTON || buttonType == BS_DEFPUSHBUTTON)) {
        need.cx += 4 * edge;
        need.cy += 2 * edge;
    } else if (isButton && buttonType == BS_GROUPBOX) {
        need.cx += MulDiv(16, dpi, 96);   // the frame's indent on both sides of the title
    } else if (isButton) {
        need.cx += GetSystemMetrics(SM_CXMENUCHECK) + MulDiv(4, dpi, 96);   // the box and its gap
    } else if (isEdit) {
        need.cy += 2 * GetSystemMetrics(SM_CYEDGE);
    }
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return need;
}

int Controls(HWND parent) {
    if (!parent) return 2;
    for (HWND hwnd : Descendants(parent)) {
        const std::string cls = ClassOf(hwnd);
        long checked = -1;
        DWORD_PTR state = 0;   // a busy program must not hold the tool up
        if (cls == "Button" && SendMessageTimeoutA(hwnd, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state))
            checked = static_cast<long>(state);
        std::printf("%d\t%s\t%d\t%d\t%ld\t", GetDlgCtrlID(hwnd), cls.c_str(), IsWindowEnabled(hwnd) ? 1 : 0,
                    IsWindowVisible(hwnd) ? 1 : 0, checked);
        PrintRect(hwnd);
        const std::string text = cls == "Edit" ? CurrentText(hwnd) : Text(hwnd);
        const SIZE need = TextNeed(hwnd, cls, text);
        std::printf("\t%s\t%d\t%ld\t%ld\n", Escaped(text).c_str(), InsideParent(hwnd) ? 1 : 0, need.cx, need.cy);
    }
    return 0;
}

int MessageBoxes() {
    for (HWND hwnd : TopWindows()) {
        if (ClassOf(hwnd) != "#32770" || !IsWindowVisible(hwnd)) continue;
        HWND text = GetDlgItem(hwnd, 0xFFFF);
        if (!text) continue;
        std::printf("%s\t%s\t%s\t%s\n", Handle(hwnd).c_str(), Handle(GetWindow(hwnd, GW_OWNER)).c_str(),
                    Escaped(Text(hwnd)).c_str(), Escaped(Text(text)).c_str());
    }
    return 0;
}

WPARAM Number(const char* text) { return static_cast<WPARAM>(std::strtoull(text, nullptr, 0)); }

void PumpFor(DWORD seconds) {
    const DWORD end = GetTickCount() + seconds * 1000;
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(50);
    }
}

int HoldHotkey(UINT modifiers, UINT key, DWORD seconds) {
    if (!RegisterHotKey(nullptr, 1, modifiers, key)) {
        std::printf("refused\n");
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    PumpFor(seconds);
    UnregisterHotKey(nullptr, 1);
    return 0;
}

void PrintSystemEntries(const char* when) {
    HDC screen = GetDC(nullptr);
    PALETTEENTRY e[4] = {};
    GetSystemPaletteEntries(screen, 10, 4, e);
    ReleaseDC(nullptr, screen);
    std::printf("%s", when);
    for (const PALETTEENTRY& p : e) std::printf("\t%02x%02x%02x", p.peRed, p.peGreen, p.peBlue);
    std::printf("\n");
    std::fflush(stdout);
}

LRESULT CALLBACK BarsProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    static const COLORREF kBars[8] = {RGB(0, 0, 0),     RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(0, 0, 255),
                                      RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255), RGB(255, 255, 255)};
    if (msg != WM_PAINT) return DefWindowProcA(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    for (int x = 0; x < client.right; x += 40) {
        RECT bar = {x, 0, x + 40, client.bottom};
        HBRUSH brush = CreateSolidBrush(kBars[(x / 40) % 8]);
        FillRect(dc, &bar, brush);
        DeleteObject(brush);
    }
    EndPaint(hwnd, &ps);
    return 0;
}

int Bars(int left, int top, int width, int height, DWORD seconds) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BarsProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "WintoolBars";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "WintoolBars", "wintool bars", WS_POPUP | WS_VISIBLE, left, top,
                                  width, height, nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(window);
    std::printf("shown\n");
    std::fflush(stdout);
    PumpFor(seconds);
    DestroyWindow(window);
    return 0;
}

int Framed(int left, int top, int width, int height, DWORD seconds) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = "WintoolFramed";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "WintoolFramed", "wintool framed", WS_OVERLAPPEDWINDOW | WS_VISIBLE, left, top,
                                  width, height, nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(window);
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::printf("shown\n");
    PrintRect(window);
    std::printf("\n%ld\t%ld\t%ld\t%ld\n", client.left, client.top, client.right, client.bottom);
    std::fflush(stdout);
    PumpFor(seconds);
    DestroyWindow(window);
    return 0;
}

int Label(const char* text) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    const int length = static_cast<int>(std::strlen(text));
    SIZE size = {};
    GetTextExtentPoint32A(memory, text, length, &size);
    HBITMAP mono = CreateCompatibleBitmap(memory, size.cx, size.cy);
    HGDIOBJ old = SelectObject(memory, mono);
    SetTextColor(memory, RGB(255, 255, 255));
    SetBkColor(memory, RGB(0, 0, 0));
    TextOutA(memory, 0, 0, text, length);
    std::printf("%ld\t%ld\n", size.cx, size.cy);
    for (int y = 0; y < size.cy; ++y) {
        std::string row;
        for (int x = 0; x < size.cx; ++x) row += GetPixel(memory, x, y) ? '#' : '.';
        std::printf("%s\n", row.c_str());
    }
    SelectObject(memory, old);
    DeleteObject(mono);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return 0;
}

// A window that realizes a palette of colours no screen starts with, so the
// system palette changes while it lives.
int RealizePalette(DWORD seconds) {
    PrintSystemEntries("before");
    std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + 236 * sizeof(PALETTEENTRY));
    LOGPALETTE* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 236;
    for (int i = 0; i < 236; ++i)
        logical->palPalEntry[i] = {static_cast<BYTE>(3 + i), static_cast<BYTE>(250 - i), static_cast<BYTE>(i * 7 + 1),
                                   PC_NOCOLLAPSE};
    HPALETTE palette = CreatePalette(logical);
    HWND window = CreateWindowExA(0, "STATIC", "wintool palette", WS_POPUP | WS_VISIBLE, 900, 700, 100, 50, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(window);
    HDC dc = GetDC(window);
    SelectPalette(dc, palette, FALSE);
    std::printf("realized\t%u\n", RealizePalette(dc));
    PrintSystemEntries("after");
    PumpFor(seconds);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    DeleteObject(palette);
    return 0;
}

// GDI objects of a process as its own handle table counts them: Wine's
// GetGuiResources answers 0. The table's place is in the process's PEB, its
// entries are 24 bytes, the type byte at offset 14 (0 for a free entry).
unsigned long GdiTableEntries(HANDLE process) {
    using QueryProcess = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    struct { LONG_PTR exitStatus; BYTE* peb; ULONG_PTR rest[4]; } basic{};
    BYTE* table = nullptr;
    if (!query || query(process, 0, &basic, sizeof basic, nullptr) != 0 ||
        !ReadProcessMemory(process, basic.peb + (sizeof(void*) == 8 ? 0xF8 : 0x94), &table, sizeof table, nullptr) ||
        !table)
        return 0;
    constexpr size_t kEntryBytes = 24, kEntries = 0x10000, kChunk = 4096;
    std::vector<BYTE> entries(kChunk * kEntryBytes);
    unsigned long used = 0;
    for (size_t first = 0; first < kEntries; first += kChunk) {
        if (!ReadProcessMemory(process, table + first * kEntryBytes, entries.data(), entries.size(), nullptr)) break;
        for (size_t i = 0; i < kChunk; ++i) used += entries[i * kEntryBytes + 14] != 0;
    }
    return used;
}

// USER objects as far as they can be seen from outside where
// GetGuiResources answers 0: the process's windows, top-level and child.
struct WindowCount {
    DWORD pid;
    unsigned long windows;
};

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++reinterpret_cast<WindowCount*>(count)->windows;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM count) {
    auto* c = reinterpret_cast<WindowCount*>(count);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != c->pid) return TRUE;
    ++c->windows;
    EnumChildWindows(hwnd, CountChild, count);
    return TRUE;
}

unsigned long WindowsOf(DWORD pid) {
    WindowCount count{pid, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
    return count.windows;
}

int Usage(HWND window) {
    DWORD pid = 0;
    if (!window || !GetWindowThreadProcessId(window, &pid)) return 1;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return 1;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    std::printf("%llu\t%lu\t%lu\t%lu\t%lu\n", static_cast<unsigned long long>(memory.PrivateUsage), gdi, user,
                GdiTableEntries(process), WindowsOf(pid));
    CloseHandle(process);
    return 0;
}

int LockKey(const char* path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 1;
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    const bool locked =
        ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr) &&
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly) == ERROR_SUCCESS;
    LocalFree(readOnly);
    RegCloseKey(key);
    return locked ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string verb = argv[1];
    if (verb == "windows") return Windows();
    if (verb == "msgbox") return MessageBoxes();
    if (verb == "screen") {
        HDC dc = GetDC(nullptr);
        const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
        std::printf("%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\n", GetSystemMetrics(SM_CXSCREEN),
                    GetSystemMetrics(SM_CYSCREEN), GetDeviceCaps(dc, BITSPIXEL), GetSystemMetrics(SM_CMONITORS),
                    left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN),
                    GetDeviceCaps(dc, LOGPIXELSY));
        ReleaseDC(nullptr, dc);
        return 0;
    }
    if (verb == "controls" && argc >= 3) return Controls(FindByName(argv[2]));
    if (verb == "focus" && argc >= 3) return Focus(FindByName(argv[2]));
    if (verb == "child" && argc >= 4) {
        HWND found = DescendantWithId(FindByName(argv[2]), static_cast<int>(Number(argv[3])));
        if (!found) return 1;
        std::printf("%s\n", Handle(found).c_str());
        return 0;
    }
    if (verb == "items" && argc >= 4)
        return Items(DescendantWithId(FindByName(argv[2]), static_cast<int>(Number(argv[3]))));
    if (verb == "command" && argc >= 4) {
        HWND hwnd = FindByName(argv[2]);
        const int id = static_cast<int>(Number(argv[3]));
        return hwnd && PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                    reinterpret_cast<LPARAM>(GetDlgItem(hwnd, id))) ? 0 : 1;
    }
    if (verb == "post" && argc >= 6) {
        HWND hwnd = FindByName(argv[2]);
        return hwnd && PostMessageA(hwnd, static_cast<UINT>(Number(argv[3])), Number(argv[4]),
                                    static_cast<LPARAM>(Number(argv[5]))) ? 0 : 1;
    }
    if (verb == "send" && argc >= 6) {
        HWND hwnd = FindByName(argv[2]);
        if (!hwnd) return 1;
        std::printf("%lld\n", static_cast<long long>(SendMessageA(hwnd, static_cast<UINT>(Number(argv[3])),
                                                                  Number(argv[4]), static_cast<LPARAM>(Number(argv[5])))));
        return 0;
    }
    if (verb == "tab" && argc >= 4) {
        HWND hwnd = FindByName(argv[2]);
        HWND tab = nullptr;
        // The tab control may sit inside a child dialog: search all descendants.
        for (HWND child : Descendants(hwnd))
            if (GetDlgCtrlID(child) == static_cast<int>(Number(argv[3])) && ClassOf(child) == WC_TABCONTROLA) tab = child;
        if (!tab) return 1;
        std::printf("%d\n", static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    if (verb == "wait" && argc >= 4) {
        const DWORD end = GetTickCount() + static_cast<DWORD>(Number(argv[3]) * 1000);
        do {
            HWND hwnd = FindByName(argv[2]);
            if (hwnd && IsWindowVisible(hwnd)) {
                std::printf("%s\n", Handle(hwnd).c_str());
                return 0;
            }
            Sleep(100);
        } while (GetTickCount() < end);
        return 1;
    }
    if (verb == "bars" && argc >= 7)
        return Bars(static_cast<int>(Number(argv[2])), static_cast<int>(Number(argv[3])),
                    static_cast<int>(Number(argv[4])), static_cast<int>(Number(argv[5])),
                    static_cast<DWORD>(Number(argv[6])));
    if (verb == "framed" && argc >= 7)
        return Framed(static_cast<int>(Number(argv[2])), static_cast<int>(Number(argv[3])),
                      static_cast<int>(Number(argv[4])), static_cast<int>(Number(argv[5])),
                      static_cast<DWORD>(Number(argv[6])));
    if (verb == "label" && argc >= 3) return Label(argv[2]);
    if (verb == "palette" && argc >= 3) return RealizePalette(static_cast<DWORD>(Number(argv[2])));
    if (verb == "pointer") {
        POINT at{};
        if (!GetCursorPos(&at)) return 1;
        std::printf("%ld\t%ld\n", at.x, at.y);
        return 0;
    }
    if (verb == "dpi" && argc >= 3) {
        // Looked up at run time: the headers offer them only to newer targets.
        HMODULE user = GetModuleHandleA("user32.dll");
        using ContextOf = HANDLE(WINAPI*)(HWND);
        using AwarenessOf = int(WINAPI*)(HANDLE);
        using DpiOf = UINT(WINAPI*)(HWND);
        using Any = void(WINAPI*)();
        auto contextOf = reinterpret_cast<ContextOf>(reinterpret_cast<Any>(GetProcAddress(user, "GetWindowDpiAwarenessContext")));
        auto awarenessOf =
            reinterpret_cast<AwarenessOf>(reinterpret_cast<Any>(GetProcAddress(user, "GetAwarenessFromDpiAwarenessContext")));
        auto dpiOf = reinterpret_cast<DpiOf>(reinterpret_cast<Any>(GetProcAddress(user, "GetDpiForWindow")));
        HWND hwnd = FindByName(argv[2]);
        if (!hwnd || !contextOf || !awarenessOf || !dpiOf) return 1;
        std::printf("%d\t%u\n", awarenessOf(contextOf(hwnd)), dpiOf(hwnd));
        return 0;
    }
    if (verb == "freeze" && argc >= 4) {
        HWND hwnd = FindByName(argv[2]);
        const DWORD threadId = hwnd ? GetWindowThreadProcessId(hwnd, nullptr) : 0;
        HANDLE thread = threadId ? OpenThread(THREAD_SUSPEND_RESUME, FALSE, threadId) : nullptr;
        if (!thread || SuspendThread(thread) == static_cast<DWORD>(-1)) return 1;
        Sleep(static_cast<DWORD>(Number(argv[3]) * 1000));
        ResumeThread(thread);
        CloseHandle(thread);
        return 0;
    }
    if (verb == "lock-key" && argc >= 3) return LockKey(argv[2]);
    if (verb == "usage" && argc >= 3) return Usage(FindByName(argv[2]));
    if (verb == "hold-hotkey" && argc >= 5)
        return HoldHotkey(static_cast<UINT>(Number(argv[2])), static_cast<UINT>(Number(argv[3])),
                          static_cast<DWORD>(Number(argv[4])));
    return 2;
}
