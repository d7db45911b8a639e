// The stop of a recording: frame clock, sound, streams and file, then the
// rest of the session; the outcome goes back to the window, which reports it.
#include "InputHooks.h"
#include "Recorder.h"
#include "RecordingHost.h"
#include "RecordingSession.h"
#include "SoundStream.h"
#include "StreamWriter.h"

StopOutcome Recorder::StopRecording() {
    StopInputMarks();
    if (!session_) {
        state_ = Idle;
        return {};
    }
    RecordingSession& session = *session_;
    session.closing = true;
    session.captionFont.Reset();
    StopFrameClock(session);
    ::SetPriorityClass(::GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_NORMAL);
    if (session.withSound) host_.Sound().Stop();
    // Positions skipped after the last written frame are part of the video too.
    const int32_t positions = session.PositionCount();
    WriteEmptyPositions(session, positions);
    session.journal.Update(true);   // should the close not finish, the next start still can
    ReleaseStreams(session);        // the file is whole from here on
    ::Beep(1000, 200);
    state_ = Idle;

    const StopOutcome outcome{OutcomeOf(session.FrameCount.load()), session.FrameCount.load(),
                              session.SkipCount.load(), session.LastAviError,
                              session.withSound && !session.soundStarted, session.budget.Limit(),
                              FullPath(session.outputPath)};
    const HWND window = session.window;
    // A file without a single frame position is of no use to anyone.
    if (positions == 0 && !session.outputPath.empty()) ::DeleteFileA(session.outputPath.c_str());
    session.journal.End();
    session_.reset();   // buffers, contexts, the file services

    if (!host_.ExitAfterRecording()) {
        ::ShowWindow(window, SW_RESTORE);
        ::SetForegroundWindow(window);
    }
    return outcome;
}
