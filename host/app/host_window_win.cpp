#include "host/app/host_window_win.h"

#include <commctrl.h>

#include <cstdio>

#include "host/app/log_text.h"

namespace ionsift::host {
namespace {

constexpr const char* kClassName = "IonsiftStandInHost";
constexpr const char* kTitle = "Corvane stand-in host";
constexpr int kWidth = 1040;
constexpr int kHeight = 640;
constexpr int kIdRunCommand = 100;  // below the menu ids
constexpr int kMinWorkspaceWidth = 260;
constexpr int kMaxWorkspaceWidth = 420;

struct LogColumn {
    const char* title;
    int width;
};
constexpr LogColumn kLogColumns[] = {{"Command", 300}, {"Error", 45}, {"Answer", 330}};

}  // namespace

bool HostWindow::Create(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExA(&windowClass) == 0) return false;

    window_ = CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20,
                              kWidth, kHeight, nullptr, nullptr, instance, this);
    return window_ != nullptr;
}

LRESULT CALLBACK HostWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<HostWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    try {
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT HostWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateChildren();
        return 0;
    case WM_SIZE:
        Layout();
        return 0;
    case WM_COMMAND:
        if (lParam == 0) {
            events_.OnMenuCommand(LOWORD(wParam));
        } else if (LOWORD(wParam) == kIdRunCommand && HIWORD(wParam) == BN_CLICKED) {
            RunTypedCommand();
        }
        return 0;
    case WM_TIMER:
        events_.OnTimer(wParam);
        return 0;
    case WM_SETCURSOR:
        if (events_.IsBusy() && LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        events_.OnCloseRequest();
        return 0;
    case WM_DESTROY:
        events_.OnDestroyed();
        return 0;
    case kMsgStartScreenshot:
        events_.OnStartScreenshot();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void HostWindow::CreateChildren() {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE));
    status_ = CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                              0, 0, 0, window_, nullptr, instance, nullptr);
    int parts[] = {80, -1};
    SendMessageA(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    SetState("Ready");

    log_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, nullptr,
                           WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER, 0,
                           0, 0, 0, window_, nullptr, instance, nullptr);
    SendMessageA(log_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int i = 0; i < static_cast<int>(sizeof kLogColumns / sizeof kLogColumns[0]); ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(kLogColumns[i].title);
        column.cx = kLogColumns[i].width;
        column.iSubItem = i;
        SendMessageA(log_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    commandBox_.Create(window_, instance, kIdRunCommand);
    workspace_.Create(window_, instance);
}

void HostWindow::RunTypedCommand() {
    const std::string command = commandBox_.Text();
    if (command.find_first_not_of(" \t") == std::string::npos) return;
    events_.OnCommandTyped(command);
    commandBox_.SelectAll();
}

void HostWindow::Layout() {
    if (status_ == nullptr || log_ == nullptr) return;
    SendMessageA(status_, WM_SIZE, 0, 0);
    RECT client{};
    RECT status{};
    GetClientRect(window_, &client);
    GetWindowRect(status_, &status);
    const int width = client.right - client.left;
    const int height = (client.bottom - client.top) - (status.bottom - status.top);
    int paneWidth = width / 3;
    if (paneWidth < kMinWorkspaceWidth) paneWidth = kMinWorkspaceWidth;
    if (paneWidth > kMaxWorkspaceWidth) paneWidth = kMaxWorkspaceWidth;
    const int logWidth = width - paneWidth > 0 ? width - paneWidth : 0;
    const int boxHeight = commandBox_.Height();
    const int logHeight = height - boxHeight - 4 > 0 ? height - boxHeight - 4 : 0;
    MoveWindow(log_, 0, 0, logWidth, logHeight, TRUE);
    commandBox_.Place(RECT{2, logHeight + 2, logWidth - 2, logHeight + 2 + boxHeight});
    MoveWindow(workspace_.handle(), logWidth, 0, paneWidth, height > 0 ? height : 0, TRUE);
}

void HostWindow::AppendLog(const std::string& command, const std::string& error,
                           const std::string& answer) {
    const std::string cells[] = {EscapeLineBreaks(command), error, EscapeLineBreaks(answer)};
    // Also on stdout, so scripted runs leave a readable trace.
    std::printf("%s | %s | %s\n", cells[0].c_str(), cells[1].c_str(), cells[2].c_str());
    std::fflush(stdout);
    if (log_ == nullptr) return;

    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = rows_;
    item.pszText = const_cast<char*>(cells[0].c_str());
    const int row = static_cast<int>(SendMessageA(log_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    ++rows_;
    for (int column = 1; column < 3; ++column) {
        LVITEMA cell{};
        cell.iSubItem = column;
        cell.pszText = const_cast<char*>(cells[column].c_str());
        SendMessageA(log_, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&cell));
    }
    SendMessageA(log_, LVM_ENSUREVISIBLE, row, FALSE);
}

void HostWindow::SetState(const char* state) {
    if (status_ != nullptr) SendMessageA(status_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(state));
}

void HostWindow::SetMessage(const std::string& message) {
    if (status_ != nullptr) {
        SendMessageA(status_, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(message.c_str()));
    }
}

}  // namespace ionsift::host
