#include "RegionChoice.h"

#include "RegionOverlay.h"

bool ChooseRegionOnScreen(bool pickWindow, ScreenRect& chosen) {
    RegionOverlay overlay;
    if (!overlay.Created()) return false;
    bool accepted = false;
    if (!pickWindow) {
        ::SetCursor(CrossCursor());
        overlay.mode = OverlayMode::Crosshair;
        if (ResultAccepts(overlay.RunModal())) {
            // The band starts where the pointer is now: normally the first click.
            overlay.mode = OverlayMode::RubberBand;
            accepted = ResultAccepts(overlay.RunModal());
        }
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    } else {
        overlay.mode = OverlayMode::PickWindow;
        accepted = ResultAccepts(overlay.RunModal());
    }
    if (accepted)
        chosen = RegionOf(RECT{overlay.anchor.x, overlay.anchor.y, overlay.current.x, overlay.current.y});
    return accepted;
}
