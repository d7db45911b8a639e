// MainDialog: the program's one window, a modal dialog from template 102.
// Its buttons, the Enter key and the hotkeys start, pause and stop
// recordings; while a recording runs, the recording loop pumps its messages.
#pragma once

#include "../framework/Dialog.h"
#include "../record/RecordState.h"

#include <atomic>

class MainDialog : public CDialog {
public:
    MainDialog();
    ~MainDialog() override;

    // The recording state; read by the frame grabber's thread.
    std::atomic<int32_t> state{Idle};

    // Start/stop command: stops a running recording, else starts one.
    void OnStartStop();
    // Pause command, by state: pause, resume, or start paused.
    void OnPause();
    // Hotkey dispatch by identifier.
    LRESULT OnHotKey(WPARAM id, LPARAM);

    // Settings panel.
    void ShowSettings();
    void HideSettings();
    // After frames were dropped: show the video page with the capture rate selected.
    void ShowCaptureRateField();
    // The output file name changed by numbering: shown on the video page.
    void ShowOutputFileName();

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()

private:
    void OnExit();
    LRESULT OnClose(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    void SetButtonsRecording(bool recording);

    HICON icon_ = nullptr;
};
