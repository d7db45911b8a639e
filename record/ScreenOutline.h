// The outline around the capture rectangle on the screen, inverted so that
// drawing it twice removes it again; with diagonals while paused.
// Its display context and pen are made at the first frame that shows the
// outline and kept for the recording: made anew for every frame, they
// cost more than the rest of the grab apart from the copy itself.
#pragma once

#include "../framework/Handles.h"

#include <windows.h>

#include <optional>

class ScreenOutline {
public:
    // Draws the outline, or removes it when drawn again the same way;
    // nothing when no display context can be had (tried again next time).
    void Draw(const RECT& rect, bool paused);

private:
    bool Ready();

    OwnedDc dc_;
    GdiObject<HPEN> pen_;
    std::optional<Selection> penSelected_;
};
