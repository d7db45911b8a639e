#include "StreamWriter.h"

#include "CaptureMath.h"
#include "FrameGrabber.h"
#include "Recorder.h"
#include "RecordingHost.h"
#include "RecordingSession.h"
#include "SoundStream.h"

#include "../framework/Strings.h"
#include "../resources/resource_ids.h"
#include "../settings/AppSettings.h"

#include <cstdio>
#include <vector>

namespace {

void ReportFormatFailure(HWND owner, HRESULT result) {
    char step[64];
    std::snprintf(step, sizeof step, "(Set Video Stream Format, err %d)", static_cast<int>(result & 0xFF));
    AppMessageBox(owner, InsertArgument(LoadResString(IDS_AVI_STEP_FAILED), step));
}

// What the next frame may add to the file: its format change, the empty
// positions before it and the frame at its largest.
int64_t NextFrameBytes(const RecordingSession& session, bool newFormat) {
    int64_t bytes = ChunkBytes(FrameBound(session.frameSize, session.compressed));
    if (newFormat && session.colourCount > 0) bytes += ChunkBytes(PaletteChangeBytes(session.colourCount));
    bytes += (session.FrameCount.load() - session.streamLength) * ChunkBytes(0);
    return bytes;
}

// Whether the file's disk still has room for bytes more and for what the
// close writes after them. A disk that cannot tell is taken at its word
// when the writes themselves fail.
bool DiskHasRoom(const RecordingSession& session, int64_t bytes) {
    ULARGE_INTEGER available{};
    if (session.folder.empty() || !::GetDiskFreeSpaceExA(session.folder.c_str(), &available, nullptr, nullptr))
        return true;
    return available.QuadPart >= static_cast<uint64_t>(DiskRoomNeeded(session.budget, bytes, session.soundReserve));
}

// Why the next frame cannot be written: 0 when it can.
int32_t NoRoomFor(const RecordingSession& session, bool newFormat) {
    const int64_t bytes = NextFrameBytes(session, newFormat);
    if (!session.budget.Fits(bytes, session.soundReserve)) return kAbortFileFull;
    if (!DiskHasRoom(session, bytes)) return kAbortDiskFull;
    return 0;
}

// What a frame took in the file. Compressed, the stream's index knows (the
// written-bytes result of the write is not to be trusted: some versions of
// the file services swap it with the sample count); when it does not
// answer, the frame counts at its largest.
int64_t WrittenFrameBytes(RecordingSession& session, int32_t position) {
    if (!session.compressed) return session.frameSize;
    LONG bytes = 0;
    if (AVIStreamSampleSize(session.rawVideo.get(), position, &bytes) != 0 || bytes < 0)
        return FrameBound(session.frameSize, true);
    return bytes;
}

// Sized and filled by the sound stream's format: the settings may have
// changed since the start, or named a format the wave recorder refused.
void WriteSilence(RecordingSession& session) {
    const PCMWAVEFORMAT& format = session.soundFormat;
    const Silence silence = SingleShotSilence(static_cast<int32_t>(format.wf.nSamplesPerSec), format.wBitsPerSample,
                                              session.settings.FPSPlay);
    if (!session.sound || silence.samples <= 0) return;
    if (!session.budget.Fits(ChunkBytes(silence.bytes))) return;
    std::vector<uint8_t> buffer(static_cast<size_t>(silence.bytes), silence.fill);
    const HRESULT result = AppendSound(session, silence.samples, buffer.data(), silence.bytes);
    if (result != 0) {
        session.LastAviError = result;
        AbortRecording(session, kAbortSound);
        return;
    }
    session.budget.AddChunk(silence.bytes);
}

double NowMs() {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The test aid: each new longest time one frame took in the writer (the
// frame compressed and written), kept in the file the environment names.
void NoteWriteTime(RecordingSession& session, double ms, int32_t position) {
    if (session.writeTimesPath.empty() || ms <= session.longestWriteMs) return;
    session.longestWriteMs = ms;
    if (FILE* file = std::fopen(session.writeTimesPath.c_str(), "w")) {
        std::fprintf(file, "longest_write_ms %.1f position %d\n", ms, static_cast<int>(position));
        std::fclose(file);
    }
}

}  // namespace

HRESULT WriteEmptyPositions(RecordingSession& session, int32_t upTo) {
    static char nothing = 0;
    if (!session.video) return 0;
    // A compressor would take an empty write for a whole frame (and read it
    // from the one-byte buffer): empty positions go to the file's own
    // stream, where the next frame continues them.
    PAVISTREAM stream = session.compressed ? session.rawVideo.get() : session.video.get();
    for (; session.streamLength < upTo && session.budget.Fits(ChunkBytes(0)); ++session.streamLength) {
        const HRESULT result = ::AVIStreamWrite(stream, session.streamLength, 1, &nothing, 0, 0, nullptr, nullptr);
        if (result != 0) return result;
        session.budget.AddChunk(0);
    }
    return 0;
}

void Recorder::WriteFrames() {
    // A message box shown from here runs a message loop that may hand this
    // writer another wake-up: one writer at a time.
    if (!session_ || writing_) return;
    writing_ = true;
    WriteWaitingFrames();
    writing_ = false;
    if (session_) session_->journal.Update();
}

void Recorder::WriteWaitingFrames() {
    RecordingSession* session = session_.get();
    for (;;) {
        if (session->FrameCount.load() < 0) return;   // an abort is under way
        int32_t full[kSlotCount];
        uint32_t sequence[kSlotCount] = {};
        for (int i = 0; i < kSlotCount; ++i) {
            full[i] = session->ring[i].full.load();
            if (full[i]) sequence[i] = session->ring[i].sequence;   // the grabber leaves full slots alone
        }
        const int index = NextFullSlot(full, sequence);
        if (index < 0) return;
        FrameSlot& slot = session->ring[index];

        if (State() == Recording) {
            const bool newFormat = slot.paletteVersion > session->lastWrittenPaletteVersion;
            if (const int32_t full = NoRoomFor(*session, newFormat)) {
                AbortRecording(*session, full);   // stops the recording as the user would, the file whole
                return;
            }
            if (newFormat) {
                const HRESULT result =
                    ::AVIStreamSetFormat(session->video.get(), session->FrameCount.load(), session->Format(),
                                         FormatBytes(session->colourCount));
                if (result != 0) {
                    // Nothing more is grabbed while the user reads the message:
                    // the ring would fill and stop the recording a second time.
                    StopFrameClock(*session);
                    ReportFormatFailure(session->window, result);
                    // The user may have stopped the recording meanwhile; a start/stop
                    // command now would start a new one.
                    if (session_ && State() != Idle) host_.OnStartStop();
                    return;
                }
                session->lastWrittenPaletteVersion = slot.paletteVersion;
                if (session->colourCount > 0) session->budget.AddChunk(PaletteChangeBytes(session->colourCount));
            }
            const int32_t position = TakeFramePosition(session->FrameCount);
            if (position < 0) return;
            const double began = NowMs();
            HRESULT result = WriteEmptyPositions(*session, position);
            if (result == 0)
                result = ::AVIStreamWrite(session->video.get(), position, 1, slot.pixels, session->frameSize, 0, nullptr,
                                          nullptr);
            if (result != 0) {
                // What was written before plays; the stop says which file failed.
                session->LastAviError = result;
                AbortRecording(*session, kAbortVideoWrite);
                return;
            }
            session->streamLength = position + 1;
            session->budget.AddChunk(WrittenFrameBytes(*session, position));
            NoteWriteTime(*session, NowMs() - began, position);
        }
        slot.full = 0;   // written, or dropped while paused

        MSG waiting;
        if (::PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE)) return;
    }
}

void Recorder::RecordSingleFrame() {
    RecordingSession* session = session_.get();
    if (!session || State() != Paused) return;
    StopFrameClock(*session);
    state_ = Recording;
    GrabFrame(0, 0, reinterpret_cast<DWORD_PTR>(session), 0, 0);
    WriteFrames();
    session = session_.get();   // a failed format write has stopped the recording
    if (!session) return;
    if (session->withSound) WriteSilence(*session);
    state_ = Paused;
    if (session->FrameCount.load() >= 0 && !StartFrameClock(*session)) AbortRecording(*session, kAbortClock);
}
