// HotkeyEditDialog (template 129): the user presses a new key combination
// for one hotkey action in the hot-key control and confirms it. Modifiers
// go in and come out in the form RegisterHotKey takes; the control's own
// flags stay inside. Confirming without having typed anything counts as
// cancelling.
#pragma once

#include "HotkeyEditLogic.h"

#include "../framework/Dialog.h"
#include "../framework/HotKeyCtrl.h"

#include <cstdint>
#include <functional>
#include <string>

class HotkeyEditDialog : public CDialog {
public:
    // Opens the dialog's help topic for the given dialog window.
    using HelpRequest = std::function<void(HWND dialog)>;

    // key: virtual-key code; modifiers: 1 Alt, 2 Control, 4 Shift; title
    // names the action. Without a parent the main window owns the dialog.
    HotkeyEditDialog(int32_t key, int32_t modifiers, const std::string& title, CWnd* parent, HelpRequest help);

    // The confirmed combination (after DoModal returned IDOK).
    void GetHotkey(int32_t& key, int32_t& modifiers) const;
    // The modifier names and the keyboard layout's name of the key stored.
    std::string GetDescription() const;

    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    BOOL PreFilterMessage(MSG* msg) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnOK() override;

    DECLARE_MESSAGE_MAP()

private:
    void OnHelp();

    ModifierTexts texts_;
    CHotKeyCtrl hotkey_;
    std::string title_;
    int32_t key_;
    int32_t flags_;               // the hot-key control's modifier flags
    int32_t keyMessageData_ = 0;  // lParam of the last key typed into the control; 0 = nothing typed
    int32_t lastTypedKey_ = 0;    // its virtual key
    HelpRequest help_;
};
