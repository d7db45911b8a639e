// Video page (template 111): the output file with a browse button, numbered
// files, capture and playback rates, the sound switch, key frames, quality
// and the compressor. Sound can be switched on only while both rates are
// equal; typing a capture rate sets the same playback rate as well.
#pragma once

#include "SettingsPage.h"

#include "../framework/ComboBox.h"

#include <cstdint>
#include <string>

class CMyPropertyPage3 : public SettingsPage {
public:
    CMyPropertyPage3(AppSettings& settings, PageHost& host);

    // Shows the settings and adds the compressors not listed yet.
    void RefreshFromSettings() override;
    // Shows the output file's name again (a numbered start changed it) and
    // nothing else: the compressors are not looked for again.
    void ShowFileName();
    void DoDataExchange(DataExchange& dx) override;

    // The page's values, in the order of the exchange.
    std::string fileName;
    int32_t numbering = 0;
    int32_t sound = 0;
    int32_t keyFrames = 0;
    double captureRate = 0.0;
    double playbackRate = 0.0;
    int32_t quality = 0;

    DECLARE_MESSAGE_MAP()

private:
    void FillCompressorList();
    void SelectCompressor(uint32_t code);

    void OnFileNameDone();
    void OnCaptureRateTyped();
    void OnCaptureRateDone();
    void OnPlaybackRateTyped();
    void OnPlaybackRateDone();
    void OnKeyFramesDone();
    void OnQualityDone();
    void OnNumbering();
    void OnSound();
    void OnBrowse();
    void OnCompressorChosen();

    CComboBox compressors_;   // each entry carries its four-character code
};
