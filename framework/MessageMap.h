// Message maps: each window class lists the messages it handles in a table
// placed above its handlers, e.g.
//
//     const MessageEntry MainDialog::kMessages[] = {
//         OnCommand<&MainDialog::OnStartStop>(IDC_START),
//         OnMessage<&MainDialog::OnHotKey>(WM_HOTKEY),
//         {},
//     };
//
// A table ends with an empty entry. Lookup walks the tables from the most
// derived class to its bases; a linear scan over a dozen rows costs nothing.
#pragma once

#include <windows.h>
#include <type_traits>

class CWnd;

struct MessageEntry {
    UINT message = 0;   // 0 ends the table
    UINT id = 0;        // control id, for WM_COMMAND and WM_NOTIFY
    UINT code = 0;      // notification code, for WM_COMMAND and WM_NOTIFY
    bool (*call)(CWnd& target, WPARAM wParam, LPARAM lParam, LRESULT& result) = nullptr;
};

struct MessageMap {
    const MessageMap* base;
    const MessageEntry* entries;
};

namespace msgmap_detail {

template <class F> struct MemberOf;
template <class C, class R, class... A> struct MemberOf<R (C::*)(A...)> { using type = C; };

bool TakeDefaultRequest(CWnd& w);   // true when the handler asked for default processing

// Command handlers take nothing or the control id.
template <auto F> bool CallCommand(CWnd& w, WPARAM wParam, LPARAM, LRESULT& result) {
    using T = typename MemberOf<decltype(F)>::type;
    T& target = static_cast<T&>(w);
    if constexpr (std::is_invocable_v<decltype(F), T&, UINT>)
        (target.*F)(LOWORD(wParam));
    else
        (target.*F)();
    result = 0;
    return true;
}

// Notify handlers take the NMHDR and return the notification's result.
template <auto F> bool CallNotify(CWnd& w, WPARAM, LPARAM lParam, LRESULT& result) {
    using T = typename MemberOf<decltype(F)>::type;
    result = (static_cast<T&>(w).*F)(reinterpret_cast<NMHDR*>(lParam));
    return true;
}

// Message handlers take both parameters; they may call CWnd::Default() to
// have the message processed as if they did not exist.
template <auto F> bool CallMessage(CWnd& w, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    using T = typename MemberOf<decltype(F)>::type;
    result = (static_cast<T&>(w).*F)(wParam, lParam);
    return !TakeDefaultRequest(w);
}

}  // namespace msgmap_detail

template <auto F> constexpr MessageEntry OnCommand(UINT id, UINT code = BN_CLICKED) {
    return {WM_COMMAND, id, code, &msgmap_detail::CallCommand<F>};
}

template <auto F> constexpr MessageEntry OnNotify(UINT id, UINT code) {
    return {WM_NOTIFY, id, code, &msgmap_detail::CallNotify<F>};
}

template <auto F> constexpr MessageEntry OnMessage(UINT message) {
    return {message, 0, 0, &msgmap_detail::CallMessage<F>};
}

// Declares a class's table and the virtual that returns it.
#define DECLARE_MESSAGE_MAP()                          \
    static const MessageEntry kMessages[];             \
    static const MessageMap kMessageMap;               \
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

// Joins a class's table to its base's; put it right after the table.
#define IMPLEMENT_MESSAGE_MAP(Class, Base) \
    const MessageMap Class::kMessageMap = {&Base::kMessageMap, Class::kMessages};
