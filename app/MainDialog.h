// MainDialog: the program's one window, a modal dialog from template 102.
// Its buttons, the Enter key and the hotkeys start, pause and stop
// recordings; while a recording runs, the recording loop pumps its messages.
// The settings panel opens below the button row, and the window grows to
// show it and shrinks again when it closes.
#pragma once

#include "SettingsPanel.h"
#include "WaveSound.h"

#include "../framework/BitmapButton.h"
#include "../framework/Dialog.h"
#include "../record/Recorder.h"
#include "../record/RecordingHost.h"

class MainDialog : public CDialog, public RecordingHost {
public:
    MainDialog();
    ~MainDialog() override;

    SettingsPanel panel;
    // The recording: its state and, while one runs, its session.
    Recorder recorder;
    // Sound: the receiver of the wave recorder's blocks, the wave recorder,
    // and the wave recorder as the recording sees it (with its input window).
    AudioSink audioSink;
    CWave wave;
    WaveSoundSource sound;

    // Start/stop command: stops a running recording, else starts one.
    void OnStartStop() override;
    // Pause command, by state: pause, resume, or start paused.
    void OnPause();
    // Hotkey dispatch by identifier.
    void OnHotKey(WPARAM id, LPARAM lParam) override;

    // Settings panel.
    void ShowSettings();
    void HideSettings();
    // After frames were dropped: show the video page with the capture rate selected.
    void ShowCaptureRateField();

    // What the recording asks of this window.
    HWND RecordingWindow() const override { return hwnd_; }
    void OnOutputNameChanged() override;
    bool ExitAfterRecording() const override;
    SoundSource& Sound() override { return sound; }

    BOOL DestroyWindow() override;
    BOOL OnInitDialog() override;
    void OnOK() override;       // Enter: start/stop
    void OnCancel() override;   // Escape: nothing

    DECLARE_MESSAGE_MAP()

private:
    void BindButtons();
    void SetButtonsRecording(bool recording);
    void PlaceAtSavedPosition();
    void AddAboutToSystemMenu();
    // What the user learns of a recording that ended.
    void ReportStop(const StopOutcome& outcome);
    // Why the sound stream stayed empty, as a line under a message; empty when it did not.
    std::string SoundMissingLine(const StopOutcome& outcome) const;
    // The end of every stop: hotkey 5, the idle layout, the region page.
    void FinishStop();
    // The window's height for a client area of clientHeight.
    void SetClientHeight(int clientHeight);

    void OnOpenFile();
    void OnHelp();
    void OnExit();
    LRESULT OnClose(WPARAM, LPARAM);
    LRESULT OnSysCommand(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    LRESULT OnQueryNewPalette(WPARAM, LPARAM);
    LRESULT OnPaletteChanged(WPARAM, LPARAM);
    LRESULT OnHotKeyMessage(WPARAM, LPARAM);
    LRESULT OnStopRequest(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnDrawItem(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);

    HICON icon_ = nullptr;
    CBitmapButton buttons_[7];
    int rowClientHeight_ = 0;     // client height with the panel hidden
    int panelClientHeight_ = 0;   // client height with the panel shown
    int frameHeight_ = 0;         // window height less client height, kept for a minimised window
};
