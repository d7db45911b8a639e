// Region page (template 110): the capture rectangle as four whole numbers,
// the outline shown around it while recording, and what the main window
// does when a recording starts. Any whole numbers are taken here; a width
// or height below 1 is refused when a recording starts.
#pragma once

#include "SettingsPage.h"

#include <cstdint>

class CMyPropertyPage2 : public SettingsPage {
public:
    CMyPropertyPage2(AppSettings& settings, PageHost& host);

    void RefreshFromSettings() override;
    void DoDataExchange(DataExchange& dx) override;

    // The page's values, in the order of the exchange.
    int32_t height = 0;
    int32_t top = 0;
    int32_t left = 0;
    int32_t width = 0;
    int32_t outline = 1;
    int32_t hidingChoice = -1;   // 0..3 by the buttons 1047..1050, -1 none

    DECLARE_MESSAGE_MAP()

private:
    void OnLeftDone();
    void OnTopDone();
    void OnWidthDone();
    void OnHeightDone();
    void OnHidingChosen();
    void OnOutline();
    void OnChooseRegion(UINT buttonId);
};
