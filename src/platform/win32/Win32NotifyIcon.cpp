#include "Win32NotifyIcon.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>

#include "Handles.h"

namespace corv::win32 {
namespace {

// Copies a text into a fixed field of the record, cut to leave room for the NUL.
template <std::size_t N> void CopyField(const std::wstring& text, wchar_t (&field)[N]) {
    const std::size_t end = std::min<std::size_t>({text.find(L'\0'), text.size(), N - 1});
    std::copy_n(text.begin(), end, field);
    field[end] = L'\0';
}

} // namespace

int TrayIconSize(UINT dpi) {
    // Windows 10 1607 and later know the metrics of any DPI; before, one DPI held for all.
    using ForDpi = int(WINAPI*)(int, UINT);
    if (const auto fn = reinterpret_cast<ForDpi>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi"))))
        return fn(SM_CXSMICON, dpi);
    const ScreenDc screen(GetDC(nullptr));
    const int systemDpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    return MulDiv(GetSystemMetrics(SM_CXSMICON), static_cast<int>(dpi), systemDpi);
}

HICON LoadTrayIcon(HMODULE module, int id, UINT dpi) {
    const int side = TrayIconSize(dpi);
    return static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
}

bool Win32NotifyIcon::Notify(int operation, const NotifyIconRecord& record) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = reinterpret_cast<HWND>(record.window);
    data.uID = record.id;
    data.uFlags = record.flags & (NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO);
    data.uCallbackMessage = record.callbackMessage;
    data.hIcon = reinterpret_cast<HICON>(record.icon);
    // The tip ends at its NUL; the system's field keeps room for one.
    const std::size_t end = std::min<std::size_t>(
        {record.tip.find(L'\0'), record.tip.size(), std::size(data.szTip) - 1});
    std::copy_n(record.tip.begin(), end, data.szTip);
    data.szTip[end] = L'\0';
    if (data.uFlags & NIF_INFO) {
        CopyField(record.balloonTitle, data.szInfoTitle);
        CopyField(record.balloonText, data.szInfo);
        data.dwInfoFlags = NIIF_WARNING;
    }
    DWORD message = NIM_ADD;
    if (operation == kModify)
        message = NIM_MODIFY;
    else if (operation == kDelete)
        message = NIM_DELETE;
    else if (operation != kAdd)
        return false;
    return Shell_NotifyIconW(message, &data) != FALSE;
}

} // namespace corv::win32
