// The stop of a recording: frame clock, sound, streams and file, frame
// buffers; the outcome goes back to the window, which reports it.
#include "InputHooks.h"
#include "Recorder.h"
#include "RecordingHost.h"
#include "RecordingSession.h"
#include "SoundStream.h"
#include "StreamWriter.h"

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

}  // namespace

StopOutcome Recorder::StopRecording() {
    StopInputMarks();
    if (state.load() == Idle) {
        // After a failed start: the start/stop command comes back here and
        // then restores the idle layout.
        state = Recording;
        host_.OnStartStop();
        return {};
    }
    if (!session_) {
        state = Idle;
        return {};
    }
    RecordingSession& session = *session_;
    session.closing = true;
    if (session.captionFont) ::DeleteObject(session.captionFont);
    session.captionFont = nullptr;
    StopFrameClock(session);
    ::SetPriorityClass(::GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_NORMAL);
    if (session.withSound) host_.Sound().Stop();
    // Positions skipped after the last written frame are part of the video too.
    const int32_t positions = session.PositionCount();
    WriteEmptyPositions(session, positions);
    session.journal.Update(true);   // should the close not finish, the next start still can
    ReleaseStreams(session);
    if (session.aviInitialised) ::AVIFileExit();
    ::Beep(1000, 200);
    state = Idle;
    ReleaseBuffers(session);
    if (session.screen) ::ReleaseDC(nullptr, session.screen);
    session.screen = nullptr;

    const StopOutcome outcome{OutcomeOf(session.FrameCount.load()), session.FrameCount.load(),
                              session.SkipCount.load(), session.LastAviError,
                              session.withSound && !session.soundStarted, session.budget.Limit(),
                              FullPath(session.outputPath)};
    const HWND window = session.window;
    // A file without a single frame position is of no use to anyone.
    if (positions == 0 && !session.outputPath.empty()) ::DeleteFileA(session.outputPath.c_str());
    session.journal.End();
    session_.reset();

    if (!host_.ExitAfterRecording()) {
        ::ShowWindow(window, SW_RESTORE);
        ::SetForegroundWindow(window);
    }
    return outcome;
}
