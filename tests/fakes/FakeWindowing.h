#pragma once
// A top-level window's own operations and the notification-area icon in memory; both record calls.
#include <string>
#include <utility>
#include <vector>

#include "platform/FormHost.h"
#include "platform/NotifyIcon.h"

namespace corv::fake {

struct FakeFormHost : FormHost {
    void Show() override { visible = true, calls.push_back(L"show"); }
    void Hide() override { visible = false, calls.push_back(L"hide"); }
    bool Visible() const override { return visible; }
    void ShowPopupMenu(Control& menu) override { calls.push_back(L"popup " + menu.Name()); }
    void ShowMessage(const std::wstring& text, const std::wstring&) override {
        messages.push_back(text), calls.push_back(L"message");
    }
    ScreenBox ScreenSize() const override { return screen; }
    ScreenBox Placement() const override { return box; }
    void MoveTo(long long left, long long top) override { box.left = left, box.top = top; }

    bool visible = false;
    ScreenBox screen{0, 0, 1024, 768};
    ScreenBox box{10, 10, 400, 450};
    std::vector<std::wstring> messages; // text of every message box
    std::vector<std::wstring> calls;    // "show", "hide", "popup <menu>", "message"
};

struct FakeNotifyIcon : NotifyIcon {
    bool Notify(int operation, const NotifyIconRecord& record) override {
        return calls.emplace_back(operation, record), true;
    }
    std::vector<std::pair<int, NotifyIconRecord>> calls;
};

} // namespace corv::fake
