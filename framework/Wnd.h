// CWnd: a C++ object bound to one window. Plain windows are created with
// CreateEx and bound at WM_NCCREATE; dialogs bind at WM_INITDIALOG (Dialog.h).
#pragma once

#include "MessageMap.h"

#include <string>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND hwnd() const { return hwnd_; }
    bool IsWindow() const { return hwnd_ != nullptr && ::IsWindow(hwnd_); }

    // Creates a plain window of a class registered on first use with the
    // given name and class style; messages go through the message map.
    bool CreateEx(DWORD exStyle, const char* className, UINT classStyle, const char* title,
                  DWORD style, int x, int y, int width, int height, HWND parent);
    virtual BOOL DestroyWindow();

    // Control helpers.
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
    void EnableItem(int id, bool enable) const { ::EnableWindow(Item(id), enable ? TRUE : FALSE); }
    bool ItemEnabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    std::string ItemText(int id) const;
    void SetItemText(int id, const std::string& text) const { ::SetDlgItemTextA(hwnd_, id, text.c_str()); }
    int Checked(int id) const { return static_cast<int>(::SendDlgItemMessageA(hwnd_, id, BM_GETCHECK, 0, 0)); }
    void SetChecked(int id, int state) const { ::SendDlgItemMessageA(hwnd_, id, BM_SETCHECK, static_cast<WPARAM>(state), 0); }

    // Inside a message handler: process the message as if the handler did not exist.
    void Default() { defaultRequested_ = true; }

    // Handles one message through the message maps; false when no entry takes it.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The window of the object bound to hwnd, or none.
    static CWnd* FromHandle(HWND hwnd);

    static const MessageEntry kMessages[];
    static const MessageMap kMessageMap;
    virtual const MessageMap* GetMessageMap() const { return &kMessageMap; }

protected:
    // Called after the window has been destroyed and unbound.
    virtual void PostNcDestroy() {}

    HWND hwnd_ = nullptr;

private:
    friend bool msgmap_detail::TakeDefaultRequest(CWnd&);
    friend class CDialog;
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    void Bind(HWND hwnd);
    void Unbind();

    bool defaultRequested_ = false;
};

// The text of any window.
std::string WindowText(HWND hwnd);
