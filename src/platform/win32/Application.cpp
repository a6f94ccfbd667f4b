#include "Application.h"

#include "ReaderStartUp.h"
#include "KeyboardReaderStart.h"
#include "SingleInstance.h"
#include "Win32Basics.h"

namespace corv::win32 {
namespace {

constexpr wchar_t kMainClass[] = L"CorvanthelixMain";

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

int RunApplication(HINSTANCE instance) {
    // A second start ends here, silently, before anything else is touched.
    SingleInstance single(kInstanceMutexName);
    if (single.AnotherIsRunning())
        return 0;

    WNDCLASSW wc{};
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kMainClass;
    if (!RegisterClassW(&wc))
        return 1;
    HWND main = CreateWindowExW(0, kMainClass, L"Quillomarte Corvanthelix", WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 400, 400, nullptr, nullptr, instance,
                                nullptr);
    if (!main)
        return 1;
    const auto reader = StartReader(instance);
    KeyboardReaderStart keyboardReader;

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace corv::win32
