#include "RecordingLoop.h"

#include "CaptureFormat.h"
#include "RecordingSession.h"
#include "StreamWriter.h"

#include "../app/MainDialog.h"
#include "../app/RecorderApp.h"

void RunRecordingLoop() {
    MSG msg;
    for (;;) {
        MainDialog* main = App().mainDialog;
        if (!main || main->state.load() == Idle) return;
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) continue;   // a quit request during a recording is lost
        switch (msg.message) {
        case WM_TIMER:
            WriteFrames();
            break;
        case WM_PALETTECHANGED:
            if (RecordingSession* session = ActiveSession()) RefreshCapturePalette(*session);
            break;
        case WM_HOTKEY:
            main->OnHotKey(msg.wParam, msg.lParam);
            break;
        default:
            if (!::IsDialogMessageA(main->hwnd(), &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            break;
        }
    }
}
