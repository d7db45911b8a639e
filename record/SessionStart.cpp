// The start of a recording: capture format, output file, video stream and
// compressor, frame buffers, caption, then the frame clock and the loop.
#include "CaptureFormat.h"
#include "CaptureMath.h"
#include "FileNaming.h"
#include "FrameGrabber.h"
#include "InputHooks.h"
#include "Recorder.h"
#include "RecordingHost.h"
#include "RecordingLoop.h"
#include "RecordingSession.h"
#include "SoundStream.h"

#include "../framework/Screen.h"
#include "../framework/Paths.h"
#include "../framework/Strings.h"
#include "../recovery/RecordingJournal.h"
#include "../resources/resource_ids.h"
#include "../settings/AppSettings.h"

#include <string>
#include <vector>

namespace {

KeyStateFunction ChooseKeyState() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (::GetVersionExA(&version) && version.dwMajorVersion >= 4) return ::GetAsyncKeyState;
    return ::GetKeyState;
}

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

enum class VideoStep { Done, Open, CreateStream, MakeCompressed, Refused };

const char* StepText(VideoStep step) {
    switch (step) {
    case VideoStep::Open: return "(Open AVI)";
    case VideoStep::CreateStream: return "(Create Video Stream)";
    case VideoStep::Refused: return "(Set Video Stream Format)";
    default: return "(Make Compressed Stream)";
    }
}

// Opens the output file with its video stream and compressed stream. With
// probe set, the capture format is written at position 0 at once, so that
// a compressor that cannot take it shows here, before any frame.
VideoStep OpenVideoFile(RecordingSession& session, const AppSettings& settings, uint32_t compressor, bool probe) {
    session.outputPath = settings.AVIFileName;
    session.LastAviError = ::AVIFileOpenA(session.file.Out(), settings.AVIFileName.c_str(), OF_WRITE | OF_CREATE, nullptr);
    if (session.LastAviError != 0) return VideoStep::Open;
    session.folder = FolderOf(FullPath(session.outputPath)) + "\\";

    AVISTREAMINFOA info{};
    info.fccType = streamtypeVIDEO;
    info.fccHandler = compressor;
    info.dwScale = VideoScale(settings.FPS, settings.FPSPlay);
    info.dwRate = VideoRate(settings.FPS);
    info.dwSuggestedBufferSize = static_cast<DWORD>(session.frameSize);
    info.rcFrame = {0, 0, settings.Width, settings.Height};
    lstrcpynA(info.szName, "Velmorax Video", sizeof info.szName);
    session.LastAviError = ::AVIFileCreateStreamA(session.file.get(), session.rawVideo.Out(), &info);
    if (session.LastAviError != 0) return VideoStep::CreateStream;

    AVICOMPRESSOPTIONS options{};
    options.fccType = streamtypeVIDEO;
    options.fccHandler = compressor;
    options.dwKeyFrameEvery = static_cast<DWORD>(settings.KeyFrames);
    options.dwQuality = static_cast<DWORD>(settings.Compress) * 100;
    options.dwFlags = AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_VALID;
    options.lpFormat = session.Format();
    options.cbFormat = static_cast<DWORD>(FormatBytes(session.colourCount));
    session.LastAviError = ::AVIMakeCompressedStream(session.video.Out(), session.rawVideo.get(), &options, nullptr);
    if (session.LastAviError != 0) return VideoStep::MakeCompressed;

    if (probe) {
        session.LastAviError = ::AVIStreamSetFormat(session.video.get(), 0, session.Format(),
                                                    FormatBytes(session.colourCount));
        if (session.LastAviError != 0) return VideoStep::Refused;
        session.lastWrittenPaletteVersion = 0;   // the first frame needs no format of its own
    }
    return VideoStep::Done;
}

// The compressor chosen by colour depth may not take the capture format
// (on some systems none of them compresses): then our own codec, and then
// uncompressed frames. A compressor the user picked keeps its own failure.
VideoStep OpenVideoFileWithFallback(RecordingSession& session, const AppSettings& settings, uint32_t chosen) {
    const std::vector<CompressorTry> order = CompressorOrder(chosen, session.bitsPerPixel);
    VideoStep step = VideoStep::Done;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0) {   // the one before refused the frames: start afresh
            ReleaseStreams(session);
            ::DeleteFileA(session.outputPath.c_str());
            session.lastWrittenPaletteVersion = -1;
        }
        step = OpenVideoFile(session, settings, order[i].code, order[i].probe);
        session.compressed = order[i].code != kCodeDib;
        const bool refused = step == VideoStep::MakeCompressed || step == VideoStep::Refused;
        if (!order[i].probe || !refused) break;
    }
    return step;
}

std::string EnvironmentText(const char* name) {
    char value[64];
    const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

bool CreateFrameBuffers(RecordingSession& session) {
    session.frame = MemoryDc(session.screen);
    if (!session.frame) return false;
    for (FrameSlot& slot : session.ring) {
        if (!CreateSlotBuffer(session, slot)) return false;
    }
    session.frameInitial = static_cast<HBITMAP>(Selection(session.frame, session.ring[0].buffer.get()).previous());

    session.cursorBitmap.Reset(::CreateCompatibleBitmap(session.screen, 32, 32));
    session.cursor = MemoryDc(session.screen);
    if (!session.cursorBitmap || !session.cursor) return false;
    return session.cursorBitmapSelected.emplace(session.cursor, session.cursorBitmap.get()).ok();
}

void CreateCaption(RecordingSession& session) {
    session.caption = LoadResString(IDS_START_CAPTION);
    session.startTime = ::timeGetTime();
    const int height = -::MulDiv(5, ::GetDeviceCaps(session.frame, LOGPIXELSY), 72);
    session.captionFont.Reset(::CreateFontA(height, 4, 0, 0, 100, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                                              CLIP_DEFAULT_PRECIS, PROOF_QUALITY, VARIABLE_PITCH | FF_SWISS, nullptr));
}

void HideMainWindow(HWND main, int32_t wndHide) {
    if (wndHide == 1) {
        ::ShowWindow(main, SW_MINIMIZE);
    } else if (wndHide == 2 || wndHide == 3) {
        ::ShowWindow(main, SW_MINIMIZE);
        ::ShowWindow(main, SW_HIDE);
    }
}

}  // namespace

