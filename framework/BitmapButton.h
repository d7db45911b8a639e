// CBitmapButton: a push button drawn from four images of the resource
// library, named after the button's caption plus "U" (up), "D" (pressed),
// "F" (focused) and "X" (disabled). The button is BS_OWNERDRAW in its
// template; the parent hands WM_DRAWITEM for its id to DrawItem. Without
// images the button draws a plain face with its caption, and still works.
#pragma once

#include "Handles.h"

#include <windows.h>

#include <string>

class CBitmapButton {
public:
    CBitmapButton() = default;
    ~CBitmapButton();
    CBitmapButton(const CBitmapButton&) = delete;
    CBitmapButton& operator=(const CBitmapButton&) = delete;

    // Binds the control id of dialog and loads the images named after its
    // caption; the button takes the size of the up image, times the
    // display's whole scale (ImageScaleFor). False when the control does not
    // exist (missing images are no failure).
    bool AutoLoad(HWND dialog, int id);
    // Draws the button for the state in item (parent's WM_DRAWITEM).
    void DrawItem(const DRAWITEMSTRUCT& item) const;

    HWND hwnd() const { return hwnd_; }
    int id() const { return id_; }
    bool HasImages() const { return static_cast<bool>(images_[Up]); }

private:
    enum Image { Up, Down, Focus, Disabled, ImageCount };
    HBITMAP ImageFor(UINT itemState) const;
    void DrawPlain(const DRAWITEMSTRUCT& item) const;

    HWND hwnd_ = nullptr;
    int id_ = 0;
    int scale_ = 1;
    GdiObject<HBITMAP> images_[ImageCount];
};

// Which of the four images a button in itemState (ODS_ flags) shows:
// 0 up, 1 pressed, 2 focused, 3 disabled. Pressed wins over focused;
// disabled wins over both.
int ButtonImageIndex(UINT itemState);

// How many screen pixels each image pixel takes at a display's dots per inch:
// the whole multiple of 96 it reaches, at least 1. The images are pixel art:
// any other factor would blur them, so at 144 dpi they stay as they are and
// at 192 dpi every pixel becomes four.
int ImageScaleFor(int dpi);
