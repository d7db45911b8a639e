#include "RegionButtons.h"

#include "../settings/AppSettings.h"

namespace {

// The overlay's loop serves every window of the thread: a second click on
// a region button, queued before the overlay came up, would open another
// overlay inside the first.
bool choosing = false;

struct Choosing {
    Choosing() { choosing = true; }
    ~Choosing() { choosing = false; }
};

}  // namespace

bool ChooseRegionWithSteps(RegionChoiceSteps& steps, bool pickWindow, AppSettings& settings) {
    if (choosing) return false;
    const Choosing busy;
    // A hotkey pressed while the overlay is open would start a recording
    // or pan behind the user's back.
    steps.ReleaseHotkeys();
    if (steps.MainWindowVisible()) steps.MinimiseMainWindow();
    ScreenRect chosen;
    const bool accepted = steps.ChooseOnScreen(pickWindow, chosen);
    if (accepted) {
        // A recording may be running: its grabber reads these every tick.
        StoreShared(settings.StartX, chosen.x);
        StoreShared(settings.StartY, chosen.y);
        StoreShared(settings.Width, chosen.width);
        StoreShared(settings.Height, chosen.height);
    }
    // Restored also when it was not minimised here (it may have been by the user).
    steps.RestoreMainWindow();
    steps.RegisterHotkeys();
    return accepted;
}
