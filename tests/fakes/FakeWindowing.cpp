#include "FakeWindowing.h"

namespace corv::fake {

void FakeFormHost::Show() {
    visible = true;
    calls.push_back(L"show");
}

void FakeFormHost::Hide() {
    visible = false;
    calls.push_back(L"hide");
}

void FakeFormHost::ShowPopupMenu(Control& menu) {
    calls.push_back(L"popup " + menu.Name());
}

void FakeFormHost::ShowMessage(const std::wstring& text, const std::wstring&) {
    messages.push_back(text);
    calls.push_back(L"message");
    if (onMessage)
        onMessage();
}

void FakeFormHost::MoveTo(long long left, long long top) {
    box.left = left;
    box.top = top;
    calls.push_back(L"move");
}

bool FakeNotifyIcon::Notify(int operation, const NotifyIconRecord& record) {
    calls.push_back({operation, record});
    return true;
}

} // namespace corv::fake
