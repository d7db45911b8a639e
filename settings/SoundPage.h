// Sound page (template 112): sample size and sample rate of the recorded
// sound. A stored value that no button names is shown as 16 bits or 44100
// Hz and stays until a button is clicked. Below: whether the recording
// shows clicks (ShowClicks) and keys (ShowKeys: none, shortcuts, every key).
#pragma once

#include "SettingsPage.h"

#include <cstdint>

class CMyPropertyPage4 : public SettingsPage {
public:
    CMyPropertyPage4(AppSettings& settings, PageHost& host);

    void RefreshFromSettings() override;
    void DoDataExchange(DataExchange& dx) override;

    // Shown only when the page starts (all buttons unchecked); never read back.
    int32_t sampleSizeChoice = -1;
    int32_t sampleRateChoice = -1;

    DECLARE_MESSAGE_MAP()

private:
    void OnSampleSize(UINT buttonId);
    void OnSampleRate(UINT buttonId);
    void OnShowClicks();
    void OnShowKeys(UINT buttonId);
};
