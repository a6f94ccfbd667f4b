#include "InterimReaderParts.h"

#include <algorithm>

namespace corv::win32 {

void InterimTray::UpdateTrayIcon(int operation, std::int16_t image) {
    data_.cbSize = sizeof(data_);
    data_.hWnd = window_();
    data_.uID = 1;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = WM_MOUSEMOVE;
    if (image == kConnectedImage)
        data_.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_INFORMATION));
    else if (image == kNotConnectedImage)
        data_.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_WARNING));
    Shell_NotifyIconW(static_cast<DWORD>(operation), &data_);
}

void InterimTray::SetTrayTip(const std::wstring& tip) {
    const std::size_t n = std::min<std::size_t>(tip.size(), std::size(data_.szTip) - 1);
    std::fill(std::begin(data_.szTip), std::end(data_.szTip), L' ');
    std::copy_n(tip.begin(), n, data_.szTip);
    data_.szTip[n] = L'\0';
}

} // namespace corv::win32
