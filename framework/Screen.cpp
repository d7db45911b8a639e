#include "Screen.h"

RECT VirtualScreenRect() {
    const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width > 0 && height > 0) {
        const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
        const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
        return {left, top, left + width, top + height};
    }
    RECT desktop{};
    ::GetClientRect(::GetDesktopWindow(), &desktop);
    return desktop;
}

RECT MonitorRectNear(const RECT& r) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(::MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) return info.rcMonitor;
    RECT desktop{};
    ::GetClientRect(::GetDesktopWindow(), &desktop);
    return desktop;
}
