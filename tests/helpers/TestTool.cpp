// The end-to-end tests' helper. "target" is the window codes are typed into: titled "Quillomarte"
// (or as given), it appends each character it receives to the record file as its UTF-16 code, one
// a line. The other commands drive windows from outside, as a user and assistive tools do (a window
// is Settings, TestSerial or a title; a control is named as in its form's layout), and answer in
// UTF-8; the exit code is 1 when the window is not there.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/modSysTry.h"
#include "platform/win32/Win32Form.h"
#include "ui/FormLayouts.h"

namespace {

using Args = std::vector<std::wstring>;
FILE* g_record = nullptr;

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CHAR)
        std::fprintf(g_record, "%u\n", static_cast<unsigned>(wp));
    if (msg == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

int RunTarget(const Args& a) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TargetProc;
    wc.lpszClassName = L"QuillomarteTargetWindow";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, a.size() > 2 ? a[2].c_str() : L"Quillomarte",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 180, nullptr,
                                nullptr, nullptr, nullptr);
    // the record exists once the window is ready; each character is in it as it arrives
    if (!hwnd || !(g_record = _wfopen(a.at(1).c_str(), L"ab")))
        return 1;
    std::setvbuf(g_record, nullptr, _IONBF, 0);
    SetForegroundWindow(hwnd);
    for (MSG msg; GetMessageW(&msg, nullptr, 0, 0) > 0; DispatchMessageW(&msg))
        TranslateMessage(&msg);
    return 0;
}

HWND Need(HWND h, const char* what) {
    if (!h)
        throw std::runtime_error(what);
    return h;
}

// The last top-level window of the class and title (either may be null) that fits.
HWND Find(const wchar_t* cls, const wchar_t* title, const std::function<bool(HWND)>& fits) {
    HWND found = nullptr;
    for (HWND h = FindWindowExW(nullptr, nullptr, cls, title); h;
         h = FindWindowExW(nullptr, h, cls, title))
        if (fits(h))
            found = h;
    return found;
}

int Id(const std::wstring& form, const std::wstring& control) {
    const auto& layout = form == L"TestSerial" ? corv::TestSerialLayout() : corv::SettingsLayout();
    const int position = layout.PositionOf(control);
    return position < 0 ? 0 : corv::win32::kFirstControlId + position;
}

// Settings and TestSerial are the program's windows (Settings is the one with the version
// label); any other name is a window's title.
HWND Window(const std::wstring& name) {
    const bool settings = name == L"Settings", form = settings || name == L"TestSerial";
    const int version = Id(L"Settings", L"lblVersion");
    return Need(form ? Find(L"CorvanthelixForm", nullptr,
                            [&](HWND h) { return (GetDlgItem(h, version) != nullptr) == settings; })
                     : FindWindowW(nullptr, name.c_str()),
                "no such window");
}

// The window a[1], or its control a[2] when one is named.
HWND Subject(const Args& a) {
    HWND window = Window(a.at(1));
    return a.size() < 3 ? window : Need(GetDlgItem(window, Id(a[1], a[2])), "no such control");
}

std::wstring WindowText(HWND h) {
    wchar_t buffer[1024] = {};
    // WM_GETTEXT answers across processes where GetWindowText would not ask the window.
    SendMessageTimeoutW(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 5000,
                        nullptr);
    return buffer;
}

int Print(const std::wstring& text) {
    char out[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out, sizeof out - 1, nullptr, nullptr);
    return std::puts(out) < 0;
}

int Flag(bool value) {
    return Print(value ? L"1" : L"0");
}

int Posted(HWND h, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return !PostMessageW(h, msg, wp, lp);
}

