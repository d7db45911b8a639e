// Draws the clicks and keys of the running recording into a grabbed frame,
// after the cursor: rings where the recent clicks were, and the caption of
// the last shortcut (or typed text) at the bottom centre.
#pragma once

#include <windows.h>

// The frame context holds the frame's bitmap; capture is the rectangle the
// frame shows, in screen pixels (the rings stay where the clicks were when
// the rectangle pans). Takes the events that wait first. The grabber only.
void DrawInputMarks(HDC frame, const RECT& capture);
