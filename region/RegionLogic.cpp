#include "RegionLogic.h"

#include <cstdio>
#include <utility>

bool ResultAccepts(int32_t result) { return (result & 1) != 0; }

RECT OrderedCorners(POINT anchor, POINT current) {
    if (anchor.x > current.x) std::swap(anchor.x, current.x);
    if (anchor.y > current.y) std::swap(anchor.y, current.y);
    return {anchor.x, anchor.y, current.x, current.y};
}

RECT ExclusiveCorners(POINT anchor, POINT current) {
    RECT r = OrderedCorners(anchor, current);
    ++r.right;
    ++r.bottom;
    return r;
}

ScreenRect RegionOf(const RECT& exclusive) {
    return {exclusive.left, exclusive.top, exclusive.right - exclusive.left, exclusive.bottom - exclusive.top};
}

std::string SizeLabelText(const RECT& ordered) {
    char text[32];
    std::snprintf(text, sizeof text, "%ldx%ld", static_cast<long>(ordered.right - ordered.left + 1),
                  static_cast<long>(ordered.bottom - ordered.top + 1));
    return text;
}

namespace {

// Keeps [position, position + size) inside [low, high), the low edge first.
int64_t KeepInside(int64_t position, int64_t size, int64_t low, int64_t high) {
    if (position < low) return low;
    if (position + size > high) return high - size;
    return position;
}

}  // namespace

POINT PlaceSizeLabel(const RECT& ordered, int32_t labelWidth, int32_t labelHeight, const RECT& monitor) {
    const int64_t left = ordered.left, top = ordered.top, right = ordered.right, bottom = ordered.bottom;
    int64_t x, y;
    if (labelWidth < right - left - 24 || labelHeight < bottom - top - 24) {
        // Halves round toward minus infinity, so that a label sits the same
        // way on a monitor left of the primary as on the primary itself.
        x = left + right - labelWidth;
        y = top + bottom - labelHeight;
        x = (x - (x < 0 ? 1 : 0)) / 2;
        y = (y - (y < 0 ? 1 : 0)) / 2;
    } else {
        x = left - labelWidth;
        if (x < monitor.left) x = right;
        y = top - labelHeight;
        if (y < monitor.top) y = bottom;
    }
    x = KeepInside(x, labelWidth, monitor.left, monitor.right);
    y = KeepInside(y, labelHeight, monitor.top, monitor.bottom);
    return {static_cast<LONG>(x), static_cast<LONG>(y)};
}

POINT NudgeCorner(POINT corner, int32_t dx, int32_t dy, const RECT& screen) {
    const int64_t x = static_cast<int64_t>(corner.x) + dx, y = static_cast<int64_t>(corner.y) + dy;
    if (x >= screen.left && x < screen.right) corner.x = static_cast<LONG>(x);
    if (y >= screen.top && y < screen.bottom) corner.y = static_cast<LONG>(y);
    return corner;
}

RECT PickCandidate(bool answered, LRESULT hitTest, const RECT& clientOnScreen, const RECT& window) {
    return answered && hitTest == HTCLIENT ? clientOnScreen : window;
}

bool PickAccepted(int32_t result, bool highlighted, const RECT& picked) {
    return ResultAccepts(result) && highlighted && picked.right > picked.left && picked.bottom > picked.top;
}

namespace {

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

HighlightChange UpdateHighlight(Highlight& highlight, const RECT* candidate) {
    HighlightChange change;
    if (candidate ? SameRect(*candidate, highlight.rect) : !highlight.set) return change;
    if (candidate) {
        if (highlight.visible) {
            change.eraseOld = true;
            change.oldRect = highlight.rect;
            highlight.visible = false;
        }
        highlight.rect = *candidate;
        highlight.set = true;
    }
    change.toggle = true;
    change.restartTimer = true;
    highlight.visible = !highlight.visible;
    return change;
}
