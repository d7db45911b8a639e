// CWinApp: the one application object. WinMain (App.cpp) fills in the
// module, the arguments and the names, runs InitInstance and ends the
// process with exitCode.
#pragma once

#include "Wnd.h"

#include <string>
#include <vector>

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up and the whole run; the program ends when it returns.
    virtual BOOL InitInstance() = 0;
    // Sees every message of the framework's message loops first; true
    // swallows the message.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Background work between messages of a loop that asks for it, called
    // with 0, 1, 2, ... while it answers true. Nothing by default.
    virtual BOOL OnIdle(LONG count);

    HINSTANCE instance = nullptr;        // the executable
    HINSTANCE resourceHandle = nullptr;  // where dialogs, strings and images come from
    CWnd* mainWnd = nullptr;
    int exitCode = 0;
    std::string appName;                 // the executable's name without extension
    std::string modulePath;              // full path of the executable
    std::string helpFilePath;            // modulePath with the extension ".HLP"
    std::vector<std::string> args;       // command-line arguments, without the program
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetResourceHandle();
