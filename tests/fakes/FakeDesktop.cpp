#include "FakeDesktop.h"

#include <algorithm>

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

bool FakeDesktop::RestoreIfMinimised(Window window) {
    if (!minimised.erase(window))
        return false;
    calls.push_back(L"restore " + std::to_wstring(window));
    return true;
}

bool FakeDesktop::SetForeground(Window window) {
    calls.push_back(L"foreground " + std::to_wstring(window));
    if (refuseForeground || !windows_.contains(window) || minimised.contains(window))
        return false;
    foreground = window;
    return true;
}

bool FakeDesktop::WaitUntilFocused(Window window, int timeoutMs) {
    calls.push_back(L"wait " + std::to_wstring(window) + L" " + std::to_wstring(timeoutMs));
    return foreground == window;
}

std::vector<int> FakeDesktop::WaitForModifiersUp(int timeoutMs) {
    calls.push_back(L"modifiers " + std::to_wstring(timeoutMs));
    std::erase_if(held, [this](int vk) { return std::ranges::count(heldUntilWait, vk) > 0; });
    return held;
}

void FakeDesktop::TypeText(const std::wstring& text, bool waitUntilProcessed) {
    calls.push_back(L"type " + text + (waitUntilProcessed ? L" (wait)" : L""));
    Arrive(text);
}

bool FakeDesktop::TypeCode(const std::wstring& text, const std::vector<int>& releaseFirst) {
    std::wstring call = L"type " + text + L" (wait)";
    if (!releaseFirst.empty())
        call += L" after up";
    for (int vk : releaseFirst)
        call += L" " + std::to_wstring(vk);
    calls.push_back(call);
    if (refuseKeys)
        return false;
    for (int vk : releaseFirst)
        std::erase(held, vk);
    Arrive(text);
    return true;
}

void FakeDesktop::Arrive(const std::wstring& text) {
    for (wchar_t c : text) {
        for (int vk : held)
            typed[foreground] += std::to_wstring(vk) + L"+";
        typed[foreground] += c;
    }
    if (onType)
        onType(text);
}

} // namespace corv::fake
