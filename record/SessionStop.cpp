// The stop of a recording: frame clock, sound, streams and file, frame
// buffers, then the outcome.
#include "Recording.h"
#include "RecordingSession.h"
#include "SoundStream.h"
#include "StreamWriter.h"

#include "../app/MainDialog.h"
#include "../app/RecorderApp.h"
#include "../resources/resource_ids.h"
#include "../framework/Strings.h"

namespace {

void ReleaseBuffers(RecordingSession& session) {
    if (session.frame) {
        if (session.frameInitial) ::SelectObject(session.frame, session.frameInitial);
        ::DeleteDC(session.frame);
    }
    for (FrameSlot& slot : session.ring) {
        if (slot.buffer) ::DeleteObject(slot.buffer);
        slot.buffer = nullptr;
    }
    if (session.cursor) {
        if (session.cursorInitial) ::SelectObject(session.cursor, session.cursorInitial);
        ::DeleteDC(session.cursor);
    }
    if (session.cursorBitmap) ::DeleteObject(session.cursorBitmap);
}

// What the user learns of the recording; a file without a single frame
// position is deleted.
void ReportOutcome(MainDialog& main, int32_t frameCount, int32_t skipCount, int32_t positions,
                   HRESULT lastAviError, const std::string& outputPath) {
    if (positions == 0 && !outputPath.empty()) ::DeleteFileA(outputPath.c_str());
    switch (OutcomeOf(frameCount)) {
    case Outcome::SoundFailed:
        AppMessageBox(FormatIntegers(LoadResString(IDS_SOUND_FAILED), {(lastAviError & 0xFFFF) - 0x4000}));
        break;
    case Outcome::BufferFailed:
        AppMessageBox(InsertArgument(LoadResString(IDS_AVI_STEP_FAILED), "(Create Frame Buffers)"));
        break;
    case Outcome::TooSlow:
        AppMessageBox(LoadResString(IDS_TOO_SLOW));
        main.ShowCaptureRateField();
        break;
    case Outcome::Empty:
        break;
    case Outcome::Frames:
        if (!App().ExitAfterRecording)
            AppMessageBox(FormatIntegers(LoadResString(IDS_SUMMARY), {frameCount, skipCount}));
        break;
    }
}

}  // namespace

void StopRecording() {
    MainDialog* main = App().mainDialog;
    if (!main) return;
    if (main->state.load() == Idle) {
        // After a failed start: the start/stop command comes back here and
        // then restores the idle layout.
        main->state = Recording;
        main->OnStartStop();
        return;
    }
    RecordingSession* session = ActiveSession();
    if (!session) {
        main->state = Idle;
        return;
    }
    session->closing = true;
    if (session->captionFont) ::DeleteObject(session->captionFont);
    session->captionFont = nullptr;
    StopFrameClock(*session);
    ::SetPriorityClass(::GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_NORMAL);
    if (session->withSound) {
        if (SoundSource* source = CurrentSoundSource()) source->Stop();
    }
    // Positions skipped after the last written frame are part of the video too.
    const int32_t positions = session->PositionCount();
    WriteEmptyPositions(*session, positions);
    ReleaseStreams(*session);
    if (session->aviInitialised) ::AVIFileExit();
    ::Beep(1000, 200);
    main->state = Idle;
    ReleaseBuffers(*session);
    if (session->screen) ::ReleaseDC(nullptr, session->screen);
    session->screen = nullptr;

    const int32_t frameCount = session->FrameCount.load();
    const int32_t skipCount = session->SkipCount.load();
    const HRESULT lastAviError = session->LastAviError;
    const std::string outputPath = session->outputPath;
    EndSession();

    if (!App().ExitAfterRecording) {
        ::ShowWindow(main->hwnd(), SW_RESTORE);
        ::SetForegroundWindow(main->hwnd());
    }
    ReportOutcome(*main, frameCount, skipCount, positions, lastAviError, outputPath);
}
