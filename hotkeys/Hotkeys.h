// Registration of the global hotkeys for a window. The window's WM_HOTKEY
// handler dispatches them by identifier (HotkeyAction).
#pragma once

#include <windows.h>

struct AppSettings;

// Registers the hotkeys for window in their order; the first combination
// the system refuses is reported in a message box owned by window (its
// description and the explanation), and no later one is tried. The
// single-shot hotkey is only tried and released at once.
void RegisterHotkeys(HWND window, const AppSettings& settings);
// Releases all four identifiers of window.
void UnregisterHotkeys(HWND window);

// The single-shot hotkey, held only while a recording is paused; a refusal is silent.
void HoldSingleShotHotkey(HWND window, const AppSettings& settings);
void ReleaseSingleShotHotkey(HWND window);
