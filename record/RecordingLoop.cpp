#include "RecordingLoop.h"

#include "CaptureFormat.h"
#include "Recorder.h"
#include "RecordingHost.h"
#include "RecordingSession.h"

void RunRecordingLoop(Recorder& recorder) {
    const HWND window = recorder.host().RecordingWindow();
    MSG msg;
    while (recorder.State() != Idle) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) continue;   // a quit request during a recording is lost
        switch (msg.message) {
        case WM_TIMER:
            recorder.WriteFrames();
            break;
        case WM_PALETTECHANGED:
            recorder.TakePaletteChange();
            break;
        case WM_HOTKEY:
            recorder.host().OnHotKey(msg.wParam, msg.lParam);
            break;
        case kStopRequest:
            recorder.TakeStopRequest(msg.wParam);
            break;
        default:
            if (!::IsDialogMessageA(window, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            break;
        }
    }
}

void Recorder::TakeStopRequest(WPARAM serial) {
    // A stop under way has its outcome already; a request from an earlier
    // recording must not stop (or, once idle, start) another.
    if (!session_ || session_->serial != serial || session_->closing.load() || State() == Idle) return;
    host_.OnStartStop();
}

void Recorder::TakePaletteChange() {
    if (session_) RefreshCapturePalette(*session_);
}
