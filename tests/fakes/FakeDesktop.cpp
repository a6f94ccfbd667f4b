#include "FakeDesktop.h"

namespace corv::fake {

Desktop::Window FakeDesktop::AddWindow(const std::wstring& title) {
    const Window w = next_++;
    windows_[w] = title;
    return w;
}

Desktop::Window FakeDesktop::FindTopLevelWindow(const std::wstring& title) {
    calls.push_back(L"find " + title);
    for (const auto& [w, t] : windows_)
        if (t == title)
            return w;
    return 0;
}

bool FakeDesktop::SetForeground(Window window) {
    calls.push_back(L"foreground " + std::to_wstring(window));
    if (refuseForeground || !windows_.contains(window))
        return false;
    foreground = window;
    return true;
}

bool FakeDesktop::WaitUntilFocused(Window window, int timeoutMs) {
    calls.push_back(L"wait " + std::to_wstring(window) + L" " + std::to_wstring(timeoutMs));
    return !focusNeverArrives && foreground == window;
}

void FakeDesktop::TypeText(const std::wstring& text, bool waitUntilProcessed) {
    calls.push_back(L"type " + text + (waitUntilProcessed ? L" (wait)" : L""));
    typed[foreground] += text;
    if (onType)
        onType(text);
}

} // namespace corv::fake
