#include "WindowPlacement.h"

bool SavedPositionApplies(int32_t winX, int32_t winY) { return winX > -500 && winY > -500; }

RECT PlaceAtSavedPosition(const RECT& window, int32_t winX, int32_t winY, const RECT& desktop) {
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    RECT r = {winX, winY, winX + width, winY + height};
    if (r.left < desktop.left + 1) {
        r.right += desktop.left + 1 - r.left;
        r.left = desktop.left + 1;
    }
    if (r.top < desktop.top + 1) {
        r.bottom += desktop.top + 1 - r.top;
        r.top = desktop.top + 1;
    }
    if (r.right > desktop.right) {
        r.left -= r.right - desktop.right;
        r.right = desktop.right;
    }
    if (r.bottom > desktop.bottom) {
        r.top -= r.bottom - desktop.bottom;
        r.bottom = desktop.bottom;
    }
    return r;
}

RECT WithHeight(const RECT& window, int height, const RECT& desktop) {
    RECT r = {window.left, window.top, window.right, window.top + height};
    if (r.bottom > desktop.bottom) {
        LONG shift = r.bottom - desktop.bottom;
        if (r.top - shift < desktop.top) shift = r.top > desktop.top ? r.top - desktop.top : 0;
        r.top -= shift;
        r.bottom -= shift;
    }
    return r;
}
