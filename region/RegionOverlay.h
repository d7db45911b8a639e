// RegionOverlay: a window over the whole virtual screen (every monitor) on
// which the user drags the capture rectangle or picks a window. It shows the screen as it was when
// the overlay was built (a copy taken then) and inverts pixels (XOR) to draw
// its figures, so that drawing a figure a second time removes it.
//
// One object serves one choice: construct it (hidden), set the mode, call
// RunModal once or more, destroy it. RunModal runs its own message loop
// until the user accepts or cancels.
#pragma once

#include "RegionLogic.h"

#include "../framework/Handles.h"
#include "../framework/Wnd.h"

#include <cstdint>

enum class OverlayMode : int32_t { RubberBand = 1, Crosshair = 2, PickWindow = 3 };

// RunModal's results besides the mouse-key flags of the button-down that
// ended the run (MK_LBUTTON 1, MK_RBUTTON 2, MK_SHIFT 4, MK_CONTROL 8,
// MK_MBUTTON 16, added together). 0 = ended by a quit message.
constexpr int32_t kOverlayAccepted = 1;    // Enter
constexpr int32_t kOverlayCancelled = 2;   // Escape, focus lost, closed, nothing picked

// The resource library's "CROSSCUR", or the system's crosshair without it.
HCURSOR CrossCursor();

class RegionOverlay : public CWnd {
public:
    // Copies the virtual screen, then creates the window hidden and over all
    // of it. Check Created() before use.
    RegionOverlay();
    ~RegionOverlay() override;

    bool Created() const { return IsWindow(); }

    // Shows the overlay and runs until the user accepts or cancels; returns
    // the result (ResultAccepts tells). Afterwards anchor is the chosen
    // rectangle's top-left and current its right and bottom, one past the
    // last pixel. Points and rectangles are in screen coordinates, negative
    // on a monitor left of or above the primary one. A pick that is accepted before any window was highlighted,
    // or of a window with an empty area, returns kOverlayCancelled.
    int32_t RunModal();

    OverlayMode mode = OverlayMode::Crosshair;
    int32_t result = 0;
    POINT anchor = {0, 0};    // fixed corner of the rubber band
    POINT current = {0, 0};   // moving corner, crosshair centre
    RECT picked = {-1, -1, -1, -1};   // PickWindow: the window last highlighted

    DECLARE_MESSAGE_MAP()

private:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBackground(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnButtonDown(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    LRESULT OnNcHitTest(WPARAM, LPARAM);
    LRESULT OnClose(WPARAM, LPARAM);

    // The crosshair or rubber band: shown or removed on the screen.
    void ShowFigure();
    void HideFigure();
    void ToggleFigure(HDC dc);
    // Draws the figure as it stands over a freshly painted screen copy.
    void RepaintFigure(HDC dc);
    void XorFigureLines(HDC dc) const;
    bool ShowLabel(HDC dc);
    void RemoveLabel(HDC dc);

    // PickWindow.
    void HitTest(POINT point);
    void ApplyHighlight(const RECT* candidate);
    void EndHighlight();
    static void CALLBACK BlinkTick(HWND, UINT, UINT_PTR timer, DWORD);

    void PumpUntilEnded();
    void WakeLoop();
    // Lets a device context of the window draw in screen coordinates.
    void ToScreenSpace(HDC dc) const;

    RECT screen_ = {0, 0, 0, 0};      // the virtual screen
    POINT origin_ = {0, 0};           // where the client area's (0, 0) lies on it
    GdiObject<HBITMAP> screenCopy_;   // the screen when the overlay was built

    bool active_ = false;             // RunModal is running
    bool figureShown_ = false;
    bool labelOn_ = true;
    bool cursorVisible_ = true;
    bool lookingThrough_ = false;     // our own hit test answers "transparent"

    GdiObject<HBITMAP> labelBackground_;   // the screen under the label while it is shown
    int32_t labelX_ = 0, labelY_ = 0, labelWidth_ = 0, labelHeight_ = 0;

    Highlight highlight_;
    UINT_PTR blinkTimer_ = 0;
};
