// Choosing the capture region on the screen, for the region page's two
// buttons: drag a rectangle (a crosshair marks the first corner, a rubber
// band with its size follows to the second) or pick a window (its client
// area, or its whole frame when the pointer is on its border or caption).
//
// The caller releases the global hotkeys and minimises the main window
// (and lets it settle) before the call, since the overlay shows the screen
// as it is at the call; after it, on every path, the caller restores the
// window and registers the hotkeys again. Runs on the user-interface thread
// with its own message loop; the overlay is gone when it returns. A drag
// shows the crosshair cursor while it runs and leaves the arrow set.
#pragma once

#include "RegionLogic.h"

// True when the user accepted: chosen then holds StartX, StartY, Width and
// Height (right and bottom one past the last pixel, so a drag from (10, 20)
// to (329, 259) gives 10, 20, 320, 240; a pick may lie partly off the
// screen). False, chosen untouched, when the user cancelled (Escape, a
// right click, switching to another program while dragging, a pick of no
// window or of an empty one), when a quit message arrived (it is posted
// again), or when the overlay could not be made.
bool ChooseRegionOnScreen(bool pickWindow, ScreenRect& chosen);
