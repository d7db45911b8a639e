#include "CursorScheme.h"

// Filled in with the frame grabber.
void LoadCursorScheme() {}
void FreeCursorScheme() {}
HCURSOR SchemeCursorFor(HCURSOR reported) { return reported; }
