// The smallest Win32 program with a 50 ms timer on a hidden window, as a yardstick for the CPU
// use and memory of a program that is idle apart from its timer. Runs until it is ended.
#include <windows.h>

namespace {

volatile unsigned long g_ticks = 0;

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
        g_ticks = g_ticks + 1;
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

int main() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MinimalTimerWindow";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"MinimalTimer", WS_OVERLAPPEDWINDOW, 0, 0,
                                100, 100, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd)
        return 1;
    SetTimer(hwnd, 1, 50, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
