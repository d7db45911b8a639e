#include "MainDialog.h"

#include "RecorderApp.h"
#include "resource_ids.h"

#include "../record/Recording.h"

const MessageEntry MainDialog::kMessages[] = {
    OnCommand<&MainDialog::OnStartStop>(IDC_START),
    OnCommand<&MainDialog::OnStartStop>(IDC_STOP),
    OnCommand<&MainDialog::OnPause>(IDC_PAUSE),
    OnCommand<&MainDialog::OnExit>(IDC_EXIT),
    OnMessage<&MainDialog::OnHotKey>(WM_HOTKEY),
    OnMessage<&MainDialog::OnClose>(WM_CLOSE),
    OnMessage<&MainDialog::OnDestroy>(WM_DESTROY),
    {},
};
IMPLEMENT_MESSAGE_MAP(MainDialog, CDialog)

MainDialog::MainDialog() : CDialog(IDD_MAIN) {
    icon_ = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_MAIN));
}

MainDialog::~MainDialog() = default;

BOOL MainDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetButtonsRecording(false);
    ::SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    if (App().StartAfterLaunch) {
        ::ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
        OnStartStop();
    }
    return FALSE;
}

void MainDialog::SetButtonsRecording(bool recording) {
    EnableItem(IDC_START, !recording);
    EnableItem(IDC_STOP, recording);
    EnableItem(IDC_OPEN, !recording);
    EnableItem(ID_HELP_CMD, !recording);
    EnableItem(IDC_PAUSE, true);
}

void MainDialog::OnStartStop() {
    if (state != Idle && state != StartingPaused) {
        StopRecording();
        ::UnregisterHotKey(hwnd_, 5);
        SetButtonsRecording(false);
        if (App().ExitAfterRecording) ::PostMessageA(hwnd_, WM_CLOSE, 0, 0);
        return;
    }
    ::SetFocus(Item(IDC_START));
    SetButtonsRecording(true);
    StartRecording(state == StartingPaused ? Paused : Recording);
}

void MainDialog::OnPause() {
    switch (state) {
    case Recording:
        state = Paused;
        break;
    case Paused:
        state = Recording;
        break;
    case Idle:
        state = StartingPaused;
        OnStartStop();
        break;
    default:
        break;
    }
}

LRESULT MainDialog::OnHotKey(WPARAM id, LPARAM) {
    switch (id) {
    case 1:
        if (state == Idle)
            ::PostMessageA(hwnd_, WM_COMMAND, IDC_START, reinterpret_cast<LPARAM>(Item(IDC_START)));
        else
            OnStartStop();
        break;
    case 3: OnPause(); break;
    case 5: RecordSingleFrame(); break;
    default: break;
    }
    return 0;
}

void MainDialog::ShowSettings() {}
void MainDialog::HideSettings() {}
void MainDialog::ShowCaptureRateField() {}
void MainDialog::ShowOutputFileName() {}

void MainDialog::OnOK() { OnStartStop(); }
void MainDialog::OnCancel() {}

void MainDialog::OnExit() {
    if (state != Idle) OnStartStop();
    EndDialog(IDOK);
}

LRESULT MainDialog::OnClose(WPARAM, LPARAM) {
    OnExit();
    return 0;
}

LRESULT MainDialog::OnDestroy(WPARAM, LPARAM) {
    RECT rect;
    if (::GetWindowRect(hwnd_, &rect)) {
        App().settings.WinX = rect.left;
        App().settings.WinY = rect.top;
    }
    return 0;
}
