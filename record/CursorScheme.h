// The cursor shape table: the user's own cursor files, by standard cursor.
#pragma once

#include "../framework/Handles.h"

#include <windows.h>

#include <cstdint>

struct CursorShape {
    uint32_t cursorId;          // standard cursor id for LoadCursorA with no module
    char name[20];              // value name in "Control Panel\Cursors"
    HCURSOR standard = nullptr; // set only when a replacement was loaded
    OwnedCursor replacement;
};

constexpr int kCursorShapeCount = 13;
// The table, in its fixed order.
CursorShape* CursorShapes();

// Loads the replacements named by the user's scheme ("Control Panel\Cursors").
void LoadCursorScheme();
// Destroys every replacement and clears the table.
void FreeCursorScheme();
// The cursor to draw for the cursor the window system reports.
HCURSOR SchemeCursorFor(HCURSOR reported);
