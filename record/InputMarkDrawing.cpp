#include "InputMarkDrawing.h"

#include "InputHooks.h"

#include <mmsystem.h>

namespace {

// Both colours stand out from grey; the black edge around them carries
// them over light screens.
constexpr COLORREF kLeftColour = RGB(255, 176, 0);
constexpr COLORREF kRightColour = RGB(0, 170, 255);
constexpr COLORREF kEdgeColour = RGB(0, 0, 0);
constexpr COLORREF kBoxColour = RGB(24, 24, 24);
constexpr COLORREF kTextColour = RGB(255, 255, 255);

void Circle(HDC dc, int x, int y, int radius, int width, COLORREF colour) {
    const GdiObject<HPEN> pen(::CreatePen(PS_SOLID, width, colour));
    const Selection selected(dc, pen.get());
    if (selected.ok()) ::Ellipse(dc, x - radius, y - radius, x + radius + 1, y + radius + 1);
}

void DrawRing(HDC dc, const ClickRing& ring, const RECT& capture, uint32_t now) {
    const int height = capture.bottom - capture.top;
    const int radius = RingRadius(now - ring.start, height);
    const int width = RingPenWidth(height);
    const int x = ring.x - capture.left;
    const int y = ring.y - capture.top;
    Circle(dc, x, y, radius, width + 2, kEdgeColour);
    Circle(dc, x, y, radius, width, ring.right ? kRightColour : kLeftColour);
}

void DrawCaptionBox(HDC dc, const InputMarkRun& run, const RECT& capture) {
    const std::string& text = run.marks.Caption();
    if (run.font) ::SelectObject(dc, run.font.get());
    SIZE size{};
    if (!::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size)) return;
    const MarkBox box = CaptionBox(capture.right - capture.left, capture.bottom - capture.top, size.cx, size.cy);
    RECT rect{box.left, box.top, box.right, box.bottom};
    const GdiObject<HBRUSH> fill(::CreateSolidBrush(kBoxColour));
    const GdiObject<HPEN> edge(::CreatePen(PS_INSIDEFRAME, 2, kTextColour));
    if (fill && edge) {
        const Selection filled(dc, fill.get()), edged(dc, edge.get());
        ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kTextColour);
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace

void DrawInputMarks(HDC frame, const RECT& capture) {
    InputMarkRun& run = CurrentInputMarks();
    if (!run.on.load(std::memory_order_acquire)) return;
    const uint32_t now = ::timeGetTime();
    InputEvent event;
    while (run.queue.Pop(event)) run.marks.Take(event, now);
    run.marks.Expire(now);
    if (run.marks.RingCount() == 0 && !run.marks.HasCaption()) return;

    // The start caption after us draws in the context's own colours and font.
    const int saved = ::SaveDC(frame);
    ::SelectObject(frame, ::GetStockObject(NULL_BRUSH));
    for (int i = 0; i < run.marks.RingCount(); ++i) DrawRing(frame, run.marks.Ring(i), capture, now);
    if (run.marks.HasCaption()) DrawCaptionBox(frame, run, capture);
    if (saved) ::RestoreDC(frame, saved);
}
