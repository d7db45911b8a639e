// What the region page's two buttons do around the overlay: the global
// hotkeys are released while the user chooses and registered again on
// every path, the main window gets out of the way and comes back, and an
// accepted rectangle becomes StartX, StartY, Width and Height.
#pragma once

#include "RegionLogic.h"

struct AppSettings;

// The steps that reach the window system, given by the caller.
class RegionChoiceSteps {
public:
    virtual ~RegionChoiceSteps() = default;
    virtual void ReleaseHotkeys() = 0;
    virtual void RegisterHotkeys() = 0;
    virtual bool MainWindowVisible() = 0;
    // Minimise it and let the screen settle: the overlay shows the screen as
    // it is when the overlay is made.
    virtual void MinimiseMainWindow() = 0;
    virtual void RestoreMainWindow() = 0;
    // The overlay itself (ChooseRegionOnScreen).
    virtual bool ChooseOnScreen(bool pickWindow, ScreenRect& chosen) = 0;
};

// One press of a button: true when the user accepted and the rectangle was
// stored; a cancel leaves the settings as they were. A press while a choice
// is open does nothing.
bool ChooseRegionWithSteps(RegionChoiceSteps& steps, bool pickWindow, AppSettings& settings);
