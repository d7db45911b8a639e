// CDialog: a dialog built from a template of the resource library, run
// modally (DoModal, with the framework's own loop so that the application's
// PreTranslateMessage sees every message) or created as a modeless child
// (Create, for panels and pages).
#pragma once

#include "Wnd.h"

class DataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : templateId_(templateId), parent_(parent) {}

    // Runs the dialog until EndDialog; returns its result, or -1 when the
    // template could not be loaded.
    INT_PTR DoModal();
    // Creates the dialog as a modeless child of parent; false on failure.
    bool Create(HWND parent);
    void EndDialog(INT_PTR result);

    // Copies between members and controls; false when an entry was refused.
    bool UpdateData(bool saveAndValidate = true);

    virtual BOOL OnInitDialog();   // runs UpdateData(false); TRUE = system sets the focus
    virtual void OnOK();           // UpdateData(true), then EndDialog(IDOK)
    virtual void OnCancel();       // EndDialog(IDCANCEL)
    virtual void DoDataExchange(DataExchange&) {}
    // Gets every message of the modal loop before it is dispatched.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Gets every message of the modal loop before even the application's
    // filter (which swallows Escape); true swallows the message.
    virtual BOOL PreFilterMessage(MSG*) { return FALSE; }

    UINT templateId() const { return templateId_; }

    static const MessageEntry kMessages[];
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

protected:
    HWND ParentHandle() const;

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
    CWnd* parent_;
    bool modal_ = false;
    bool ended_ = false;
    INT_PTR result_ = 0;
};
