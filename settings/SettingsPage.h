// SettingsPage: what the four settings pages have in common. A page is a
// child dialog of the settings panel, created once and shown under its tab.
// It writes a change into the settings at once (when a button is clicked or
// a field loses the focus); RefreshFromSettings shows the settings again.
#pragma once

#include "AppSettings.h"
#include "PageHost.h"

#include "../framework/Dialog.h"

class SettingsPage : public CDialog {
public:
    SettingsPage(UINT templateId, AppSettings& settings, PageHost& host)
        : CDialog(templateId), settings_(settings), host_(host) {}

    // Shows the current settings on the page; nothing when it has no window.
    virtual void RefreshFromSettings() {}

    // Adds WS_EX_CONTROLPARENT, so that the main window's keyboard
    // navigation enters the page, exchanges toward the controls and refreshes.
    BOOL OnInitDialog() override;
    // A page is never ended: Enter and Escape belong to the main window.
    void OnOK() override {}
    void OnCancel() override {}

protected:
    // The exchange from the controls that a handler starts with. False
    // while a refused entry of some field is being reported, and while the
    // program's window is hidden (it is going away): the focus changes of
    // those moments are no entries, and the handler then leaves everything
    // as it is. A refusal of the exchange itself still returns true: the
    // handler copies its member as it stands.
    bool ReadControls();

    AppSettings& settings_;
    PageHost& host_;
};
