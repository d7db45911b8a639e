// CTabCtrl: the few tab-control calls the program needs, on a bound control.
#pragma once

#include <windows.h>

#include <string>

class CTabCtrl {
public:
    void Attach(HWND control) { hwnd_ = control; }
    HWND hwnd() const { return hwnd_; }

    // Adds a tab with only its text set; false on failure.
    bool InsertItem(int index, const std::string& text);
    // The selected index, -1 when none.
    int GetCurSel() const;
    void SetCurSel(int index);

private:
    HWND hwnd_ = nullptr;
};
