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

// Keeps [position, position + size) inside [0, limit), the low edge first.
int64_t KeepInside(int64_t position, int64_t size, int64_t limit) {
    if (position < 0) return 0;
    if (position + size > limit) return limit - size;
    return position;
}

}  // namespace

POINT PlaceSizeLabel(const RECT& ordered, int32_t labelWidth, int32_t labelHeight, int32_t clientWidth,
                     int32_t clientHeight) {
    const int64_t left = ordered.left, top = ordered.top, right = ordered.right, bottom = ordered.bottom;
    int64_t x, y;
    if (labelWidth < right - left - 24 || labelHeight < bottom - top - 24) {
        // Division truncates toward zero, as the label has always been placed.
        x = (left + right - labelWidth) / 2;
        y = (top + bottom - labelHeight) / 2;
    } else {
        x = left - labelWidth;
        if (x < 0) x = right;
        y = top - labelHeight;
        if (y < 0) y = bottom;
    }
    x = KeepInside(x, labelWidth, clientWidth);
    y = KeepInside(y, labelHeight, clientHeight);
    return {static_cast<LONG>(x), static_cast<LONG>(y)};
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
