// The pan step: while panning, the capture rectangle moves with the mouse
// pointer by the pointer's movement since the last tick, kept on the
// virtual screen (all monitors; its left and top may be negative).
#pragma once

#include <cstdint>

// Modifier bits, as in the hotkey settings.
constexpr int32_t kModAlt = 1;
constexpr int32_t kModControl = 2;
constexpr int32_t kModShift = 4;

int32_t HeldModifierSet(bool shift, bool control, bool alt);

struct PanInput {
    int32_t startX, startY, width, height;
    int32_t screenLeft, screenTop, screenWidth, screenHeight;   // the virtual screen
    int32_t panLocked;       // "Pan Locked": 1 = panning on
    int32_t panModifiers;    // "Pan Modifiers": held exactly, they invert panLocked
    int32_t heldModifiers;   // the modifier set held at this tick
    int32_t x, y;            // pointer now
    int32_t previousX, previousY;   // pointer at the last tick
};

struct PanResult {
    int32_t startX, startY;
};

// Panning is on when "Pan Locked" is set, inverted while exactly the pan
// modifiers are held (never with "Pan Modifiers" 0).
bool PanningNow(int32_t panLocked, int32_t panModifiers, int32_t heldModifiers);

// The rectangle's corner after this tick. While panning, a corner left of
// or above the screen becomes the screen's left or top, and one whose
// rectangle reaches the right or bottom edge becomes that edge − size − 1;
// a rectangle at least as large as the screen stays at the screen's left
// or top on that axis.
PanResult PanStep(const PanInput& in);
