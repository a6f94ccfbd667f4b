// How long the keyboard reader's hook callback takes, from entry to return, as the system calls
// it. The reader's own hook (KeyboardHook, the same code as in Corvanthelix.exe) is installed
// through an installer that wraps its callback in a timing one; each code the reader finishes
// is typed into the window in front with Enter, as the program types it, so that the program's
// own keys pass the callback too. After the given number of other programs' key events and a
// second of quiet (or after the given seconds), writes one line per callback: microseconds from
// entry to return, then "own" (a key this program typed) or "other".
//
//   HookCallbackTimes.exe <times file> <events> [seconds]
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "platform/win32/KeyboardHook.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32Basics.h"
#include "platform/win32/Win32Desktop.h"

using namespace corv;
using namespace corv::win32;

namespace {

struct Timing {
    double micros;
    bool own;
};

HOOKPROC g_reader = nullptr;
HHOOK g_timer = nullptr;
LARGE_INTEGER g_frequency;
std::vector<Timing> g_times;
std::size_t g_others = 0;
ULONGLONG g_lastKey = 0;

LRESULT CALLBACK TimedCallback(int code, WPARAM wp, LPARAM lp) noexcept {
    LARGE_INTEGER entry, exit;
    QueryPerformanceCounter(&entry);
    const LRESULT result = g_reader(code, wp, lp);
    QueryPerformanceCounter(&exit);
    if (code == HC_ACTION && lp != 0 && g_times.size() < g_times.capacity()) {
        const bool own =
            reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp)->dwExtraInfo == kInjectedKeyTag;
        g_times.push_back({1e6 * static_cast<double>(exit.QuadPart - entry.QuadPart) /
                               static_cast<double>(g_frequency.QuadPart),
                           own});
        g_others += own ? 0 : 1;
        g_lastKey = GetTickCount64();
    }
    return result;
}

HHOOK WINAPI InstallTimed(int kind, HOOKPROC reader, HINSTANCE module, DWORD thread) {
    g_reader = reader;
    g_timer = SetWindowsHookExW(kind, &TimedCallback, module, thread);
    return g_timer;
}

struct TypeInFront : CodeDelivery {
    Win32Desktop desktop;
    void DeliverCode(const std::wstring& code) override { desktop.TypeCode(code + L"\r", {}); }
};

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 3) {
        std::fprintf(stderr, "usage: HookCallbackTimes <times file> <events> [seconds]\n");
        return 2;
    }
    const std::size_t wanted = std::wcstoul(argv[2], nullptr, 10);
    const unsigned long seconds = argc > 3 ? std::wcstoul(argv[3], nullptr, 10) : 600;
    g_times.reserve(wanted * 3 + 1000);
    QueryPerformanceFrequency(&g_frequency);
    AppSettings settings;
    AnsiCodePage codePage;
    TypeInFront delivery;
    KeyboardHook hook(settings, codePage, delivery);
    hook.SetInstaller(&InstallTimed);
    if (!hook.InstallKeyboardHook())
        return 1;
    // Ready: the driving script waits for this line.
    std::printf("hooked\n");
    std::fflush(stdout);
    RunMessages(
        nullptr, [&] { return g_others >= wanted && GetTickCount64() - g_lastKey > 1000; },
        seconds * 1000ull);
    hook.RemoveKeyboardHook();
    FILE* f = _wfopen(argv[1], L"wb");
    if (!f)
        return 1;
    for (const Timing& t : g_times)
        std::fprintf(f, "%.2f %s\n", t.micros, t.own ? "own" : "other");
    std::fclose(f);
    return 0;
}
