#include "InputHooks.h"

#include "RecordState.h"

#include "../settings/AppSettings.h"

namespace {

InputMarkRun run;
HHOOK mouseHook = nullptr;
HHOOK keyboardHook = nullptr;

bool PausedNow() { return run.state && run.state->load(std::memory_order_relaxed) == Paused; }

// The whole system's input waits while a low-level hook runs: record the
// event and pass it on, nothing else.
LRESULT CALLBACK MouseHook(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN)) {
        const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
        InputEvent event;
        event.kind = message == WM_LBUTTONDOWN ? InputKind::LeftClick : InputKind::RightClick;
        event.x = info->pt.x;
        event.y = info->pt.y;
        event.paused = PausedNow();
        run.queue.Push(event);
    }
    return ::CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        InputEvent event;
        event.kind = message == WM_KEYUP || message == WM_SYSKEYUP ? InputKind::KeyUp : InputKind::KeyDown;
        event.key = info->vkCode;
        event.paused = PausedNow();
        run.queue.Push(event);
    }
    return ::CallNextHookEx(nullptr, code, message, data);
}

// The character a key types, by the keyboard layout, leaving the layout's
// state (a pending accent) as it is.
char TypedChar(uint32_t key, bool shift, bool altGr) {
    BYTE keys[256] = {};
    if (shift) keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    if (altGr) keys[VK_CONTROL] = keys[VK_LCONTROL] = keys[VK_MENU] = keys[VK_RMENU] = 0x80;
    WCHAR text[4] = {};
    const UINT scan = ::MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    if (::ToUnicodeEx(key, scan, keys, text, 4, 0x4, ::GetKeyboardLayout(0)) != 1) return 0;
    char ansi[4] = {};
    BOOL lossy = FALSE;
    if (::WideCharToMultiByte(CP_ACP, 0, text, 1, ansi, sizeof ansi, nullptr, &lossy) != 1 || lossy) return 0;
    return ansi[0];
}

HFONT CaptionFont(int32_t height) {
    return ::CreateFontA(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, nullptr);
}

}  // namespace

InputMarkRun& CurrentInputMarks() { return run; }

void StartInputMarks(const AppSettings& settings, const std::atomic<int32_t>& state) {
    StopInputMarks();
    const bool clicks = settings.ShowClicks != 0;
    const int32_t keys = settings.ShowKeys;
    const OwnHotkey hotkeys[] = {{settings.StartKey, settings.StartMod}, {settings.PauseKey, settings.PauseMod},
                                 {settings.SingleShotKey, settings.SingleShotMod},
                                 {settings.LockPanKey, settings.LockPanMod}};
    // No tick runs now: the grabber's side can be set up from here. The
    // font of the last recording goes only now, as a tick of that one may
    // still have been drawing when it stopped.
    run.queue.Clear();
    run.marks.Reset(clicks, keys, hotkeys, 4, TypedChar);
    run.state = &state;
    run.textHeight = CaptionTextHeight(settings.Height);
    run.font.Reset(CaptionFont(run.textHeight));

    const HINSTANCE module = ::GetModuleHandleA(nullptr);
    if (clicks) mouseHook = ::SetWindowsHookExA(WH_MOUSE_LL, MouseHook, module, 0);
    if (keys == kShowKeysShortcuts || keys == kShowKeysAll)
        keyboardHook = ::SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHook, module, 0);
    run.on.store(mouseHook != nullptr || keyboardHook != nullptr, std::memory_order_release);
}

void StopInputMarks() {
    if (mouseHook) ::UnhookWindowsHookEx(mouseHook);
    if (keyboardHook) ::UnhookWindowsHookEx(keyboardHook);
    mouseHook = nullptr;
    keyboardHook = nullptr;
    run.on.store(false, std::memory_order_release);
}
