#pragma once
// The notification-area icon: one call that adds, modifies or deletes it from a record.
#include <cstdint>
#include <string>

namespace corv {

struct NotifyIconRecord {
    std::uint32_t size = 0;
    std::uintptr_t window = 0; // the window that receives the callback message
    std::uint32_t id = 0;
    std::uint32_t flags = 0;           // 1 message, 2 icon, 4 tip, 0x10 balloon valid
    std::uint32_t callbackMessage = 0; // sent to the window with the mouse message in lParam
    std::uintptr_t icon = 0;
    std::wstring tip;                       // 128 characters: the text, a NUL, spaces
    std::wstring balloonTitle, balloonText; // a warning balloon, with flag 0x10
};

class NotifyIcon {
  public:
    static constexpr int kAdd = 0;
    static constexpr int kModify = 1;
    static constexpr int kDelete = 2;
    virtual ~NotifyIcon() = default;
    // True when the system reports success.
    virtual bool Notify(int operation, const NotifyIconRecord& record) = 0;
};

} // namespace corv
