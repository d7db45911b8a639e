// CHotKeyCtrl: the few calls the program makes on a bound hot-key control.
// Its value carries the key in the low byte and the control's own modifier
// flags (HOTKEYF_SHIFT 1, HOTKEYF_CONTROL 2, HOTKEYF_ALT 4, HOTKEYF_EXT 8)
// in the high byte; these are not the flags that RegisterHotKey takes.
#pragma once

#include <windows.h>
#include <commctrl.h>

class CHotKeyCtrl {
public:
    void Attach(HWND control) { hwnd_ = control; }
    HWND hwnd() const { return hwnd_; }

    void SetHotKey(WORD value) const { ::SendMessageA(hwnd_, HKM_SETHOTKEY, value, 0); }
    WORD GetHotKey() const { return static_cast<WORD>(::SendMessageA(hwnd_, HKM_GETHOTKEY, 0, 0)); }
    // Combinations (HKCOMB_*) the control does not accept, and the
    // modifiers it shows instead when one is typed.
    void SetRules(WORD invalidCombinations, WORD replacementFlags) const {
        ::SendMessageA(hwnd_, HKM_SETRULES, invalidCombinations, MAKELPARAM(replacementFlags, 0));
    }

private:
    HWND hwnd_ = nullptr;
};
