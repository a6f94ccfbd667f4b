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

Activation ActivateTargetWindow(DeliveryDesktop& desktop, const std::wstring& title) {
    const Desktop::Window window = desktop.FindTopLevelWindow(title);
    if (window == 0)
        return Activation::NoWindow;
    desktop.RestoreIfMinimised(window);
    desktop.SetForeground(window);
    // Only a window that really holds the focus gets the keys: anything else in front (a menu,
    // another program that kept the foreground) would receive them instead.
    return desktop.WaitUntilFocused(window, kFocusWaitMs) ? Activation::Focused
                                                          : Activation::Refused;
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

Deliverer::Deliverer(Parts parts) : p_(std::move(parts)) {}

namespace {

// The built-in (Bulgarian) texts, for a language file without them.
const wchar_t* BuiltInText(const std::wstring& key) {
    if (key == kNotDeliveredKeys[0])
        return L"Кодът не е изпратен";
    if (key == kNotDeliveredKeys[1])
        return L"Quillomarte не получи фокуса на клавиатурата (отворено меню или друг прозорец "
               L"отпред). Нищо не е въведено.";
    return L"Windows отказа клавишите: Quillomarte работи като администратор или компютърът е "
           L"заключен.";
}

} // namespace

void Deliverer::Fail(const wchar_t* reasonKey, const std::wstring& code) {
    auto text = [&](const wchar_t* key) {
        std::wstring found = p_.strings.ResStringComm(key, p_.settings.Language);
        return found.empty() ? std::wstring(BuiltInText(key)) : found;
    };
    p_.balloon.ShowBalloon(text(kNotDeliveredKeys[0]), text(reasonKey) + L"\n" + code);
}

void Deliverer::DeliverCode(const std::wstring& code) {
    std::wstring text;
    switch (p_.settings.SendTo) {
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

    // Shown first, so that a code the target does not get stays visible, and so that the
    // Settings window moves its own focus before the target is brought forward.
    if (p_.showCode)
        p_.showCode(text);
    if (text.empty() || text == std::wstring(1, kPrefixMark))
        return; // no code left to type: not even the Enter
    const std::wstring shown = text;
    if (p_.settings.Filter == 1)
        text.push_back(L'\r');

    // Without the target window the keys go to whatever window has the focus.
    if (ActivateTargetWindow(p_.desktop, kTargetTitle) == Activation::Refused) {
        Fail(kNotDeliveredKeys[1], shown);
        return;
    }
    // A key the user still holds would turn the code into shortcuts: it is let go for the typing.
    const std::vector<int> held = p_.desktop.WaitForModifiersUp(kModifierWaitMs);
    if (!p_.desktop.TypeCode(text, held))
        Fail(kNotDeliveredKeys[2], shown);
}

} // namespace corv
