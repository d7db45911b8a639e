// Window-free rules of choosing the capture region on the screen: the
// corners of a dragged rectangle, where its size label goes, what a window
// pick yields, and how the pick's highlight blinks.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The chosen region as the settings hold it: StartX, StartY, Width, Height.
struct ScreenRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
};

// The overlay's result: bit 0 set (Enter, or a button-down with the left
// button among its key flags) accepts; anything else cancels.
bool ResultAccepts(int32_t result);

// The two corners of a rubber band, in any order, as left <= right and
// top <= bottom; both corners belong to the rectangle.
RECT OrderedCorners(POINT anchor, POINT current);

// The ordered corners with right and bottom one past the last pixel.
RECT ExclusiveCorners(POINT anchor, POINT current);

// The region of a rectangle whose right and bottom are one past its last pixel.
ScreenRect RegionOf(const RECT& exclusive);

// The size label of ordered corners: "320x240", both corners counted.
std::string SizeLabelText(const RECT& ordered);

// Where a label of the given size goes for ordered corners: centred when its
// width is below right - left - 24 or its height below bottom - top - 24;
// otherwise just outside the top-left corner (beside the right or bottom
// edge where that would leave the monitor); then kept inside the monitor,
// the one the pointer is on (right and bottom one past its last pixel). All
// in screen coordinates, which are negative left of or above the primary
// monitor.
POINT PlaceSizeLabel(const RECT& ordered, int32_t labelWidth, int32_t labelHeight, const RECT& monitor);

// An arrow key's step of the moving corner: one pixel by (dx, dy), unless
// that leaves the screen (right and bottom one past its last pixel).
POINT NudgeCorner(POINT corner, int32_t dx, int32_t dy, const RECT& screen);

// The candidate of a window pick: the window's client area when the window
// answered the hit test with its client area, otherwise its whole rectangle
// (a border, the caption, or no answer in time).
RECT PickCandidate(bool answered, LRESULT hitTest, const RECT& clientOnScreen, const RECT& window);

// A pick counts only when the run was accepted, a window was highlighted
// and its area is not empty.
bool PickAccepted(int32_t result, bool highlighted, const RECT& picked);

// The blinking outline of a window pick.
struct Highlight {
    RECT rect = {-1, -1, -1, -1};   // the outline that blinks
    bool visible = false;           // drawn on the screen now
    bool set = false;               // a window has been highlighted
};

// What the overlay does to the screen for one highlight update.
struct HighlightChange {
    bool eraseOld = false;     // draw oldRect once to remove it
    RECT oldRect = {};
    bool toggle = false;       // draw the highlight's outline once (on or off)
    bool restartTimer = false; // kill the blink timer and start it again
};

// One update: with a candidate (the pointer moved) or without one (a blink
// tick). The same candidate again changes nothing; another one replaces the
// outline at once; a tick toggles the outline. A tick before any window
// was highlighted does nothing.
HighlightChange UpdateHighlight(Highlight& highlight, const RECT* candidate);
