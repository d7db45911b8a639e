// The main window's side of a recording: the start/stop and pause commands,
// the hotkeys, what the user learns when a recording ends, and the
// recording's messages that another message loop hands to this window.
#include "MainDialog.h"

#include "RecorderApp.h"

#include "../framework/Strings.h"
#include "../hotkeys/HotkeyAction.h"
#include "../hotkeys/Hotkeys.h"
#include "../record/FileSizeLimit.h"
#include "../resources/resource_ids.h"

void MainDialog::OnStartStop() {
    if (recorder.State() == Recording || recorder.State() == Paused) {
        ReportStop(recorder.StopRecording());
        FinishStop();
        return;
    }
    ::SetFocus(Item(IDC_START));
    // A format the wave recorder refuses leaves it with the one it had.
    wave.ResetBlocks();
    wave.SetFormat(static_cast<uint32_t>(App().settings.SoundSampRate),
                   static_cast<uint32_t>(App().settings.SoundSampSize));
    SetButtonsRecording(true);
    if (!recorder.StartRecording(recorder.State() == StartingPaused ? Paused : Recording)) {
        if (ExitAfterRecording()) App().exitCode = kExitRecordingFailed;
        FinishStop();
    }
}

namespace {

// The AVI error's number as the messages show it.
long long AviErrorNumber(HRESULT result) { return (result & 0xFFFF) - 0x4000; }

// A command-line recording tells its caller that it did not end as asked.
int ExitCodeOf(Outcome kind) {
    switch (kind) {
    case Outcome::FileFull:
    case Outcome::DiskFull: return kExitFileFull;
    case Outcome::SoundFailed:
    case Outcome::VideoFailed:
    case Outcome::BufferFailed:
    case Outcome::ClockFailed: return kExitRecordingFailed;
    default: return 0;
    }
}

}  // namespace

void MainDialog::ReportStop(const StopOutcome& outcome) {
    if (ExitAfterRecording() && ExitCodeOf(outcome.kind) != 0) App().exitCode = ExitCodeOf(outcome.kind);
    switch (outcome.kind) {
    case Outcome::SoundFailed:
        AppMessageBox(hwnd_, FormatIntegers(LoadResString(IDS_SOUND_FAILED), {AviErrorNumber(outcome.aviError)}));
        break;
    case Outcome::VideoFailed:
        AppMessageBox(hwnd_, InsertArguments(LoadResString(IDS_VIDEO_FAILED),
                                             {std::to_string(AviErrorNumber(outcome.aviError)), outcome.outputPath}));
        break;
    case Outcome::BufferFailed:
        AppMessageBox(hwnd_, InsertArgument(LoadResString(IDS_AVI_STEP_FAILED), "(Create Frame Buffers)"));
        break;
    case Outcome::ClockFailed:
        AppMessageBox(hwnd_, InsertArgument(LoadResString(IDS_AVI_STEP_FAILED), "(Start Frame Clock)"));
        break;
    case Outcome::FileFull:
        AppMessageBox(hwnd_, InsertArguments(LoadResString(IDS_FILE_LIMIT), {LimitText(outcome.sizeLimit),
                                                                             outcome.outputPath}));
        break;
    case Outcome::DiskFull:
        AppMessageBox(hwnd_, InsertArgument(LoadResString(IDS_DISK_FULL), outcome.outputPath));
        break;
    case Outcome::TooSlow:
        AppMessageBox(hwnd_, LoadResString(IDS_TOO_SLOW) + SoundMissingLine(outcome));
        ShowCaptureRateField();
        break;
    case Outcome::Frames:
        // A recording from the command line ends without a word, so nothing holds it up.
        if (!ExitAfterRecording())
            AppMessageBox(hwnd_, FormatIntegers(LoadResString(IDS_SUMMARY), {outcome.frameCount, outcome.skipCount}) +
                                     SoundMissingLine(outcome));
        break;
    case Outcome::Empty:
    case Outcome::None:
        break;
    }
}

