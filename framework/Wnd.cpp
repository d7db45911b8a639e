#include "Wnd.h"

#include "App.h"

#include <vector>

namespace {
const char kObjectProp[] = "VelmoraxObject";
}

namespace msgmap_detail {
bool TakeDefaultRequest(CWnd& w) {
    const bool requested = w.defaultRequested_;
    w.defaultRequested_ = false;
    return requested;
}
}  // namespace msgmap_detail

const MessageEntry CWnd::kMessages[] = {{}};
const MessageMap CWnd::kMessageMap = {nullptr, CWnd::kMessages};

CWnd::~CWnd() {
    if (hwnd_ && ::IsWindow(hwnd_)) {
        HWND window = hwnd_;
        Unbind();
        ::DestroyWindow(window);
    }
}

std::string WindowText(HWND hwnd) {
    const int length = ::GetWindowTextLengthA(hwnd);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextA(hwnd, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

std::string CWnd::ItemText(int id) const { return WindowText(Item(id)); }

CWnd* CWnd::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<CWnd*>(::GetPropA(hwnd, kObjectProp)) : nullptr;
}

void CWnd::Bind(HWND hwnd) {
    hwnd_ = hwnd;
    ::SetPropA(hwnd, kObjectProp, this);
}

void CWnd::Unbind() {
    if (hwnd_) ::RemovePropA(hwnd_, kObjectProp);
    hwnd_ = nullptr;
}

bool CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    UINT id = 0, code = 0;
    if (message == WM_COMMAND) {
        id = LOWORD(wParam);
        code = HIWORD(wParam);
    } else if (message == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header) return false;
        id = static_cast<UINT>(header->idFrom);
        code = header->code;
    }
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (const MessageEntry* e = map->entries; e->message; ++e) {
            if (e->message != message) continue;
            if ((message == WM_COMMAND || message == WM_NOTIFY) && (e->id != id || e->code != code))
                continue;
            return e->call(*this, wParam, lParam, result);
        }
    }
    return false;
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, UINT classStyle, const char* title,
                    DWORD style, int x, int y, int width, int height, HWND parent) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (!::GetClassInfoA(instance, className, &existing)) {
        WNDCLASSA wc = {};
        wc.style = classStyle;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.lpszClassName = className;
        if (!::RegisterClassA(&wc)) return false;
    }
    return ::CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, nullptr,
                             instance, this) != nullptr;
}

BOOL CWnd::DestroyWindow() {
    return hwnd_ ? ::DestroyWindow(hwnd_) : FALSE;
}

LRESULT CALLBACK CWnd::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            static_cast<CWnd*>(create->lpCreateParams)->Bind(hwnd);
        }
        CWnd* self = FromHandle(hwnd);
        if (!self) return ::DefWindowProcA(hwnd, message, wParam, lParam);
        LRESULT result = 0;
        const bool handled = self->Dispatch(message, wParam, lParam, result);
        if (!handled) result = ::DefWindowProcA(hwnd, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            self->Unbind();
            self->PostNcDestroy();
        }
        return result;
    } catch (...) {
        // Nothing may unwind through the window system.
        return 0;
    }
}
