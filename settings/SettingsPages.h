// The four settings pages: child dialogs of the settings panel, shown one at
// a time under its tabs. Each writes its fields into the settings at once;
// RefreshFromSettings shows the current settings again (after start-up and
// after restoring the defaults).
#pragma once

#include "../framework/Dialog.h"

#include <cstdint>

class SettingsPage : public CDialog {
public:
    explicit SettingsPage(UINT templateId) : CDialog(templateId) {}

    // Shows the current settings on the page; nothing when it has no window.
    virtual void RefreshFromSettings() {}

    // Adds WS_EX_CONTROLPARENT, so that the main window's keyboard
    // navigation enters the page, exchanges toward the controls and refreshes.
    BOOL OnInitDialog() override;
    // A page is never ended: Enter and Escape belong to the main window.
    void OnOK() override {}
    void OnCancel() override {}
};

// Hotkey page (template 109): the four hotkey buttons, the pan modifiers and
// the "Pan Locked" check box.
class CMyPropertyPage1 : public SettingsPage {
public:
    CMyPropertyPage1();
};

// Region page (template 110): the capture rectangle, the outline and how the
// main window hides while recording.
class CMyPropertyPage2 : public SettingsPage {
public:
    CMyPropertyPage2();

    int32_t height = 0;
    int32_t top = 0;
    int32_t left = 0;
    int32_t width = 0;
    int32_t outline = 1;
    int32_t hidingChoice = -1;
};

// Video page (template 111): output file, frame rates, sound, compressor.
class CMyPropertyPage3 : public SettingsPage {
public:
    CMyPropertyPage3();
};

// Sound page (template 112): sample size and rate.
class CMyPropertyPage4 : public SettingsPage {
public:
    CMyPropertyPage4();
};
