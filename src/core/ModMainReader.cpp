#include "core/ModMainReader.h"

namespace corv {

std::optional<std::wstring> ApplyPrefix(std::int16_t prefix, std::wstring_view code) {
    switch (prefix) {
    case 0:
        return std::wstring(code);
    case 1:
        return std::wstring(1, kPrefixMark) + std::wstring(code);
    case 2:
        return std::wstring(1, kPrefixMark) + L"969" + std::wstring(code);
    case 3:
        return std::wstring(1, kPrefixMark) + L"971" + std::wstring(code);
    default:
        return std::nullopt;
    }
}

std::wstring HexEncode(std::wstring_view text, const CodePage& codePage) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring out;
    out.reserve(text.size() * 2);
    for (unsigned char b : codePage.ToAnsi(text)) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0xF]);
    }
    return out;
}

bool ActivateTargetWindow(Desktop& desktop, const std::wstring& title) {
    const Desktop::Window window = desktop.FindTopLevelWindow(title);
    if (window == 0)
        return false;
    if (!desktop.SetForeground(window))
        return false;
    // Typing at once could lose characters while the focus is still moving.
    desktop.WaitUntilFocused(window, kFocusWaitMs);
    return true;
}

namespace {

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool IsLetterOrDigit(wchar_t c) {
    return IsDigit(c) || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
           (c >= L'\u0410' && c <= L'\u044F'); // А..Я and а..я
}

template <typename Keep> std::wstring FilterWith(std::wstring_view text, Keep keep) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if ((i == 0 && c == kPrefixMark) || keep(c))
            out.push_back(c);
    }
    return out;
}

} // namespace

std::wstring FilterAlphanumeric(std::wstring_view text) {
    return FilterWith(text, IsLetterOrDigit);
}

std::wstring FilterDigits(std::wstring_view text) {
    return FilterWith(text, IsDigit);
}

void SelectAllText(Control& box) {
    box.Select(0, static_cast<int>(box.Text().size()));
}

Deliverer::Deliverer(const AppSettings& settings, Desktop& desktop, Control& identBox,
                     std::function<bool()> settingsShown)
    : settings_(settings), desktop_(desktop), identBox_(identBox),
      settingsShown_(std::move(settingsShown)) {}

void Deliverer::DeliverCode(const std::wstring& code) {
    // Without the target window the keys go to whatever window has the focus.
    ActivateTargetWindow(desktop_, kTargetTitle);

    std::wstring text;
    switch (settings_.SendTo) {
    case 0:
        text = FilterAlphanumeric(code);
        break;
    case 1:
        text = FilterDigits(code);
        break;
    default:
        text = code;
        break;
    }
    std::erase(text, L'\r');

    identBox_.SetText(text);
    if (settingsShown_ && settingsShown_()) {
        identBox_.Focus();
        SelectAllText(identBox_);
    }
    if (settings_.Filter == 1)
        text.push_back(L'\r');
    if (!text.empty())
        desktop_.TypeText(text, true);
}

} // namespace corv
