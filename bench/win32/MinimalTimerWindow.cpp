// The least a tray program polling a reader needs, for comparing figures with: a hidden window,
// a notification-area icon and a 50 ms timer whose tick does nothing. Ends after the given
// number of seconds (default: runs until closed).
//
//   MinimalTimerWindow.exe [seconds]
#include <windows.h>

#include <shellapi.h>

#include <cwchar>

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT_PTR kEndTimer = 2;

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (wp == kEndTimer)
            DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const long seconds = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 0;
    WNDCLASSW wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"MinimalTimerWindow";
    if (!RegisterClassW(&wc))
        return 1;
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Minimal", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                100, nullptr, nullptr, instance, nullptr);
    if (!hwnd)
        return 1;

    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = hwnd;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    icon.uCallbackMessage = kTrayMessage;
    icon.hIcon = LoadIconW(nullptr, reinterpret_cast<PCWSTR>(IDI_APPLICATION));
    std::wcscpy(icon.szTip, L"Minimal");
    Shell_NotifyIconW(NIM_ADD, &icon);

    SetTimer(hwnd, kPollTimer, 50, nullptr);
    if (seconds > 0)
        SetTimer(hwnd, kEndTimer, static_cast<UINT>(seconds * 1000), nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    Shell_NotifyIconW(NIM_DELETE, &icon);
    return 0;
}
