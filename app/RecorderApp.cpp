#include "RecorderApp.h"

#include "CommandLine.h"
#include "MainDialog.h"
#include "../resources/resource_ids.h"

#include "../framework/Paths.h"
#include "../framework/Strings.h"
#include "../hotkeys/Hotkeys.h"
#include "../install/Installer.h"
#include "../record/CursorScheme.h"
#include "../record/OwnCodec.h"
#include "../recovery/Recovery.h"
#include "../settings/OptionsFile.h"
#include "../settings/RegistryStore.h"

namespace {

RecorderApp theRecorderApp;

// Only a normal run that does not record at once asks about recordings to
// rebuild; the other modes and the command-line recordings rebuild silently.
bool AsksAboutRecovery(const std::vector<std::string>& args) {
    if (ModeOf(args) != StartMode::Normal) return false;
    AppSettings scratch;
    LaunchFlags flags;
    ApplyCommandLine(args, scratch, flags, [](int32_t, ScreenRect&) { return false; });
    return flags.StartAfterLaunch == 0;
}

bool LookUpWindowRect(int32_t handle, ScreenRect& rect) {
    HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
    RECT r;
    if (!::IsWindow(window) || !::GetWindowRect(window, &r)) return false;
    rect = {r.left, r.top, r.right, r.bottom};
    return true;
}

}  // namespace

RecorderApp& App() { return theRecorderApp; }

RecorderApp::RecorderApp() {
    // The resource library is not loaded yet, so "LockPan Desc" stays empty
    // until start-up sets it.
    ResetSettings(settings, std::string());
}

RecorderApp::~RecorderApp() { FreeCursorScheme(); }

BOOL RecorderApp::PreTranslateMessage(MSG* msg) {
    // Escape never closes a dialog of this program.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) return TRUE;
    return CWinApp::PreTranslateMessage(msg);
}

BOOL RecorderApp::InitInstance() {
    HINSTANCE library = ::LoadLibraryA("VelRes.dll");
    if (!library) {
        ::MessageBoxA(nullptr, "VelRes.dll not found, exiting.", appName.c_str(), MB_OK);
        exitCode = kExitFailed;   // the uninstall batch file must not go on deleting
        return FALSE;
    }
    resourceHandle = library;
    settings.LockPanDesc = DefaultLockPanDesc(LoadResString(IDS_MOD_SHIFT));
    // A recording that a dead program left unplayable comes back first, in every mode.
    RecoverInterruptedRecordings(AsksAboutRecovery(args));

    if (!args.empty()) {
        ProgramDir = FolderOf(helpFilePath);
        switch (ModeOf(args)) {
        case StartMode::Install: {
            // A cancelled dialog is the user's choice, not a failure.
            const bool failed = InstallProgram(ProgramDir) == InstallResult::Failed;
            ImportOptionsAfterInstall(settings, ProgramDir);
            exitCode = failed ? kExitFailed : 0;
            return FALSE;
        }
        case StartMode::Uninstall:
            if (::MessageBoxA(nullptr, LoadResString(IDS_UNINSTALL_ASK).c_str(), appName.c_str(), MB_YESNO) != IDYES) {
                exitCode = 1;
                return FALSE;
            }
            // Nothing removed: the batch file must keep the files as well.
            exitCode = UninstallProgram(ProgramDir) ? 0 : kExitFailed;
            return FALSE;
        case StartMode::DumpOptions:
            exitCode = DumpOptions(settings, ProgramDir);
            return FALSE;
        case StartMode::ReadOptions:
            exitCode = ReadOptions(settings, ProgramDir);
            return FALSE;
        case StartMode::Normal:
            break;
        }
    }

    LoadStoredSettings(settings);
    LoadCursorScheme();
    // Our codec, for this run only; without it recordings do as before.
    OwnCodec codec;
    codec.Install(FolderOf(modulePath));
    RunMainWindow();
    return FALSE;
}

void RecorderApp::RegisterHotkeys() {
    if (mainDialog) ::RegisterHotkeys(mainDialog->hwnd(), settings);
}

void RecorderApp::UnregisterHotkeys() {
    if (mainDialog) ::UnregisterHotkeys(mainDialog->hwnd());
}

void RecorderApp::RunMainWindow() {
    MainDialog dialog;
    mainDialog = &dialog;
    mainWnd = &dialog;

    LaunchFlags flags;
    ApplyCommandLine(args, settings, flags, LookUpWindowRect);
    StartAfterLaunch = flags.StartAfterLaunch;
    ExitAfterRecording = flags.ExitAfterRecording;

    dialog.DoModal();
    if (dialog.recorder.State() != Idle) dialog.OnStartStop();
    UnregisterHotkeys();
    SaveStoredSettings(settings);

    mainWnd = nullptr;
    mainDialog = nullptr;
}
