#pragma once
// The notification-area icon through Shell_NotifyIconW, and its images at the size the
// notification area uses.
#include <windows.h>

#include "platform/NotifyIcon.h"

namespace corv::win32 {

// The side, in pixels, of a notification-area image at this DPI (the small-icon size).
int TrayIconSize(UINT dpi);
// An icon of the resources at that size; nullptr when it cannot be loaded.
HICON LoadTrayIcon(HMODULE module, int id, UINT dpi);

class Win32NotifyIcon : public NotifyIcon {
  public:
    bool Notify(int operation, const NotifyIconRecord& record) override;
};

} // namespace corv::win32
