#include "RegionOverlay.h"

#include "../framework/App.h"
#include "../framework/Screen.h"

#include <windowsx.h>

#include <string>
#include <utility>

namespace {

const char kClassName[] = "VelmoraxRegionOverlay";
constexpr UINT kBlinkPeriod = 500;        // ms on, then as long off
constexpr UINT kHitTestPatience = 200;    // ms a foreign window gets to answer

// The overlay that the blink timer's ticks are for; set only during RunModal.
RegionOverlay* activeOverlay = nullptr;

// Inverts the outline of a picked window with a pen five pixels wide.
void XorOutline(HDC dc, const RECT& r) {
    if (!dc) return;
    GdiObject<HPEN> pen(::CreatePen(PS_SOLID, 5, RGB(255, 255, 255)));
    if (!pen) return;
    Selection selected(dc, pen.get());
    const int previousMode = ::SetROP2(dc, R2_XORPEN);
    const POINT corners[] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom},
                             {r.left, r.top}};
    ::Polyline(dc, corners, 5);
    ::SetROP2(dc, previousMode);
}

// White text on a black box at (x, y), written through a monochrome bitmap.
bool DrawLabelBox(HDC dc, int x, int y, int width, int height, const std::string& text) {
    MemoryDc memory(dc);
    if (!memory) return false;
    GdiObject<HBITMAP> mono(::CreateCompatibleBitmap(memory, width, height));
    if (!mono) return false;
    Selection selected(memory, mono.get());
    if (!selected.ok()) return false;
    ::PatBlt(memory, 0, 0, width, height, BLACKNESS);
    ::SetTextColor(memory, RGB(255, 255, 255));
    ::SetBkColor(memory, RGB(0, 0, 0));
    ::TextOutA(memory, 0, 0, text.c_str(), static_cast<int>(text.size()));
    // A monochrome source takes the target's text colour for 0 and its
    // background colour for 1.
    const COLORREF previousText = ::SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF previousBack = ::SetBkColor(dc, RGB(255, 255, 255));
    const bool copied = ::BitBlt(dc, x, y, width, height, memory, 0, 0, SRCCOPY) != FALSE;
    ::SetTextColor(dc, previousText);
    ::SetBkColor(dc, previousBack);
    return copied;
}

}  // namespace

HCURSOR CrossCursor() {
    HCURSOR cursor = ::LoadCursorA(AfxGetResourceHandle(), "CROSSCUR");
    return cursor ? cursor : ::LoadCursorA(nullptr, IDC_CROSS);
}

const MessageEntry RegionOverlay::kMessages[] = {
    OnMessage<&RegionOverlay::OnPaint>(WM_PAINT),
    OnMessage<&RegionOverlay::OnEraseBackground>(WM_ERASEBKGND),
    OnMessage<&RegionOverlay::OnMouseMove>(WM_MOUSEMOVE),
    OnMessage<&RegionOverlay::OnButtonDown>(WM_LBUTTONDOWN),
    OnMessage<&RegionOverlay::OnButtonDown>(WM_RBUTTONDOWN),
    OnMessage<&RegionOverlay::OnKeyDown>(WM_KEYDOWN),
    OnMessage<&RegionOverlay::OnKillFocus>(WM_KILLFOCUS),
    OnMessage<&RegionOverlay::OnNcHitTest>(WM_NCHITTEST),
    OnMessage<&RegionOverlay::OnClose>(WM_CLOSE),
    {},
};
IMPLEMENT_MESSAGE_MAP(RegionOverlay, CWnd)

RegionOverlay::RegionOverlay() {
    // One window over every monitor, so that a drag may start on one and end
    // on another.
    screen_ = VirtualScreenRect();
    const int width = screen_.right - screen_.left;
    const int height = screen_.bottom - screen_.top;
    if (width <= 0 || height <= 0) return;
    // A window that paints nothing does not keep the screen's image
    // everywhere (not under Wine, for one), so the overlay shows this copy.
    {
        WindowDc screen(nullptr);
        MemoryDc memory(screen);
        GdiObject<HBITMAP> copy(screen ? ::CreateCompatibleBitmap(screen, width, height) : nullptr);
        if (memory && copy) {
            Selection selected(memory, copy.get());
            if (selected.ok() &&
                ::BitBlt(memory, 0, 0, width, height, screen, screen_.left, screen_.top, SRCCOPY | CAPTUREBLT))
                screenCopy_ = std::move(copy);
        }
    }
    CreateEx(WS_EX_TOOLWINDOW, kClassName, CS_BYTEALIGNCLIENT, "", WS_POPUP, screen_.left, screen_.top, width,
             height, ::GetDesktopWindow());
    // The system may place it elsewhere than asked; drawing follows where it is.
    if (IsWindow()) ::ClientToScreen(hwnd_, &origin_);
}