Recorder::Recorder(AppSettings& settings, RecordingHost& host) : settings_(settings), host_(host) {}

Recorder::~Recorder() = default;

// Reports the failed step and releases what exists; false for the caller.
bool Recorder::FailStart(const char* step) {
    AppMessageBox(host_.RecordingWindow(), InsertArgument(LoadResString(IDS_AVI_STEP_FAILED), step));
    StopRecording();
    return false;
}

bool Recorder::Pause() {
    if (State() != Recording) return false;
    if (WithSound()) host_.Sound().Pause();
    state_ = Paused;
    return true;
}

bool Recorder::Resume() {
    if (State() != Paused) return false;
    if (WithSound()) host_.Sound().Resume();
    state_ = Recording;
    return true;
}

bool Recorder::PrepareStartPaused() {
    if (State() != Idle) return false;
    state_ = StartingPaused;
    return true;
}

void Recorder::NextFileName() {
    settings_.AVIFileName = NumberedFileName(settings_.AVIFileName, FileExists);
    host_.OnOutputNameChanged();
}

bool Recorder::StartRecording(RecordState mode) {
    if (session_) return false;
    session_ = std::make_unique<RecordingSession>(*this);
    RecordingSession& session = *session_;
    session.window = host_.RecordingWindow();
    session.serial = ++serial_;
    std::string failed = PrepareCapture(session);
    if (failed.empty()) failed = OpenOutput(session);
    if (failed.empty() && !CreateFrameBuffers(session)) failed = "(Create Frame Buffers)";
    if (!failed.empty()) return FailStart(failed.c_str());
    BeginCapture(session, mode);
    RunRecordingLoop(*this);
    return true;
}

std::string Recorder::PrepareCapture(RecordingSession& session) {
    const AppSettings& settings = settings_;
    session.keyState = ChooseKeyState();
    const RECT screen = VirtualScreenRect();   // every monitor: panning crosses them
    session.screenLeft = screen.left;
    session.screenTop = screen.top;
    session.screenWidth = screen.right - screen.left;
    session.screenHeight = screen.bottom - screen.top;

    BuildCaptureFormat(session, settings.Width, settings.Height);
    const std::string problem =
        CaptureSettingsProblem(settings.FPS, settings.FPSPlay, settings.Width, settings.Height, session.bitsPerPixel);
    if (!problem.empty()) return problem;
    session.frameSize = static_cast<int32_t>(FrameBytes(settings.Width, settings.Height, session.bitsPerPixel));
    session.FramePeriod = FramePeriodFor(settings.FPS);
    // The frame clock first, idle until the start is complete: a clock that
    // cannot run fails the start before any file is touched.
    return StartFrameClock(session) ? std::string() : "(Start Frame Clock)";
}

std::string Recorder::OpenOutput(RecordingSession& session) {
    AppSettings& settings = settings_;
    settings.AVIFileName = CompleteAviName(settings.AVIFileName);
    if (settings.IncFilename)
        NextFileName();
    else
        ::DeleteFileA(settings.AVIFileName.c_str());

    // Testing aids (documented in the readme): a small size limit, a
    // compressor as if picked on the video page, and a file that tells the
    // longest time the writer took for one frame.
    session.budget = FileSizeBudget(FileSizeLimitFrom(EnvironmentText("VELMORAX_TEST_FILE_LIMIT").c_str()));
    session.writeTimesPath = EnvironmentText("VELMORAX_TEST_WRITE_TIMES");
    const uint32_t testCompressor = CompressorFrom(EnvironmentText("VELMORAX_TEST_COMPRESSOR").c_str());
    const VideoStep step =
        OpenVideoFileWithFallback(session, settings, testCompressor ? testCompressor : settings.CompressorCode);
    if (step != VideoStep::Done) return StepText(step);

    session.withSound = settings.RecSound != 0;
    session.soundReserve = session.withSound ? kSoundReserveBytes : 0;
    if (session.withSound && !PrepareSoundStream(session, host_.Sound().Format())) return "(Prepare Wave Stream)";
    // The file service writes the headers and the index only at the close:
    // should the program die before, the next start rebuilds the file.
    session.journal.Begin(RecoveryFolder(), session.outputPath, session.rawVideo.get(), session.sound.get());
    return {};
}

void Recorder::BeginCapture(RecordingSession& session, RecordState mode) {
    CreateCaption(session);
    HideMainWindow(session.window, settings_.WndHide);
    ::GetCursorPos(&session.previousCursor);
    state_ = mode;
    ::SetPriorityClass(::GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    ::Beep(1000, 200);
    // Without wave input the recording goes on with an empty sound stream;
    // the stop tells the user.
    if (session.withSound) {
        const PCMWAVEFORMAT& format = session.soundFormat;
        session.soundStarted =
            host_.Sound().Start(WaveBlockBytes(format.wf.nSamplesPerSec, format.wBitsPerSample), mode == Recording);
    }
    StartInputMarks(settings_, state_);
    session.ready = true;
}
