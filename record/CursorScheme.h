// The cursor shape table: the user's own cursor files, by standard cursor.
#pragma once

#include <windows.h>

// Loads the replacements named by the user's scheme ("Control Panel\Cursors").
void LoadCursorScheme();
// Destroys every replacement and clears the table.
void FreeCursorScheme();
// The cursor to draw for the cursor the window system reports.
HCURSOR SchemeCursorFor(HCURSOR reported);
