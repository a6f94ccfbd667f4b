#pragma once
// The notification-area icon through Shell_NotifyIconW.
#include "platform/NotifyIcon.h"

namespace corv::win32 {

class Win32NotifyIcon : public NotifyIcon {
  public:
    bool Notify(int operation, const NotifyIconRecord& record) override;
};

} // namespace corv::win32
