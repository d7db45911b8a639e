#include "App.h"

#include <commctrl.h>
#include <cstdlib>

namespace {
CWinApp* theApp = nullptr;

std::string ModuleFileName(HINSTANCE instance) {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(instance, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}
}  // namespace

CWinApp::CWinApp() { theApp = this; }
CWinApp::~CWinApp() {
    if (theApp == this) theApp = nullptr;
}

BOOL CWinApp::PreTranslateMessage(MSG*) { return FALSE; }
BOOL CWinApp::OnIdle(LONG) { return FALSE; }

CWinApp* AfxGetApp() { return theApp; }
HINSTANCE AfxGetResourceHandle() { return theApp ? theApp->resourceHandle : nullptr; }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&controls);

    app->instance = instance;
    app->modulePath = ModuleFileName(instance);
    const size_t slash = app->modulePath.find_last_of("\\/");
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = app->modulePath.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot > nameStart;
    app->appName = app->modulePath.substr(nameStart, (hasExtension ? dot : app->modulePath.size()) - nameStart);
    app->helpFilePath = app->modulePath.substr(0, hasExtension ? dot : app->modulePath.size()) + ".HLP";
    for (int i = 1; i < __argc; ++i) app->args.emplace_back(__argv[i]);

    app->InitInstance();
    return app->exitCode;
}
