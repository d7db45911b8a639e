#include "ScreenOutline.h"

#include "CaptureMath.h"

bool ScreenOutline::Ready() {
    if (dc_) return true;
    dc_.Reset(::CreateDCA("DISPLAY", nullptr, nullptr, nullptr));
    if (!dc_) return false;
    pen_.Reset(::CreatePen(PS_SOLID, 3, RGB(255, 255, 255)));
    ::SetMapMode(dc_.get(), MM_TEXT);
    ::SetROP2(dc_.get(), R2_XORPEN);
    penSelected_.emplace(dc_.get(), pen_.get());
    return true;
}

void ScreenOutline::Draw(const RECT& rect, bool paused) {
    if (!Ready()) return;
    const HDC dc = dc_.get();
    Band bands[4];
    const int count = OutlineBands(rect.left, rect.top, rect.right, rect.bottom, bands);
    for (int i = 0; i < count; ++i) ::PatBlt(dc, bands[i].left, bands[i].top, bands[i].width, bands[i].height, DSTINVERT);
    if (paused) {
        ::MoveToEx(dc, rect.left, rect.top, nullptr);
        ::LineTo(dc, rect.right, rect.bottom);
        ::MoveToEx(dc, rect.right, rect.top, nullptr);
        ::LineTo(dc, rect.left, rect.bottom);
    }
    ::GdiFlush();
}
