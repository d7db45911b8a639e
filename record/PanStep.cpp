#include "PanStep.h"

#include <limits>

int32_t HeldModifierSet(bool shift, bool control, bool alt) {
    return (shift ? kModShift : 0) | (control ? kModControl : 0) | (alt ? kModAlt : 0);
}

bool PanningNow(int32_t panLocked, int32_t panModifiers, int32_t heldModifiers) {
    bool panning = panLocked != 0;
    if (panModifiers != 0 && heldModifiers == panModifiers) panning = !panning;
    return panning;
}

namespace {

int32_t Clamp32(int64_t value) {
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

// One axis: move by the pointer's movement, then keep inside the screen
// [low, low + extent). A rectangle as large as the screen or larger has one
// place, low: the two edge rules would otherwise send it to low and back
// below on every tick.
int32_t PanAxis(int32_t start, int32_t size, int32_t low, int32_t extent, int32_t now, int32_t previous) {
    if (size >= extent) return low;
    int64_t moved = start;
    if (now != previous) moved += static_cast<int64_t>(now) - previous;
    const int64_t high = static_cast<int64_t>(low) + extent;
    if (moved < low)
        moved = low;
    else if (moved + size >= high)
        moved = high - size - 1;
    return Clamp32(moved);
}

}  // namespace

PanResult PanStep(const PanInput& in) {
    if (!PanningNow(in.panLocked, in.panModifiers, in.heldModifiers)) return {in.startX, in.startY};
    return {PanAxis(in.startX, in.width, in.screenLeft, in.screenWidth, in.x, in.previousX),
            PanAxis(in.startY, in.height, in.screenTop, in.screenHeight, in.y, in.previousY)};
}
