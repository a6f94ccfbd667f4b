// Drives the program's windows from outside, as a user and assistive tools see them: finds the
// Settings and Test windows and their standard controls, reads captions, list items, selections
// and enabled states, picks list items and presses buttons the way the controls report a user's
// action, and sends the tray icon's mouse messages. For the end-to-end tests.
//
//   UiDriver.exe <command> [arguments]
//     wait <Settings|TestSerial> <seconds>      until the window exists (and is shown: "shown")
//     title|visible|accepts|rect <form>         title; shown, takes input: 1/0; "x y w h"
//     text|enabled|items|selected <form> <control>
//     pick <form> <list> <index>                selection, then CBN_SELCHANGE to the window
//     click <form> <button>                     BM_CLICK, posted (the press may open a window)
//     tray <mouse message>                      the icon's callback, e.g. 0x203
//     system <message> <wParam>                 a system notice to the Settings window, e.g.
//                                               0x218 0x12 (resume from sleep)
//     menu <entry>                              the popup menu entry's command
//     popup                                     1 while a popup menu is open, else 0
//     popup-close                               Escape to the open popup menu
//     close <form>                              the system's close command
//     escape <form>                             the Escape key, to the control with the focus
//     system <form> <message> <wParam>          a system notification, sent (e.g. 0x219 7)
//     msgbox                                    the text of the program's message box
//     msgbox-ok                                 presses its OK button
//     top <title> minimize|iconic|front|infront any top-level window by its exact title: minimise
//                                               it; 1/0 whether minimised; bring it to the front;
//                                               1/0 whether it is the foreground window
// Prints the answer on one line; exits 1 when the window or control is not there.
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

const corv::FormLayout& Layout(const std::wstring& form) {
    return form == L"TestSerial" ? corv::TestSerialLayout() : corv::SettingsLayout();
}

// The program's window of that design: the Settings window is the one holding the version label.
HWND FindForm(const std::wstring& form) {
    const int versionId = kFirstControlId + corv::SettingsLayout().PositionOf(L"lblVersion");
    HWND found = nullptr;
    for (HWND h = FindWindowExW(nullptr, nullptr, L"CorvanthelixForm", nullptr); h;
         h = FindWindowExW(nullptr, h, L"CorvanthelixForm", nullptr)) {
        const bool settings = GetDlgItem(h, versionId) != nullptr;
        if (settings == (form == L"Settings"))
            found = h;
    }
    return found;
}

HWND FindControl(HWND form, const std::wstring& formName, const std::wstring& control) {
    const int position = Layout(formName).PositionOf(control);
    return position < 0 ? nullptr : GetDlgItem(form, kFirstControlId + position);
}

std::wstring WindowText(HWND h) {
    wchar_t buffer[1024] = {};
    // WM_GETTEXT answers across processes where GetWindowText would not ask the window.
    SendMessageTimeoutW(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 5000,
                        nullptr);
    return buffer;
}

