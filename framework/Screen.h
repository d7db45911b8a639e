// The virtual screen: the smallest rectangle that holds every monitor, in
// the screen coordinates that cursor positions, window rectangles and the
// screen's device context use. Left and top are negative when a monitor
// lies left of or above the primary one.
#pragma once

#include <windows.h>

// Right and bottom one past the last pixel. A system that knows no
// virtual screen gets the primary screen.
RECT VirtualScreenRect();

// The monitor that a rectangle lies on most, or the nearest one when it lies
// on none; the primary screen on a system without monitor calls.
RECT MonitorRectNear(const RECT& r);
