#include "HelpViewer.h"

#include "HelpFile.h"

#include "../framework/App.h"
#include "../framework/Wnd.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

const char kTitle[] = "Velmorax Help";
const int kTopicListId = 100;
const int kHeadingId = 101;
const int kTextId = 102;

std::string ReadWholeFile(const std::string& path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    std::ostringstream text;
    if (ok) text << in.rdbuf();
    return text.str();
}

// The help window: the topics on the left, the chosen topic on the right.
class HelpWindow : public CWnd {
public:
    // Opens (or raises) the window and shows topic, or the contents when
    // topic is negative or not in the file.
    void Open(int topic);
    void Close() {
        if (IsWindow()) DestroyWindow();
    }

    DECLARE_MESSAGE_MAP()

private:
    bool CreateWindowAndControls();
    void Load();
    void ShowTopicAt(int index);
    void Layout();
    LRESULT OnSize(WPARAM, LPARAM);
    void OnTopicChosen();

    HelpFile file_;
    std::string problem_;   // why there is nothing to show, when the file cannot be read
};

const MessageEntry HelpWindow::kMessages[] = {
    OnMessage<&HelpWindow::OnSize>(WM_SIZE),
    OnCommand<&HelpWindow::OnTopicChosen>(kTopicListId, LBN_SELCHANGE),
    {},
};
IMPLEMENT_MESSAGE_MAP(HelpWindow, CWnd)

HelpWindow theHelpWindow;

bool HelpWindow::CreateWindowAndControls() {
    // Centred on the screen, as large as the text needs and the screen allows.
    const int width = std::min(780, ::GetSystemMetrics(SM_CXSCREEN));
    const int height = std::min(500, ::GetSystemMetrics(SM_CYSCREEN));
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    if (!CreateEx(0, "VelmoraxHelpWindow", CS_HREDRAW | CS_VREDRAW, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                  x, y, width, height, nullptr))
        return false;
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    const auto child = [&](DWORD exStyle, const char* cls, DWORD style, int id) {
        HWND control = ::CreateWindowExA(exStyle, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, hwnd_,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    };
    child(WS_EX_CLIENTEDGE, "LISTBOX", WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, kTopicListId);
    child(0, "STATIC", SS_LEFT | SS_NOPREFIX, kHeadingId);
    child(WS_EX_CLIENTEDGE, "EDIT", WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, kTextId);
    ::SendMessageA(Item(kHeadingId), WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(SYSTEM_FONT)), FALSE);
    Layout();
    return true;
}

void HelpWindow::Load() {
    CWinApp* app = AfxGetApp();
    const std::string path = app ? app->helpFilePath : std::string();
    bool ok = false;
    const std::string text = ReadWholeFile(path, ok);
    file_ = ok ? ParseHelpFile(text) : HelpFile{};
    problem_.clear();
    if (!ok)
        problem_ = "The help file " + path + " cannot be read.";
    else if (file_.topics.empty())
        problem_ = "The help file " + path + " holds no topics.";

    HWND list = Item(kTopicListId);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const HelpTopic& topic : file_.topics)
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(topic.title.c_str()));
}

void HelpWindow::ShowTopicAt(int index) {
    if (index < 0 || static_cast<size_t>(index) >= file_.topics.size()) {
        SetItemText(kHeadingId, "Velmorax");
        SetItemText(kTextId, problem_);
        return;
    }
    const HelpTopic& topic = file_.topics[static_cast<size_t>(index)];
    ::SendMessageA(Item(kTopicListId), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SetItemText(kHeadingId, topic.title);
    SetItemText(kTextId, WithCrLf(topic.body));
}

void HelpWindow::Open(int topic) {
    if (!IsWindow() && !CreateWindowAndControls()) return;
    Load();
    const HelpTopic* shown = topic >= 0 ? FindHelpTopic(file_, topic) : nullptr;
    if (!shown) shown = ContentsTopic(file_);
    ShowTopicAt(shown ? static_cast<int>(shown - file_.topics.data()) : -1);
    if (::IsIconic(hwnd_)) ::ShowWindow(hwnd_, SW_RESTORE);
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
}

void HelpWindow::Layout() {
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const int margin = 8, listWidth = 170, headingHeight = 24;
    const int height = client.bottom - 2 * margin;
    const int textLeft = margin + listWidth + margin;
    const int textWidth = client.right - textLeft - margin;
    ::MoveWindow(Item(kTopicListId), margin, margin, listWidth, height, TRUE);
    ::MoveWindow(Item(kHeadingId), textLeft, margin, textWidth, headingHeight, TRUE);
    ::MoveWindow(Item(kTextId), textLeft, margin + headingHeight, textWidth, height - headingHeight, TRUE);
}

LRESULT HelpWindow::OnSize(WPARAM, LPARAM) {
    Layout();
    return 0;
}

void HelpWindow::OnTopicChosen() {
    ShowTopicAt(static_cast<int>(::SendMessageA(Item(kTopicListId), LB_GETCURSEL, 0, 0)));
}

}  // namespace

bool ShowHelp(HWND, UINT command, DWORD_PTR data) {
    switch (command) {
    case HELP_CONTENTS:
        theHelpWindow.Open(-1);
        return true;
    case HELP_CONTEXT:
        theHelpWindow.Open(data <= 0x7FFFFFFF ? static_cast<int>(data) : -1);
        return true;
    case HELP_QUIT:
        theHelpWindow.Close();
        return true;
    default:
        return false;
    }
}