RegionOverlay::~RegionOverlay() {
    EndHighlight();
    if (activeOverlay == this) activeOverlay = nullptr;
    if (!cursorVisible_) ::ShowCursor(TRUE);
    if (IsWindow()) DestroyWindow();
}

int32_t RegionOverlay::RunModal() {
    if (!Created() || active_) return kOverlayCancelled;
    ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(hwnd_);

    POINT pointer = {0, 0};
    ::GetCursorPos(&pointer);
    anchor = current = pointer;
    result = 0;
    ::InvalidateRect(hwnd_, nullptr, FALSE);   // the screen copy
    ::UpdateWindow(hwnd_);

    if (mode == OverlayMode::PickWindow) {
        highlight_ = Highlight{};
        picked = highlight_.rect;
    } else {
        ::SetCursor(CrossCursor());
        ShowFigure();
    }
    active_ = true;
    activeOverlay = this;

    PumpUntilEnded();

    EndHighlight();   // the outline off the screen, the blink timer ended
    if (mode == OverlayMode::PickWindow) {
        picked = highlight_.rect;
        if (ResultAccepts(result) && !PickAccepted(result, highlight_.set, picked)) result = kOverlayCancelled;
        if (highlight_.set) {
            anchor = {picked.left, picked.top};
            current = {picked.right, picked.bottom};
        }
    } else {
        HideFigure();   // still shown when a quit message ended the run
        const RECT chosen = ExclusiveCorners(anchor, current);
        anchor = {chosen.left, chosen.top};
        current = {chosen.right, chosen.bottom};
    }
    activeOverlay = nullptr;
    active_ = false;
    return result;
}

void RegionOverlay::PumpUntilEnded() {
    // The application's message filter is left out: it swallows Escape,
    // which cancels here.
    for (;;) {
        // Sent messages (the focus loss among them) are handled inside
        // PeekMessage and may end the run without anything to dispatch.
        if (result != 0) return;
        MSG msg;
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
            if (!IsWindow()) {   // destroyed from outside: nothing left to choose on
                result = kOverlayCancelled;
                return;
            }
            continue;
        }
        CWinApp* app = AfxGetApp();
        for (LONG count = 0; app && app->OnIdle(count); ++count) {
        }
        // Nothing to do until the next message; spinning here would keep a
        // processor busy for as long as the overlay is open.
        ::WaitMessage();
    }
}

// ---- Crosshair and rubber band ----

void RegionOverlay::ShowFigure() {
    if (figureShown_ || mode == OverlayMode::PickWindow) return;
    WindowDc dc(hwnd_);
    ToScreenSpace(dc);
    ToggleFigure(dc);
}

void RegionOverlay::HideFigure() {
    if (!figureShown_) return;
    WindowDc dc(hwnd_);
    ToScreenSpace(dc);
    ToggleFigure(dc);
}

void RegionOverlay::ToScreenSpace(HDC dc) const {
    if (dc) ::SetViewportOrgEx(dc, -origin_.x, -origin_.y, nullptr);
}

void RegionOverlay::ToggleFigure(HDC dc) {
    if (!dc) return;
    if (figureShown_) {
        RemoveLabel(dc);
        XorFigureLines(dc);
        figureShown_ = false;
    } else {
        XorFigureLines(dc);
        if (mode == OverlayMode::RubberBand && labelOn_) ShowLabel(dc);
        figureShown_ = true;
    }
}

void RegionOverlay::XorFigureLines(HDC dc) const {
    const int previousMode = ::SetROP2(dc, R2_XORPEN);
    Selection pen(dc, ::GetStockObject(WHITE_PEN));
    if (mode == OverlayMode::Crosshair) {
        ::MoveToEx(dc, screen_.left, current.y, nullptr);
        ::LineTo(dc, screen_.right, current.y);
        ::MoveToEx(dc, current.x, screen_.top, nullptr);
        ::LineTo(dc, current.x, screen_.bottom);
    } else if (mode == OverlayMode::RubberBand) {
        ::MoveToEx(dc, anchor.x, anchor.y, nullptr);
        ::LineTo(dc, current.x, anchor.y);
        ::LineTo(dc, current.x, current.y);
        ::LineTo(dc, anchor.x, current.y);
        ::LineTo(dc, anchor.x, anchor.y);
    }
    ::SetROP2(dc, previousMode);
}

