// Hotkey page (template 109): the four hotkey buttons, captioned with the
// descriptions of their combinations, the modifier keys that switch
// following the mouse while held, and "Pan Locked".
#pragma once

#include "SettingsPage.h"

class CMyPropertyPage1 : public SettingsPage {
public:
    CMyPropertyPage1(AppSettings& settings, PageHost& host);

    void RefreshFromSettings() override;
    // Captions the buttons with the stored descriptions.
    void ShowDescriptions();

    DECLARE_MESSAGE_MAP()

private:
    void OnEditHotkey(UINT buttonId);
    void OnPanModifier(UINT boxId);
    void OnPanLocked();
};
