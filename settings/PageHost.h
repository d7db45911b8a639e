// What the settings pages need from above the settings layer: the hotkey
// dialog with the hotkeys released around it, choosing the capture
// rectangle on the screen, and the compressors that only this program
// has. The settings panel that owns the pages implements it.
#pragma once

#include "CompressorList.h"

#include <vector>

class PageHost {
public:
    virtual ~PageHost() = default;
    // The hotkey edit dialog for the action with this identifier (1 start,
    // 3 pause, 5 single shot, 6 pan lock), with every hotkey released while
    // it is open and registered again afterwards; on OK the new key,
    // modifiers and description are stored in the settings, the hotkey
    // page's buttons show the new description before the hotkeys are
    // registered again (a failure to register names it), and true is
    // returned.
    virtual bool EditHotkey(int hotkeyId) = 0;
    // Choosing the capture rectangle on the screen (pickWindow: by picking
    // a window, else by dragging); true when the user accepted and StartX,
    // StartY, Width and Height were stored.
    virtual bool ChooseRegion(bool pickWindow) = 0;
    // Compressors installed for this program alone: the system's list of
    // compressors does not show them.
    virtual std::vector<InstalledCompressor> OwnCompressors() = 0;
};
