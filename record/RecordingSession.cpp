#include "RecordingSession.h"

#include "FrameGrabber.h"
#include "Recorder.h"
#include "RecordingHost.h"

namespace {

// timeKillEvent then waits for a tick that is still running.
constexpr UINT kKillSynchronous = 0x0100;   // TIME_KILL_SYNCHRONOUS

}  // namespace

RecordingSession::RecordingSession(Recorder& owner) : recorder(owner), settings(owner.settings()) {}

RecordingSession::~RecordingSession() { StopFrameClock(*this); }

int32_t StateOf(const RecordingSession& session) { return session.recorder.State(); }

void ReleaseStreams(RecordingSession& session) {
    session.rawVideo.Reset();
    session.video.Reset();
    session.sound.Reset();
    session.file.Reset();
}

void AbortRecording(RecordingSession& session, int32_t code) {
    int32_t positions = session.FrameCount.load();
    do {
        if (positions < 0) return;   // already aborting
    } while (!session.FrameCount.compare_exchange_weak(positions, code));
    session.positionsBeforeAbort = positions;
    if (const UINT timer = session.timer.exchange(0)) ::timeKillEvent(timer);
    ::PostMessageA(session.window, kStopRequest, session.serial, 0);
}

bool StartFrameClock(RecordingSession& session) {
    session.timer = ::timeSetEvent(static_cast<UINT>(session.FramePeriod), 5, GrabFrame,
                                   reinterpret_cast<DWORD_PTR>(&session), TIME_PERIODIC | kKillSynchronous);
    return session.timer.load() != 0;
}

void StopFrameClock(RecordingSession& session) {
    if (const UINT timer = session.timer.exchange(0)) ::timeKillEvent(timer);
    // A tick that began before the kill (or one run by an abort) finishes first.
    while (session.grabbing.load() != 0) ::Sleep(1);
}
