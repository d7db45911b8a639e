// RecorderApp: the application object. It owns the settings, loads the
// resource library, acts on the command line and runs the main window.
#pragma once

#include "../framework/App.h"
#include "../settings/AppSettings.h"

#include "version.h"

#include <cstdint>
#include <string>

class MainDialog;

// The exit code of a start-up or mode that could not do what it was started
// for (the uninstall batch file stops on it).
constexpr int kExitFailed = 1;
// The exit code of a command-line recording stopped at the file's size limit
// or because its disk was full.
constexpr int kExitFileFull = 2;
// The exit code of a command-line recording that could not start, or was
// stopped because something failed (a write, the frame clock).
constexpr int kExitRecordingFailed = 3;

class RecorderApp : public CWinApp {
public:
    RecorderApp();
    ~RecorderApp() override;

    BOOL InitInstance() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // Hotkeys of the main window.
    void RegisterHotkeys();
    void UnregisterHotkeys();

    const int32_t versionMajor = VELMORAX_VERSION_MAJOR;
    const int32_t versionMinor = VELMORAX_VERSION_MINOR;
    const int32_t versionRelease = VELMORAX_VERSION_RELEASE;

    AppSettings settings;
    int32_t StartAfterLaunch = 0;
    int32_t ExitAfterRecording = 0;
    MainDialog* mainDialog = nullptr;
    // The program's folder, without a trailing backslash.
    std::string ProgramDir;

private:
    void RunMainWindow();
};

RecorderApp& App();
