// The end-to-end tests' one helper program: "target" is the application codes are typed into, a
// window titled "Quillomarte" (or the title given) that appends each character it receives to
// the record file as its UTF-16 code, one a line. The other commands drive the program's windows
// from outside, as a user and assistive tools see them (Settings, TestSerial and their controls
// by name, the tray icon, the popup menu, the message box, any window by its title), and print
// the answer on one line in UTF-8; the exit code is 1 when the window or control is not there.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/modSysTry.h"
#include "platform/win32/Win32Form.h"
#include "ui/FormLayouts.h"

namespace {

using corv::win32::kFirstControlId;

// The target: every character the window receives goes to the record as its UTF-16 code.
std::wstring g_record;

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CHAR)
        if (FILE* f = _wfopen(g_record.c_str(), L"ab")) {
            std::fprintf(f, "%u\n", static_cast<unsigned>(wp));
            std::fclose(f);
        }
    if (msg == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

int RunTarget(const std::wstring& record, const std::wstring& title) {
    g_record = record;
    WNDCLASSW wc{};
    wc.lpfnWndProc = TargetProc;
    wc.lpszClassName = L"QuillomarteTargetWindow";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    HWND hwnd =
        CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                        40, 400, 180, nullptr, nullptr, nullptr, nullptr);
    if (!hwnd)
        return 1;
    SetForegroundWindow(hwnd);
    if (FILE* f = _wfopen(g_record.c_str(), L"ab")) // the record exists once the window is ready
        std::fclose(f);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

const corv::FormLayout& Layout(const std::wstring& form) {
    return form == L"TestSerial" ? corv::TestSerialLayout() : corv::SettingsLayout();
}

// The program's window of that design: the Settings window is the one holding the version label.
HWND FindForm(const std::wstring& form) {
    const int versionId = kFirstControlId + corv::SettingsLayout().PositionOf(L"lblVersion");
    HWND found = nullptr;
    for (HWND h = FindWindowExW(nullptr, nullptr, L"CorvanthelixForm", nullptr); h;
         h = FindWindowExW(nullptr, h, L"CorvanthelixForm", nullptr))
        if ((GetDlgItem(h, versionId) != nullptr) == (form == L"Settings"))
            found = h;
    return found;
}

std::wstring WindowText(HWND h) {
    wchar_t buffer[1024] = {};
    // WM_GETTEXT answers across processes where GetWindowText would not ask the window.
    SendMessageTimeoutW(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 5000,
                        nullptr);
    return buffer;
}

std::wstring Item(HWND list, LRESULT i) {
    wchar_t text[512] = {};
    if (SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 512)
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring ClassOf(HWND h) {
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    return cls;
}

int Print(std::wstring text) { // one line of UTF-8
    for (auto& ch : text)
        if (ch == L'\r' || ch == L'\n')
            ch = L' ';
    char out[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out, sizeof out - 1, nullptr, nullptr);
    return std::puts(out) < 0;
}

int Flag(bool value) {
    return Print(value ? L"1" : L"0");
}

int Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

void PostEscape(HWND h) {
    PostMessageW(h, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageW(h, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

unsigned long Number(const std::wstring& text) {
    return std::stoul(text, nullptr, 0);
}

// Commands about no window of the program's own, or about the Settings window as a whole.
int Desktop(const std::vector<std::wstring>& a) {
    const std::wstring& command = a[0];
    HWND settings = FindForm(L"Settings");
    if (command == L"tray" || command == L"system" || command == L"menu") {
        if (!settings || a.size() != (command == L"system" ? 3u : 2u))
            return Fail("no Settings window");
        if (command == L"tray")
            PostMessageW(settings, corv::kTrayCallbackMessage, 1,
                         static_cast<LPARAM>(Number(a[1])));
        else if (command == L"system") // sent, as the system sends a notice and waits for it
            SendMessageW(settings, static_cast<UINT>(Number(a[1])), Number(a[2]), 0);
        else
            PostMessageW(settings, WM_COMMAND,
                         kFirstControlId + corv::SettingsLayout().PositionOf(a[1]), 0);
        return 0;
    }
    if (command == L"popup" || command == L"popup-close") {
        // The shown popup menu window (a closed one may linger hidden).
        HWND menu = nullptr;
        for (HWND h = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); h && !menu;
             h = FindWindowExW(nullptr, h, L"#32768", nullptr))
            if (IsWindowVisible(h))
                menu = h;
        if (command == L"popup")
            return Flag(menu != nullptr);
        if (menu)
            PostEscape(menu);
        return menu ? 0 : Fail("no popup menu");
    }
    if (command == L"msgbox" || command == L"msgbox-ok") {
        HWND box = FindWindowW(L"#32770", L"Corvanthelix");
        if (!box)
            return Fail("no message box");
        if (command == L"msgbox-ok")
            return !PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        // The message is the box's first text label (the icon's label has no text).
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (lstrcmpiW(ClassOf(c).c_str(), L"Static") == 0 && !WindowText(c).empty())
                return Print(WindowText(c));
        return Print(L"");
    }
    if (command == L"top" && a.size() == 3) {
        HWND window = FindWindowW(nullptr, a[1].c_str());
        if (!window)
            return Fail("no window with that title");
        if (a[2] == L"minimize")
            ShowWindow(window, SW_MINIMIZE);
        else if (a[2] == L"front")
            SetForegroundWindow(window);
        return a[2] == L"iconic"    ? Flag(IsIconic(window))
               : a[2] == L"infront" ? Flag(GetForegroundWindow() == window)
                                    : 0;
    }
    return Fail("unknown command");
}

int Form(const std::vector<std::wstring>& a) {
    const std::wstring &command = a[0], &name = a[1];
    HWND form = FindForm(name);
    if (!form)
        return Fail("no such window");
    if (command == L"title")
        return Print(WindowText(form));
    if (command == L"accepts")
        return Flag(IsWindowEnabled(form));
    if (command == L"visible")
        return Flag(IsWindowVisible(form));
    if (command == L"close")
        return !PostMessageW(form, WM_CLOSE, 0, 0);
    if (command == L"escape") { // the Escape key, to the control with the focus
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info);
        PostEscape(info.hwndFocus && IsChild(form, info.hwndFocus) ? info.hwndFocus : form);
        return 0;
    }
    const int position = a.size() > 2 ? Layout(name).PositionOf(a[2]) : -1;
    HWND control = position < 0 ? nullptr : GetDlgItem(form, kFirstControlId + position);
    if (!control)
        return Fail("no such control");
    const bool list = lstrcmpiW(ClassOf(control).c_str(), L"ComboBox") == 0;
    const auto selected = SendMessageW(control, CB_GETCURSEL, 0, 0);
    if (command == L"text")
        return Print(!list ? WindowText(control) : selected < 0 ? L"" : Item(control, selected));
    if (command == L"enabled")
        return Flag(IsWindowEnabled(control));
    if (command == L"selected")
        return Print(std::to_wstring(selected));
    if (command == L"click") // posted: the press may open a window of its own
        return !PostMessageW(control, BM_CLICK, 0, 0);
    if (command == L"items") {
        std::wstring all;
        for (LRESULT i = 0, n = SendMessageW(control, CB_GETCOUNT, 0, 0); i < n; ++i)
            all += (i ? L"|" : L"") + Item(control, i);
        return Print(all);
    }
    if (command == L"pick" && a.size() == 4) {
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(std::stoi(a[3])), 0);
        SendMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
        return 0;
    }
    return Fail("unknown command");
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::vector<std::wstring> a(argv + 1, argv + argc);
    if (a.size() >= 2 && a[0] == L"target")
        return RunTarget(a[1], a.size() > 2 ? a[2] : L"Quillomarte");
    if (a.empty())
        return Fail("usage: TestTool <command> [arguments]");
    static const std::vector<std::wstring> desktop = {
        L"tray", L"system", L"menu", L"popup", L"popup-close", L"msgbox", L"msgbox-ok", L"top"};
    for (const auto& c : desktop)
        if (a[0] == c)
            return Desktop(a);
    return a.size() < 2 ? Fail("missing window name") : Form(a);
}
