#pragma once
// A top-level window's own operations and the notification-area icon, in memory: both record
// what they were asked to do.
#include <functional>
#include <string>
#include <vector>

#include "platform/FormHost.h"
#include "platform/NotifyIcon.h"

namespace corv::fake {

class FakeFormHost : public FormHost {
  public:
    void Show() override { visible = true, calls.push_back(L"show"); }
    void Hide() override { visible = false, calls.push_back(L"hide"); }
    bool Visible() const override { return visible; }
    void ShowPopupMenu(Control& menu) override { calls.push_back(L"popup " + menu.Name()); }
    void ShowMessage(const std::wstring& text, const std::wstring&) override {
        messages.push_back(text), calls.push_back(L"message");
        if (onMessage)
            onMessage();
    }
    ScreenBox ScreenSize() const override { return screen; }
    ScreenBox Placement() const override { return box; }
    void MoveTo(long long left, long long top) override { box.left = left, box.top = top; }

    bool visible = false;
    ScreenBox screen{0, 0, 1024, 768};
    ScreenBox box{10, 10, 400, 450};
    std::vector<std::wstring> messages; // text of every message box
    std::vector<std::wstring> calls;    // "show", "hide", "popup <menu>", "message"
    std::function<void()> onMessage;    // runs while a message box is open
};

class FakeNotifyIcon : public NotifyIcon {
  public:
    bool Notify(int operation, const NotifyIconRecord& record) override {
        calls.push_back({operation, record});
        return true;
    }
    struct Call {
        int operation;
        NotifyIconRecord record;
    };
    std::vector<Call> calls;
};

} // namespace corv::fake
