#pragma once
// Fakes for a top-level window's own operations and for the notification-area icon: both
// record what they were asked to do.
#include <functional>
#include <string>
#include <vector>

#include "platform/FormHost.h"
#include "platform/NotifyIcon.h"

namespace corv::fake {

class FakeFormHost : public FormHost {
  public:
    void Show() override;
    void Hide() override;
    bool Visible() const override { return visible; }
    void ShowPopupMenu(Control& menu) override;
    void ShowMessage(const std::wstring& text, const std::wstring& title) override;
    ScreenBox ScreenSize() const override { return screen; }
    ScreenBox Placement() const override { return box; }
    void MoveTo(long long left, long long top) override;

    bool visible = false;
    ScreenBox screen{0, 0, 1024, 768};
    ScreenBox box{10, 10, 400, 450};
    std::vector<std::wstring> messages; // text of every message box
    std::vector<std::wstring> calls;    // "show", "hide", "popup <menu>", "message", "move"
    std::function<void()> onMessage;    // runs while a message box is open
};

class FakeNotifyIcon : public NotifyIcon {
  public:
    bool Notify(int operation, const NotifyIconRecord& record) override;
    struct Call {
        int operation;
        NotifyIconRecord record;
    };
    std::vector<Call> calls;
};

} // namespace corv::fake
