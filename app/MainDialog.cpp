#include "MainDialog.h"

#include "AboutDialog.h"
#include "HelpViewer.h"
#include "RecorderApp.h"
#include "WindowPlacement.h"
#include "../resources/resource_ids.h"

#include "../framework/Screen.h"
#include "../framework/Strings.h"

#include <shellapi.h>

#include <iterator>

const MessageEntry MainDialog::kMessages[] = {
    OnCommand<&MainDialog::OnStartStop>(IDC_START),
    OnCommand<&MainDialog::OnStartStop>(IDC_STOP),
    OnCommand<&MainDialog::OnPause>(IDC_PAUSE),
    OnCommand<&MainDialog::OnOpenFile>(IDC_OPEN),
    OnCommand<&MainDialog::ShowSettings>(IDC_SETTINGS),
    OnCommand<&MainDialog::OnHelp>(ID_HELP_CMD),
    OnCommand<&MainDialog::OnExit>(IDC_EXIT),
    OnMessage<&MainDialog::OnClose>(WM_CLOSE),
    OnMessage<&MainDialog::OnHotKeyMessage>(WM_HOTKEY),
    OnMessage<&MainDialog::OnStopRequest>(kStopRequest),
    OnMessage<&MainDialog::OnTimer>(WM_TIMER),
    OnMessage<&MainDialog::OnSysCommand>(WM_SYSCOMMAND),
    OnMessage<&MainDialog::OnPaint>(WM_PAINT),
    OnMessage<&MainDialog::OnQueryDragIcon>(WM_QUERYDRAGICON),
    OnMessage<&MainDialog::OnQueryNewPalette>(WM_QUERYNEWPALETTE),
    OnMessage<&MainDialog::OnPaletteChanged>(WM_PALETTECHANGED),
    OnMessage<&MainDialog::OnDrawItem>(WM_DRAWITEM),
    OnMessage<&MainDialog::OnDestroy>(WM_DESTROY),
    {},
};
IMPLEMENT_MESSAGE_MAP(MainDialog, CDialog)

namespace {
// The image buttons in the order they are bound.
const int kButtonIds[7] = {IDC_START, IDC_PAUSE, IDC_OPEN, IDC_STOP, ID_HELP_CMD, IDC_EXIT, IDC_SETTINGS};
}  // namespace

MainDialog::MainDialog()
    : CDialog(IDD_MAIN), recorder(App().settings, *this), audioSink(recorder), sound(wave, audioSink) {
    icon_ = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_MAIN));
}

MainDialog::~MainDialog() = default;

BOOL MainDialog::DestroyWindow() {
    // The focus leaves the pages first, so that a field being edited is
    // taken while everything still exists.
    if (hwnd_) ::SetFocus(hwnd_);
    return CDialog::DestroyWindow();
}

BOOL MainDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    panel.owner = this;
    if (!panel.Create(hwnd_)) return TRUE;
    // Child dialogs carry their template ids, so that they can be told apart from outside.
    ::SetWindowLongPtrA(panel.hwnd(), GWLP_ID, static_cast<LONG_PTR>(panel.templateId()));

    BindButtons();
    SetButtonsRecording(false);
    EnableItem(IDC_SETTINGS, true);
    EnableItem(IDC_EXIT, true);

    // The template holds the button row; the panel lies below it.
    RECT client, panelRect;
    ::GetClientRect(hwnd_, &client);
    ::GetWindowRect(panel.hwnd(), &panelRect);
    ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&panelRect), 2);
    rowClientHeight_ = client.bottom;
    panelClientHeight_ = panelRect.bottom;
    HideSettings();

    PlaceAtSavedPosition();
    AddAboutToSystemMenu();
    ::SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    App().RegisterHotkeys();

    if (App().StartAfterLaunch) {
        ::ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
        OnStartStop();
    }
    return FALSE;
}

void MainDialog::BindButtons() {
    for (size_t i = 0; i < std::size(kButtonIds); ++i) buttons_[i].AutoLoad(hwnd_, kButtonIds[i]);
}

LRESULT MainDialog::OnDrawItem(WPARAM, LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    for (const CBitmapButton& button : buttons_) {
        if (item && button.hwnd() && static_cast<UINT>(button.id()) == item->CtlID) {
            button.DrawItem(*item);
            return TRUE;
        }
    }
    Default();
    return FALSE;
}

