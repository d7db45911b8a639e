// Where the main window goes: its saved position at start, and its height
// when the settings panel opens below the button row.
#pragma once

#include <windows.h>

#include <cstdint>

// A saved position counts only when both coordinates are above -500; the
// window system parks minimised windows far below that, and -1000 means
// "never saved".
bool SavedPositionApplies(int32_t winX, int32_t winY);

// The window moved, size unchanged, to (winX, winY); then kept at least one
// pixel from the left and top edges of its monitor (desktop: the monitor the
// moved window lies on); then shifted left and up so that it ends at that
// monitor's right and bottom edges when it went beyond them.
RECT PlaceAtSavedPosition(const RECT& window, int32_t winX, int32_t winY, const RECT& desktop);

// The window with a new height, growing downward; when that would cross the
// desktop's bottom edge it moves up, but its top never goes above the
// desktop's top edge.
RECT WithHeight(const RECT& window, int height, const RECT& desktop);
