#include "HotkeyEditDialog.h"

#include "../framework/DataExchange.h"
#include "../framework/Strings.h"
#include "../resources/resource_ids.h"

#include <commctrl.h>

#include <utility>

const MessageEntry HotkeyEditDialog::kMessages[] = {
    OnCommand<&HotkeyEditDialog::OnHelp>(ID_HELP_CMD),
    {},
};
IMPLEMENT_MESSAGE_MAP(HotkeyEditDialog, CDialog)

HotkeyEditDialog::HotkeyEditDialog(int32_t key, int32_t modifiers, const std::string& title, CWnd* parent,
                                   HelpRequest help)
    : CDialog(IDD_HOTKEY_EDIT, parent),
      title_(title),
      key_(key),
      flags_(ModifiersToHotkeyFlags(modifiers)),
      help_(std::move(help)) {
    texts_.shift = LoadResString(IDS_MOD_SHIFT);
    texts_.control = LoadResString(IDS_MOD_CONTROL);
    texts_.alt = LoadResString(IDS_MOD_ALT);
    texts_.noKey = LoadResString(IDS_NO_KEY);
}

void HotkeyEditDialog::DoDataExchange(DataExchange& dx) {
    hotkey_.Attach(dx.Control(IDC_HOTKEY_CTRL));
    DDX_Text(dx, IDC_HOTKEY_TITLE, title_);
}

BOOL HotkeyEditDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    hotkey_.SetHotKey(HotkeyControlValue(key_, flags_));
    // A key alone or with Shift alone would take keys from every program:
    // the control adds Shift and Control to such a combination.
    hotkey_.SetRules(HKCOMB_NONE | HKCOMB_S, HOTKEYF_SHIFT | HOTKEYF_CONTROL);
    ::SetFocus(hotkey_.hwnd());
    return FALSE;
}

BOOL HotkeyEditDialog::PreFilterMessage(MSG* msg) {
    // Escape cancels this dialog, although the application swallows it
    // everywhere else.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE && hwnd_ &&
        (msg->hwnd == hwnd_ || ::IsChild(hwnd_, msg->hwnd))) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

BOOL HotkeyEditDialog::PreTranslateMessage(MSG* msg) {
    // Every key typed into the control counts, modifiers included; Enter
    // confirms and is not one of them.
    if ((msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) && msg->wParam != VK_RETURN && hotkey_.hwnd() &&
        ::GetFocus() == hotkey_.hwnd()) {
        keyMessageData_ = static_cast<int32_t>(msg->lParam);
        lastTypedKey_ = static_cast<int32_t>(msg->wParam);
    }
    return CDialog::PreTranslateMessage(msg);
}

void HotkeyEditDialog::OnOK() {
    if (keyMessageData_ == 0) {   // nothing typed: the combination stays
        EndDialog(IDCANCEL);
        return;
    }
    const WORD value = hotkey_.GetHotKey();
    key_ = LOBYTE(value);
    flags_ = HIBYTE(value);
    if (key_ == 0) keyMessageData_ = 0;
    EndDialog(IDOK);
}

void HotkeyEditDialog::OnHelp() {
    if (help_) help_(hwnd_);
}

void HotkeyEditDialog::GetHotkey(int32_t& key, int32_t& modifiers) const {
    key = key_;
    modifiers = HotkeyFlagsToModifiers(flags_);
}

std::string HotkeyEditDialog::GetDescription() const {
    std::string name;
    if (keyMessageData_ != 0 && key_ != 0) {
        // The key that is stored names the combination: the keyboard's own
        // message for it when it was the last key typed (a Tab or a modifier
        // may have come after it), else its scan code in this layout.
        const int32_t param = lastTypedKey_ == key_
                                  ? keyMessageData_
                                  : KeyNameParam(::MapVirtualKeyA(static_cast<UINT>(key_), MAPVK_VK_TO_VSC),
                                                 (flags_ & HOTKEYF_EXT) != 0);
        char buffer[20] = "";
        const int length = ::GetKeyNameTextA(param, buffer, sizeof buffer);
        if (length > 0) name.assign(buffer, static_cast<size_t>(length));
    }
    return HotkeyDescription(texts_, flags_, keyMessageData_ != 0, key_, name);
}