bool RegionOverlay::ShowLabel(HDC dc) {
    const RECT ordered = OrderedCorners(anchor, current);
    const std::string text = SizeLabelText(ordered);
    SIZE size = {0, 0};
    {
        MemoryDc memory(dc);   // measured in its default font, the system font
        if (!memory || !::GetTextExtentPoint32A(memory, text.c_str(), static_cast<int>(text.size()), &size))
            return false;
    }
    if (size.cx <= 0 || size.cy <= 0) return false;
    // On the monitor the pointer is on: the whole label stays visible, and
    // never falls into a part of the virtual screen that no monitor shows.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoA(::MonitorFromPoint(current, MONITOR_DEFAULTTONEAREST), &monitor))
        monitor.rcMonitor = screen_;
    const POINT at = PlaceSizeLabel(ordered, size.cx, size.cy, monitor.rcMonitor);

    GdiObject<HBITMAP> background(::CreateCompatibleBitmap(dc, size.cx, size.cy));
    if (!background) return false;
    {
        MemoryDc memory(dc);
        Selection selected(memory, background.get());
        if (!memory || !selected.ok() || !::BitBlt(memory, 0, 0, size.cx, size.cy, dc, at.x, at.y, SRCCOPY))
            return false;
    }
    if (!DrawLabelBox(dc, at.x, at.y, size.cx, size.cy, text)) return false;
    labelBackground_ = std::move(background);
    labelX_ = at.x;
    labelY_ = at.y;
    labelWidth_ = size.cx;
    labelHeight_ = size.cy;
    return true;
}

void RegionOverlay::RemoveLabel(HDC dc) {
    if (!labelBackground_) return;
    {
        MemoryDc memory(dc);
        Selection selected(memory, labelBackground_.get());
        if (memory && selected.ok())
            ::BitBlt(dc, labelX_, labelY_, labelWidth_, labelHeight_, memory, 0, 0, SRCCOPY);
    }
    labelBackground_.Reset();   // no longer selected anywhere
}

void RegionOverlay::RepaintFigure(HDC dc) {
    if (mode == OverlayMode::PickWindow) {
        if (highlight_.visible) XorOutline(dc, highlight_.rect);
        return;
    }
    if (!figureShown_) return;
    XorFigureLines(dc);
    // The saved background stays right: it is the copy and the lines, as now.
    if (labelBackground_)
        DrawLabelBox(dc, labelX_, labelY_, labelWidth_, labelHeight_, SizeLabelText(OrderedCorners(anchor, current)));
}

// ---- Window pick ----

void RegionOverlay::HitTest(POINT point) {
    // Our own window answers the lookup's hit test with "transparent", so
    // the lookup finds the window beneath without the overlay being disabled
    // (which would take the keyboard focus from it).
    lookingThrough_ = true;
    HWND under = ::WindowFromPoint(point);
    lookingThrough_ = false;
    if (!under || under == hwnd_) return;

    // A foreign window that does not answer in time counts as a whole.
    DWORD_PTR answer = 0;
    const bool answered = ::SendMessageTimeoutA(under, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y),
                                                SMTO_ABORTIFHUNG, kHitTestPatience, &answer) != 0;
    RECT window, client;
    if (!::GetWindowRect(under, &window) || !::GetClientRect(under, &client)) return;
    POINT origin = {0, 0};
    ::ClientToScreen(under, &origin);
    ::OffsetRect(&client, origin.x, origin.y);
    const RECT candidate = PickCandidate(answered, static_cast<LRESULT>(answer), client, window);
    if (!answered || static_cast<LRESULT>(answer) != HTCLIENT) ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    ApplyHighlight(&candidate);
}

void RegionOverlay::ApplyHighlight(const RECT* candidate) {
    const HighlightChange change = UpdateHighlight(highlight_, candidate);
    if (change.restartTimer && blinkTimer_) {
        ::KillTimer(nullptr, blinkTimer_);
        blinkTimer_ = 0;
    }
    if (change.eraseOld || change.toggle) {
        WindowDc dc(hwnd_);
        ToScreenSpace(dc);
        if (change.eraseOld) XorOutline(dc, change.oldRect);
        if (change.toggle) XorOutline(dc, highlight_.rect);
    }
    if (change.restartTimer) blinkTimer_ = ::SetTimer(nullptr, 0, kBlinkPeriod, BlinkTick);
    picked = highlight_.rect;
}

void RegionOverlay::EndHighlight() {
    if (blinkTimer_) {
        ::KillTimer(nullptr, blinkTimer_);
        blinkTimer_ = 0;
    }
    if (highlight_.visible && hwnd_) {
        WindowDc dc(hwnd_);
        ToScreenSpace(dc);
        XorOutline(dc, highlight_.rect);
        highlight_.visible = false;
    }
}

