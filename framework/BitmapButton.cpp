#include "BitmapButton.h"

#include "App.h"
#include "Wnd.h"

int ButtonImageIndex(UINT itemState) {
    if (itemState & ODS_DISABLED) return 3;
    if (itemState & ODS_SELECTED) return 1;
    if (itemState & ODS_FOCUS) return 2;
    return 0;
}

int ImageScaleFor(int dpi) { return dpi >= 192 ? dpi / 96 : 1; }

CBitmapButton::~CBitmapButton() = default;

bool CBitmapButton::AutoLoad(HWND dialog, int id) {
    for (GdiObject<HBITMAP>& image : images_) image.Reset();
    id_ = id;
    hwnd_ = ::GetDlgItem(dialog, id);
    if (!hwnd_) return false;

    const std::string caption = WindowText(hwnd_);
    const char suffixes[ImageCount] = {'U', 'D', 'F', 'X'};
    for (int i = 0; i < ImageCount; ++i) {
        const std::string name = caption + suffixes[i];
        images_[i].Reset(static_cast<HBITMAP>(
            ::LoadImageA(AfxGetResourceHandle(), name.c_str(), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    }
    if (const WindowDc screen; screen.get()) scale_ = ImageScaleFor(::GetDeviceCaps(screen, LOGPIXELSY));
    BITMAP info;
    if (images_[Up] && ::GetObjectA(images_[Up].get(), sizeof info, &info))
        ::SetWindowPos(hwnd_, nullptr, 0, 0, info.bmWidth * scale_, info.bmHeight * scale_,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

HBITMAP CBitmapButton::ImageFor(UINT itemState) const {
    const HBITMAP image = images_[ButtonImageIndex(itemState)].get();
    return image ? image : images_[Up].get();   // a missing state image falls back to the up image
}

void CBitmapButton::DrawItem(const DRAWITEMSTRUCT& item) const {
    HBITMAP image = ImageFor(item.itemState);
    if (!image) {
        DrawPlain(item);
        return;
    }
    const MemoryDc memory(item.hDC);
    if (!memory) return;
    const Selection selected(memory, image);
    const RECT& r = item.rcItem;
    if (scale_ == 1) {
        ::BitBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, 0, 0, SRCCOPY);
    } else {
        // Whole pixels repeated, never mixed: the images stay sharp.
        const int previous = ::SetStretchBltMode(item.hDC, COLORONCOLOR);
        ::StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, 0, 0,
                     (r.right - r.left) / scale_, (r.bottom - r.top) / scale_, SRCCOPY);
        ::SetStretchBltMode(item.hDC, previous);
    }
}

void CBitmapButton::DrawPlain(const DRAWITEMSTRUCT& item) const {
    RECT r = item.rcItem;
    UINT frame = DFCS_BUTTONPUSH;
    if (item.itemState & ODS_SELECTED) frame |= DFCS_PUSHED;
    if (item.itemState & ODS_DISABLED) frame |= DFCS_INACTIVE;
    ::DrawFrameControl(item.hDC, &r, DFC_BUTTON, frame);

    const std::string caption = WindowText(item.hwndItem);
    const int oldMode = ::SetBkMode(item.hDC, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(
        item.hDC, ::GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    if (item.itemState & ODS_SELECTED) ::OffsetRect(&r, 1, 1);
    ::DrawTextA(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SetTextColor(item.hDC, oldColor);
    ::SetBkMode(item.hDC, oldMode);

    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        ::InflateRect(&focus, -3, -3);
        ::DrawFocusRect(item.hDC, &focus);
    }
}
