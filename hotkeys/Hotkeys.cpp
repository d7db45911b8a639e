#include "../app/RecorderApp.h"

// Hotkey registration comes with the main window's change.
void RecorderApp::RegisterHotkeys() {}
void RecorderApp::UnregisterHotkeys() {}