std::string MainDialog::SoundMissingLine(const StopOutcome& outcome) const {
    if (!outcome.soundMissing) return {};
    return "\n\n" + LoadResString(sound.NoInputDevice() ? IDS_NO_SOUND_DEVICE : IDS_SOUND_NOT_STARTED);
}

void MainDialog::FinishStop() {
    ReleaseSingleShotHotkey(hwnd_);
    SetButtonsRecording(false);
    // Panning may have moved the rectangle: the region page shows where it ended.
    const AppSettings& s = App().settings;
    panel.regionPage.left = LoadShared(s.StartX);
    panel.regionPage.top = LoadShared(s.StartY);
    if (panel.regionPage.hwnd()) panel.regionPage.UpdateData(false);
    if (ExitAfterRecording()) ::PostMessageA(hwnd_, WM_CLOSE, 0, 0);
}

void MainDialog::OnPause() {
    switch (recorder.State()) {
    case Recording:
        recorder.Pause();
        HoldSingleShotHotkey(hwnd_, App().settings);
        break;
    case Paused:
        ReleaseSingleShotHotkey(hwnd_);
        recorder.Resume();
        break;
    case Idle:
        HoldSingleShotHotkey(hwnd_, App().settings);
        recorder.PrepareStartPaused();
        OnStartStop();
        break;
    default:   // StartingPaused: the start is already on its way
        break;
    }
}

void MainDialog::OnHotKey(WPARAM id, LPARAM) {
    switch (static_cast<HotkeyAction>(id)) {
    case HotkeyAction::Start:
        if (recorder.State() == Idle)   // exactly as a click on the start button
            ::PostMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                           reinterpret_cast<LPARAM>(Item(IDC_START)));
        else
            OnStartStop();
        break;
    case HotkeyAction::Pause:
        OnPause();
        break;
    case HotkeyAction::SingleShot:
        recorder.RecordSingleFrame();
        break;
    case HotkeyAction::LockPan: {
        int32_t& locked = App().settings.PanLocked;
        const int32_t now = LoadShared(locked) == 0 ? 1 : 0;
        StoreShared(locked, now);
        panel.hotkeyPage.SetChecked(IDC_PAN_LOCKED, now);   // the "Pan Locked" box of the hotkey page
        break;
    }
    default:
        break;
    }
}

LRESULT MainDialog::OnHotKeyMessage(WPARAM id, LPARAM lParam) {
    OnHotKey(id, lParam);
    return 0;
}

LRESULT MainDialog::OnStopRequest(WPARAM serial, LPARAM) {
    // The engine's stop request, dispatched by a message loop other than the recording's.
    recorder.TakeStopRequest(serial);
    return 0;
}

LRESULT MainDialog::OnTimer(WPARAM, LPARAM) {
    // The frame clock's wake-up, dispatched by a message loop other than the
    // recording's (a message box, a dialog, a menu): the frames are written
    // here, or the ring would fill and the recording stop as too slow.
    recorder.WriteFrames();
    return 0;
}

LRESULT MainDialog::OnPaletteChanged(WPARAM changer, LPARAM) {
    if (recorder.State() == Idle) return 0;
    // The window system sends the change; the recording loop takes it as a
    // posted message. A posted one that reaches this window came through
    // another message loop: it is taken here.
    if (::InSendMessage())
        ::PostMessageA(hwnd_, WM_PALETTECHANGED, changer, 0);
    else
        recorder.TakePaletteChange();
    return 0;
}

void MainDialog::ShowCaptureRateField() {
    panel.tabs.SetCurSel(2);
    ShowSettings();
    panel.ShowPageOfTab(2);
    HWND field = panel.videoPage.Item(IDC_VIDEO_FPS);
    if (!field) return;
    ::SetFocus(field);
    ::SendMessageA(field, EM_SETSEL, 0, -1);
    ::SendMessageA(field, EM_SCROLLCARET, 0, 0);
}

void MainDialog::OnOutputNameChanged() { panel.videoPage.ShowFileName(); }

bool MainDialog::ExitAfterRecording() const { return App().ExitAfterRecording != 0; }
