// The single-shot hotkey, held only while a recording is paused.
#pragma once

#include <windows.h>

// Registers the single-shot combination for window; a refusal is silent.
void HoldSingleShotHotkey(HWND window);
void ReleaseSingleShotHotkey(HWND window);
