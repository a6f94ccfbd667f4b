#include "MessageLoop.h"

#include <algorithm>

#include "Win32Form.h"

namespace corv::win32 {

std::optional<int> RunMessages(Win32Form* dialog, const std::function<bool()>& done,
                               ULONGLONG waitMs) {
    const ULONGLONG start = GetTickCount64();
    MSG msg;
    for (;;) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return static_cast<int>(msg.wParam);
            }
            if (!dialog || !dialog->PreTranslate(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (done && done())
                return std::nullopt;
        }
        if (done && done())
            return std::nullopt;
        const ULONGLONG waited = GetTickCount64() - start;
        if (waited >= waitMs)
            return std::nullopt;
        const DWORD left = waitMs == kWaitForever
                               ? INFINITE
                               : static_cast<DWORD>(std::min<ULONGLONG>(waitMs - waited, 60000));
        MsgWaitForMultipleObjectsEx(0, nullptr, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

} // namespace corv::win32