void MainDialog::PlaceAtSavedPosition() {
    const AppSettings& s = App().settings;
    if (!SavedPositionApplies(s.WinX, s.WinY)) return;
    RECT window;
    ::GetWindowRect(hwnd_, &window);
    // Kept on the monitor where it was saved, which need not be the primary one.
    const RECT saved = {s.WinX, s.WinY, s.WinX + (window.right - window.left), s.WinY + (window.bottom - window.top)};
    const RECT r = ::PlaceAtSavedPosition(window, s.WinX, s.WinY, MonitorRectNear(saved));
    ::MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void MainDialog::AddAboutToSystemMenu() {
    const std::string about = LoadResString(IDS_ABOUT_MENU);
    HMENU menu = ::GetSystemMenu(hwnd_, FALSE);
    if (about.empty() || !menu) return;
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, IDM_ABOUT, about.c_str());
}

void MainDialog::SetButtonsRecording(bool recording) {
    EnableItem(IDC_START, !recording);
    EnableItem(IDC_STOP, recording);
    EnableItem(IDC_OPEN, !recording);
    EnableItem(ID_HELP_CMD, !recording);
    EnableItem(IDC_PAUSE, true);
}

void MainDialog::OnOpenFile() {
    char folder[256] = "";
    ::GetCurrentDirectoryA(255, folder);
    ::ShellExecuteA(hwnd_, "open", App().settings.AVIFileName.c_str(), nullptr, folder, SW_SHOW);
}

void MainDialog::OnHelp() { ShowHelp(hwnd_, HELP_CONTENTS, 0); }

void MainDialog::SetClientHeight(int clientHeight) {
    if (clientHeight <= 0) return;
    RECT window, client;
    ::GetWindowRect(hwnd_, &window);
    ::GetClientRect(hwnd_, &client);
    const RECT desktop = MonitorRectNear(window);   // it grows within its own monitor
    if (::IsIconic(hwnd_)) {
        // Minimised: change the size the window will have when restored.
        WINDOWPLACEMENT placement = {sizeof placement};
        if (!::GetWindowPlacement(hwnd_, &placement)) return;
        RECT& normal = placement.rcNormalPosition;
        normal.bottom = normal.top + frameHeight_ + clientHeight;
        placement.flags = 0;
        placement.showCmd = ::IsWindowVisible(hwnd_) ? SW_SHOWMINNOACTIVE : SW_HIDE;
        ::SetWindowPlacement(hwnd_, &placement);
        return;
    }
    frameHeight_ = (window.bottom - window.top) - client.bottom;
    const RECT r = WithHeight(window, frameHeight_ + clientHeight, desktop);
    ::SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainDialog::ShowSettings() {
    ::ShowWindow(panel.hwnd(), SW_SHOW);
    EnableItem(IDC_SETTINGS, false);
    SetClientHeight(panelClientHeight_);
}

void MainDialog::HideSettings() {
    ::ShowWindow(panel.hwnd(), SW_HIDE);
    EnableItem(IDC_SETTINGS, true);
    SetClientHeight(rowClientHeight_);
}

void MainDialog::OnOK() { OnStartStop(); }
void MainDialog::OnCancel() {}

void MainDialog::OnExit() {
    if (recorder.State() != Idle) OnStartStop();
    EndDialog(IDOK);
}

LRESULT MainDialog::OnClose(WPARAM, LPARAM) {
    OnExit();
    return 0;
}

LRESULT MainDialog::OnSysCommand(WPARAM command, LPARAM) {
    ::SetFocus(hwnd_);
    if ((command & 0xFFF0) == IDM_ABOUT) {
        AboutDialog about(this);
        about.DoModal();
        return 0;
    }
    Default();
    return 0;
}

LRESULT MainDialog::OnPaint(WPARAM, LPARAM) {
    if (!::IsIconic(hwnd_)) {
        Default();
        return 0;
    }
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd_, &paint);
    ::SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT client;
    ::GetClientRect(hwnd_, &client);
    ::DrawIcon(dc, (client.right - iconWidth + 1) / 2, (client.bottom - iconHeight + 1) / 2, icon_);
    ::EndPaint(hwnd_, &paint);
    return 0;
}

LRESULT MainDialog::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(icon_); }

LRESULT MainDialog::OnQueryNewPalette(WPARAM, LPARAM) { return 0; }

LRESULT MainDialog::OnDestroy(WPARAM, LPARAM) {
    panel.DestroyWindow();
    ShowHelp(hwnd_, HELP_QUIT, 0);
    sound.DeleteInputWindow();
    RECT rect;
    if (::GetWindowRect(hwnd_, &rect)) {
        App().settings.WinX = rect.left;
        App().settings.WinY = rect.top;
    }
    Default();
    return 0;
}
