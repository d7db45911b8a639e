#include "Dialog.h"

#include "App.h"
#include "DataExchange.h"

const MessageEntry CDialog::kMessages[] = {{}};
IMPLEMENT_MESSAGE_MAP(CDialog, CWnd)

namespace {

// Messages whose result a dialog procedure returns itself instead of
// through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
    switch (message) {
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

}  // namespace

HWND CDialog::ParentHandle() const {
    if (parent_) return parent_->hwnd();
    CWnd* main = AfxGetApp() ? AfxGetApp()->mainWnd : nullptr;
    return (main && main != this) ? main->hwnd() : nullptr;
}

INT_PTR CDialog::DoModal() {
    HWND parent = ParentHandle();
    modal_ = true;
    ended_ = false;
    result_ = -1;
    HWND dialog = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId_), parent,
                                       DialogProc, reinterpret_cast<LPARAM>(this));
    if (!dialog) {
        modal_ = false;
        return -1;
    }
    const bool parentWasEnabled = parent && ::IsWindowEnabled(parent);
    if (parentWasEnabled) ::EnableWindow(parent, FALSE);
    if (!ended_ && !(::GetWindowLongA(dialog, GWL_STYLE) & WS_VISIBLE)) ::ShowWindow(dialog, SW_SHOW);

    MSG msg;
    while (!ended_) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {   // a quit request ends the dialog and is passed on
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (PreFilterMessage(&msg)) continue;
        CWinApp* app = AfxGetApp();
        if (app && app->PreTranslateMessage(&msg)) continue;
        if (PreTranslateMessage(&msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }

    if (parentWasEnabled) ::EnableWindow(parent, TRUE);
    if (parent && ::GetActiveWindow() == dialog) ::SetActiveWindow(parent);
    if (hwnd_) DestroyWindow();   // virtual: a dialog may tidy up first
    modal_ = false;
    return result_;
}

bool CDialog::Create(HWND parent) {
    modal_ = false;
    return ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId_), parent, DialogProc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
    result_ = result;
    ended_ = true;
    if (!modal_ && hwnd_) ::DestroyWindow(hwnd_);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (!hwnd_) return FALSE;
    return ::IsDialogMessageA(hwnd_, msg);
}

bool CDialog::UpdateData(bool saveAndValidate) {
    DataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return !dx.failed();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (Dispatch(message, wParam, lParam, result)) {
        if (ReturnsDirectly(message)) return result;
        ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDOK: OnOK(); return TRUE;
        case IDCANCEL: OnCancel(); return TRUE;
        default: break;
        }
    }
    return FALSE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<CDialog*>(lParam);
            self->Bind(hwnd);
            return self->OnInitDialog();
        }
        CDialog* self = static_cast<CDialog*>(FromHandle(hwnd));
        if (!self) return FALSE;
        const INT_PTR handled = self->HandleMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            self->Unbind();
            self->PostNcDestroy();
        }
        return handled;
    } catch (...) {
        return FALSE;   // nothing may unwind through the window system
    }
}