int PostEscape(HWND h) {
    return Posted(h, WM_KEYDOWN, VK_ESCAPE, 0x00010001) |
           Posted(h, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

HWND Popup() { // the shown popup menu (a closed one may linger hidden)
    return Find(L"#32768", nullptr, [](HWND h) { return IsWindowVisible(h) != FALSE; });
}
HWND Box() {
    return Need(FindWindowW(L"#32770", L"Corvanthelix"), "no message box");
}

using Command = std::function<int(const Args&)>;
const std::map<std::wstring, Command> kCommands = {
    {L"target", RunTarget},
    // the tray icon's mouse messages, a system notice (sent, as the system waits for it), a menu
    // entry: all to the Settings window
    {L"tray",
     [](auto& a) {
         return Posted(Window(L"Settings"), corv::kTrayCallbackMessage, 1,
                       std::stol(a.at(1), nullptr, 0));
     }},
    {L"system",
     [](auto& a) {
         SendMessageW(Window(L"Settings"), std::stoul(a.at(1), nullptr, 0),
                      std::stoul(a.at(2), nullptr, 0), 0);
         return 0;
     }},
    {L"menu",
     [](auto& a) { return Posted(Window(L"Settings"), WM_COMMAND, Id(L"Settings", a.at(1))); }},
    {L"popup", [](auto&) { return Flag(Popup() != nullptr); }},
    {L"popup-close", [](auto&) { return PostEscape(Need(Popup(), "no popup menu")); }},
    {L"msgbox", [](auto&) { return Print(WindowText(GetDlgItem(Box(), 0xFFFF))); }}, // its text
    {L"msgbox-ok", [](auto&) { return Posted(Box(), WM_COMMAND, IDOK); }},
    // a window's title, a control's text, a drop-down list's selected item
    {L"text", [](auto& a) { return Print(WindowText(Subject(a))); }},
    {L"enabled", [](auto& a) { return Flag(IsWindowEnabled(Subject(a))); }},
    {L"visible", [](auto& a) { return Flag(IsWindowVisible(Subject(a))); }},
    {L"iconic", [](auto& a) { return Flag(IsIconic(Subject(a))); }},
    {L"infront", [](auto& a) { return Flag(GetForegroundWindow() == Subject(a)); }},
    {L"selected",
     [](auto& a) { return Print(std::to_wstring(SendMessageW(Subject(a), CB_GETCURSEL, 0, 0))); }},
    {L"items",
     [](auto& a) {
         HWND list = Subject(a);
         std::wstring all;
         for (LRESULT i = 0, n = SendMessageW(list, CB_GETCOUNT, 0, 0); i < n; ++i) {
             wchar_t item[512] = {};
             if (SendMessageW(list, CB_GETLBTEXTLEN, i, 0) < 512)
                 SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
             all += (i ? L"|" : L"") + std::wstring(item);
         }
         return Print(all);
     }},
    // posted: a press may open a window of its own
    {L"click", [](auto& a) { return Posted(Subject(a), BM_CLICK); }},
    {L"pick",
     [](auto& a) { // list index [list index ...]; sent: handled on return
         for (std::size_t i = 2; i + 1 < a.size(); i += 2) {
             HWND list = Subject({a[0], a[1], a[i]});
             SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(std::stoi(a[i + 1])), 0);
             SendMessageW(GetParent(list), WM_COMMAND,
                          MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(list));
         }
         return 0;
     }},
    {L"close", [](auto& a) { return Posted(Subject(a), WM_CLOSE); }},
    {L"minimize", [](auto& a) { return Posted(Subject(a), WM_SYSCOMMAND, SC_MINIMIZE); }},
    {L"front", [](auto& a) { return !SetForegroundWindow(Subject(a)); }},
    {L"escape",
     [](auto& a) { // the Escape key, to the control with the focus
         HWND form = Subject(a);
         GUITHREADINFO info{};
         info.cbSize = sizeof info;
         GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info);
         return PostEscape(info.hwndFocus && IsChild(form, info.hwndFocus) ? info.hwndFocus : form);
     }},
};

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const Args a(argv + 1, argv + argc);
    try {
        const auto command = a.empty() ? kCommands.end() : kCommands.find(a[0]);
        if (command == kCommands.end())
            throw std::invalid_argument("usage: TestTool <command> [window [control [value]]]");
        return command->second(a);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
