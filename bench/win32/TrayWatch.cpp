// Starts a program and tells how long it took until a new notification-area icon appeared:
// under Wine every icon is a window that the shell creates for it.
// Prints the milliseconds (or "none" after the time-out) and leaves the program running.
//
//   TrayWatch.exe <timeout ms> <program> [arguments...]
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/win32/Handles.h"

namespace {

// The shell's window for one icon: the X11 driver's stand-alone tray, or explorer's own.
bool IsIconWindow(HWND hwnd) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    return std::wcscmp(cls, L"__winex11_tray_icon") == 0 ||
           std::wcscmp(cls, L"__wine_tray_icon") == 0;
}

BOOL CALLBACK CountChild(HWND hwnd, LPARAM lp) {
    if (IsIconWindow(hwnd))
        ++*reinterpret_cast<int*>(lp);
    return TRUE;
}

BOOL CALLBACK CountTop(HWND hwnd, LPARAM lp) {
    CountChild(hwnd, lp);
    EnumChildWindows(hwnd, CountChild, lp);
    return TRUE;
}

int CountIcons() {
    int count = 0;
    EnumWindows(CountTop, reinterpret_cast<LPARAM>(&count));
    return count;
}

double Ms(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER freq) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(freq.QuadPart);
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 3) {
        std::fprintf(stderr, "usage: TrayWatch <timeout ms> <program> [arguments...]\n");
        return 2;
    }
    const long timeout = std::wcstol(argv[1], nullptr, 10);
    std::wstring command = L"\"" + std::wstring(argv[2]) + L"\"";
    for (int i = 3; i < argc; ++i)
        command += L" \"" + std::wstring(argv[i]) + L"\"";

    const int before = CountIcons();
    LARGE_INTEGER freq, start, now;
    QueryPerformanceFrequency(&freq);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::fprintf(stderr, "cannot start the program (error %lu)\n", GetLastError());
        return 1;
    }
    const corv::win32::KernelHandle process(pi.hProcess), thread(pi.hThread);
    for (;;) {
        QueryPerformanceCounter(&now);
        if (CountIcons() > before) {
            std::printf("%.1f\n", Ms(start, now, freq));
            break;
        }
        if (Ms(start, now, freq) > timeout) {
            std::printf("none\n");
            break;
        }
        Sleep(1);
    }
    std::fflush(stdout);
    return 0;
}