std::wstring Item(HWND list, int i) {
    const auto length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length < 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

bool IsList(HWND h) {
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    return lstrcmpiW(cls, L"ComboBox") == 0;
}

void Print(const std::wstring& text) {
    // UTF-8, so that the test script can compare Cyrillic captions.
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fputc('\n', stdout);
}

// The program's message box: a dialog window titled with the program's name.
HWND FindMessageBox() {
    return FindWindowW(L"#32770", L"Corvanthelix");
}

int Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> a(argv + 1, argv + argc);
    if (a.empty())
        return Fail("usage: UiDriver <command> [arguments]");
    const std::wstring& command = a[0];

    if (command == L"tray" && a.size() == 2) {
        HWND form = FindForm(L"Settings");
        if (!form)
            return Fail("no Settings window");
        const auto mouse = static_cast<LPARAM>(std::stoul(a[1], nullptr, 0));
        PostMessageW(form, corv::kTrayCallbackMessage, 1, mouse);
        return 0;
    }
    if (command == L"system" && a.size() == 3) {
        HWND form = FindForm(L"Settings");
        if (!form)
            return Fail("no Settings window");
        const auto msg = static_cast<UINT>(std::stoul(a[1], nullptr, 0));
        SendMessageW(form, msg, static_cast<WPARAM>(std::stoul(a[2], nullptr, 0)), 0);
        return 0;
    }
    if (command == L"menu" && a.size() == 2) {
        HWND form = FindForm(L"Settings");
        const int position = corv::SettingsLayout().PositionOf(a[1]);
        if (!form || position < 0)
            return Fail("no Settings window or no such entry");
        PostMessageW(form, WM_COMMAND, MAKEWPARAM(kFirstControlId + position, 0), 0);
        return 0;
    }
    if (command == L"popup" || command == L"popup-close") {
        // The shown popup menu window (a closed one may linger hidden).
        HWND menu = nullptr;
        for (HWND h = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); h && !menu;
             h = FindWindowExW(nullptr, h, L"#32768", nullptr))
            if (IsWindowVisible(h))
                menu = h;
        const bool open = menu != nullptr;
        if (command == L"popup") {
            Print(open ? L"1" : L"0");
            return 0;
        }
        if (!open)
            return Fail("no popup menu");
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(menu, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        return 0;
    }
    if (command == L"msgbox" || command == L"msgbox-ok") {
        HWND box = FindMessageBox();
        if (!box)
            return Fail("no message box");
        if (command == L"msgbox-ok") {
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
            return 0;
        }
        // The message is the box's text label (the icon's label has no text).
        std::wstring text;
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            wchar_t cls[32] = {};
            GetClassNameW(c, cls, 32);
            if (lstrcmpiW(cls, L"Static") == 0 && text.empty())
                text = WindowText(c);
        }
        for (auto& ch : text)
            if (ch == L'\r' || ch == L'\n')
                ch = L' ';
        Print(text);
        return 0;
    }
    if (command == L"top" && a.size() == 3) {
        HWND window = FindWindowW(nullptr, a[1].c_str());
        if (!window)
            return Fail("no window with that title");
        if (a[2] == L"minimize")
            ShowWindow(window, SW_MINIMIZE);
        else if (a[2] == L"iconic")
            Print(IsIconic(window) ? L"1" : L"0");
        else if (a[2] == L"front")
            SetForegroundWindow(window);
        else if (a[2] == L"infront")
            Print(GetForegroundWindow() == window ? L"1" : L"0");
        else
            return Fail("unknown window command");
        return 0;
    }
    if (a.size() < 2)
        return Fail("missing window name");
    const std::wstring& formName = a[1];
    if (command == L"wait" && a.size() >= 3) {
        const DWORD end = GetTickCount() + static_cast<DWORD>(std::stod(a[2]) * 1000);
        const bool shown = a.size() > 3 && a[3] == L"shown";
        while (static_cast<int>(end - GetTickCount()) > 0) {
            HWND h = FindForm(formName);
            if (h && (!shown || IsWindowVisible(h)))
                return 0;
            Sleep(50);
        }
        return Fail("window did not appear");
    }
    HWND form = FindForm(formName);
    if (!form)
        return Fail("no such window");
    if (command == L"title") {
        Print(WindowText(form));
        return 0;
    }
    if (command == L"accepts") {
        Print(IsWindowEnabled(form) ? L"1" : L"0");
        return 0;
    }
    if (command == L"visible") {
        Print(IsWindowVisible(form) ? L"1" : L"0");
        return 0;
    }
    if (command == L"rect") {
        RECT r{};
        GetWindowRect(form, &r);
        Print(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
              std::to_wstring(r.right - r.left) + L" " + std::to_wstring(r.bottom - r.top));
        return 0;
    }
    if (command == L"close") {
        PostMessageW(form, WM_CLOSE, 0, 0);
        return 0;
    }
    if (command == L"system" && a.size() == 4) {
        // A notification as the system sends it: a new device, a resume from sleep.
        SendMessageW(form, std::stoul(a[2], nullptr, 0), std::stoul(a[3], nullptr, 0), 0);
        return 0;
    }
    if (command == L"escape") {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info);
        HWND target = info.hwndFocus && IsChild(form, info.hwndFocus) ? info.hwndFocus : form;
        PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        return 0;
    }
    if (a.size() < 3)
        return Fail("missing control name");
    HWND control = FindControl(form, formName, a[2]);
    if (!control)
        return Fail("no such control");
    if (command == L"text") {
        if (IsList(control)) {
            const auto selected = SendMessageW(control, CB_GETCURSEL, 0, 0);
            Print(selected < 0 ? L"" : Item(control, static_cast<int>(selected)));
        } else {
            Print(WindowText(control));
        }
    } else if (command == L"enabled") {
        Print(IsWindowEnabled(control) ? L"1" : L"0");
    } else if (command == L"items") {
        std::wstring all;
        const auto count = SendMessageW(control, CB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; ++i)
            all += (i ? L"|" : L"") + Item(control, i);
        Print(all);
    } else if (command == L"selected") {
        Print(std::to_wstring(SendMessageW(control, CB_GETCURSEL, 0, 0)));
    } else if (command == L"pick" && a.size() == 4) {
        // As a user's pick arrives: the list changes its selection, then tells its window.
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(std::stoi(a[3])), 0);
        SendMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
    } else if (command == L"click") {
        PostMessageW(control, BM_CLICK, 0, 0);
    } else {
        return Fail("unknown command");
    }
    return 0;
}
