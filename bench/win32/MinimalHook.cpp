// The least a low-level keyboard hook can do, for comparing the keyboard reader's callback
// with: a callback that only passes every key event on. It keeps the time of every callback
// from entry to return and, once the given number of events has passed (or after the given
// seconds), writes one line per callback: microseconds in all, microseconds of deciding (0
// here), "other".
//
//   MinimalHook.exe <times file> <events> [seconds]
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

HHOOK g_hook = nullptr;
LARGE_INTEGER g_freq;
std::vector<double> g_times;
std::size_t g_wanted = 0;

LRESULT CALLBACK HookProc(int code, WPARAM wp, LPARAM lp) noexcept {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const LRESULT result = CallNextHookEx(g_hook, code, wp, lp);
    QueryPerformanceCounter(&end);
    if (code == HC_ACTION && g_times.size() < g_times.capacity()) {
        g_times.push_back(1e6 * static_cast<double>(end.QuadPart - start.QuadPart) /
                          static_cast<double>(g_freq.QuadPart));
        if (g_times.size() >= g_wanted)
            PostQuitMessage(0);
    }
    return result;
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 3) {
        std::fprintf(stderr, "usage: MinimalHook <times file> <events> [seconds]\n");
        return 2;
    }
    g_wanted = static_cast<std::size_t>(std::wcstol(argv[2], nullptr, 10));
    const long seconds = argc > 3 ? std::wcstol(argv[3], nullptr, 10) : 600;
    g_times.reserve(g_wanted);
    QueryPerformanceFrequency(&g_freq);
    g_hook = SetWindowsHookExW(WH_KEYBOARD_LL, HookProc, GetModuleHandleW(nullptr), 0);
    if (!g_hook)
        return 1;
    // Ready: the driving script waits for this line.
    std::printf("hooked\n");
    std::fflush(stdout);
    const UINT_PTR end = SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000), nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.wParam == end)
            break;
        DispatchMessageW(&msg);
    }
    UnhookWindowsHookEx(g_hook);
    FILE* f = _wfopen(argv[1], L"w");
    if (!f)
        return 1;
    for (double t : g_times)
        std::fprintf(f, "%.2f 0 other\n", t);
    std::fclose(f);
    return 0;
}
