// CComboBox: a bound combo box whose entries each carry a number.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class CComboBox {
public:
    void Attach(HWND control) { hwnd_ = control; }
    HWND hwnd() const { return hwnd_; }

    int GetCount() const { return static_cast<int>(::SendMessageA(hwnd_, CB_GETCOUNT, 0, 0)); }
    // Adds an entry at the end (the list is not sorted) with its number;
    // false when the list cannot take it.
    bool Add(const std::string& text, uintptr_t data) const {
        const LRESULT index = ::SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (index < 0) return false;
        ::SendMessageA(hwnd_, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
        return true;
    }
    uintptr_t GetItemData(int index) const {
        return static_cast<uintptr_t>(::SendMessageA(hwnd_, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    }
    // The selected index, or -1 when no entry is selected.
    int GetCurSel() const {
        const LRESULT index = ::SendMessageA(hwnd_, CB_GETCURSEL, 0, 0);
        return index < 0 ? -1 : static_cast<int>(index);
    }
    void SetCurSel(int index) const { ::SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

private:
    HWND hwnd_ = nullptr;
};