void CALLBACK RegionOverlay::BlinkTick(HWND, UINT, UINT_PTR timer, DWORD) {
    try {
        // A tick may still be queued after its overlay ended or began to
        // blink with another timer: it only ends its own timer then.
        RegionOverlay* overlay = activeOverlay;
        if (!overlay || overlay->blinkTimer_ != timer) {
            ::KillTimer(nullptr, timer);
            return;
        }
        overlay->ApplyHighlight(nullptr);
    } catch (...) {
        // Nothing may unwind through the window system.
    }
}

// ---- Message handlers ----

LRESULT RegionOverlay::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd_, &paint);
    // Without a copy the screen's own image stays, figures included.
    if (dc && screenCopy_) {
        {
            MemoryDc memory(dc);
            Selection selected(memory, screenCopy_.get());
            const RECT& r = paint.rcPaint;   // client coordinates; the copy begins at the screen's corner
            if (memory && selected.ok())
                ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory,
                         r.left + origin_.x - screen_.left, r.top + origin_.y - screen_.top, SRCCOPY);
        }
        ToScreenSpace(dc);
        RepaintFigure(dc);
    }
    ::EndPaint(hwnd_, &paint);
    return 0;
}

LRESULT RegionOverlay::OnEraseBackground(WPARAM, LPARAM) { return 1; }

LRESULT RegionOverlay::OnMouseMove(WPARAM, LPARAM lParam) {
    const POINT point = {GET_X_LPARAM(lParam) + origin_.x, GET_Y_LPARAM(lParam) + origin_.y};
    if (active_ && mode == OverlayMode::PickWindow) {
        HitTest(point);
        return 0;
    }
    ::SetCursor(CrossCursor());
    if (active_) HideFigure();
    current = point;
    if (active_) ShowFigure();
    return 0;
}

LRESULT RegionOverlay::OnButtonDown(WPARAM wParam, LPARAM) {
    result = static_cast<int32_t>(wParam);
    HideFigure();
    Default();
    return 0;
}

LRESULT RegionOverlay::OnKeyDown(WPARAM wParam, LPARAM) {
    if (!active_) {
        Default();
        return 0;
    }
    HideFigure();
    // A pick follows the pointer itself: the keys move it from where it is.
    if (mode == OverlayMode::PickWindow) {
        POINT pointer;
        if (::GetCursorPos(&pointer)) current = pointer;
    }
    switch (wParam) {
    case VK_TAB:
    case VK_HOME:
        if (mode == OverlayMode::RubberBand) std::swap(anchor, current);
        break;
    case VK_RETURN:
        result = kOverlayAccepted;
        return 0;
    case VK_ESCAPE:
        result = kOverlayCancelled;
        return 0;
    case VK_LEFT:
        current = NudgeCorner(current, -1, 0, screen_);
        break;
    case VK_UP:
        current = NudgeCorner(current, 0, -1, screen_);
        break;
    case VK_RIGHT:
        current = NudgeCorner(current, 1, 0, screen_);
        break;
    case VK_DOWN:
        current = NudgeCorner(current, 0, 1, screen_);
        break;
    case VK_ADD:
    case VK_OEM_PLUS:
        cursorVisible_ = !cursorVisible_;
        ::ShowCursor(cursorVisible_ ? TRUE : FALSE);
        break;
    case VK_SUBTRACT:
    case VK_OEM_MINUS:
        labelOn_ = !labelOn_;
        break;
    default:
        break;
    }
    ::SetCursorPos(current.x, current.y);
    ShowFigure();
    Default();
    return 0;
}

LRESULT RegionOverlay::OnKillFocus(WPARAM, LPARAM) {
    if (mode == OverlayMode::PickWindow) return 0;
    Default();
    result = kOverlayCancelled;
    if (active_) {
        HideFigure();
        WakeLoop();
    }
    return 0;
}

LRESULT RegionOverlay::OnNcHitTest(WPARAM, LPARAM) {
    if (lookingThrough_) return HTTRANSPARENT;
    Default();
    return 0;
}

LRESULT RegionOverlay::OnClose(WPARAM, LPARAM) {
    // Closing the overlay (Alt+F4) cancels the choice; the owner destroys it.
    if (active_) {
        result = kOverlayCancelled;
        WakeLoop();
    }
    return 0;
}

void RegionOverlay::WakeLoop() {
    // A sent message may arrive while the loop waits: a posted one wakes it.
    ::PostMessageA(hwnd_, WM_NULL, 0, 0);
}
