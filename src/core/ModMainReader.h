#pragma once
// Start-up and code delivery: the prefix rule shared by the serial reading loop, the keyboard
// reader and the Test window, the card-code hex encoding, and the delivery of a complete code.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "config/AppSettings.h"
#include "core/TrayIcon.h"
#include "localization/ResStrings.h"
#include "platform/CodePage.h"
#include "platform/Desktop.h"

namespace corv {

// The mark that starts a prefixed code: the no-break space (0xA0 in the 8-bit code page).
inline constexpr wchar_t kPrefixMark = L'\u00A0';
// Title of the window the codes are meant for.
inline constexpr wchar_t kTargetTitle[] = L"Quillomarte";

// The prefix rule by the Prefix setting: 0 the code, 1 mark + code, 2 mark + "969" + code,
// 3 mark + "971" + code; any other value delivers nothing (nullopt).
std::optional<std::wstring> ApplyPrefix(std::int16_t prefix, std::wstring_view code);

// Each character's byte in the 8-bit code page as two upper-case hexadecimal digits.
std::wstring HexEncode(std::wstring_view text, const CodePage& codePage);

// Longest wait, after the target window is brought forward, for it to have the keyboard focus.
inline constexpr int kFocusWaitMs = 500;
// Longest wait for Shift, Ctrl, Alt and the Windows keys to be let go before typing.
inline constexpr int kModifierWaitMs = 500;

enum class Activation {
    NoWindow, // no top-level window has the title
    Focused,  // it is in front and one of its controls has the keyboard focus
    Refused,  // it is there, but did not get the focus within kFocusWaitMs
};

// Finds the top-level window with exactly this title, restores it when it is minimised, brings
// it to the front and waits (at most kFocusWaitMs) until it really has the keyboard focus.
Activation ActivateTargetWindow(DeliveryDesktop& desktop, const std::wstring& title);

// Letters (Latin and the basic Cyrillic alphabet) and digits; a prefix mark only in the first
// position.
std::wstring FilterAlphanumeric(std::wstring_view text);
// Digits; a prefix mark only in the first position.
std::wstring FilterDigits(std::wstring_view text);

// Where complete, prefixed codes go. The real one brings the target window forward, filters,
// shows the code in the identifier box and types it; tests record what they are given.
class CodeDelivery {
  public:
    virtual ~CodeDelivery() = default;
    virtual void DeliverCode(const std::wstring& code) = 0;
};

// Keys of "Common.lng" for the balloon of a code that was not delivered: its title, and the
// reason (the target did not take the focus; the system refused the keys).
inline constexpr const wchar_t* kNotDeliveredKeys[] = {L"strNotDelivered", L"strNoFocus",
                                                       L"strKeysRefused"};

// The real delivery: filters by SendTo, shows the code in the identifier box, brings the target
// window forward, adds the Enter that Filter asks for, and types the text plain (no held
// modifier), waiting (bounded) until the target has processed it. A code the target cannot
// receive is typed nowhere, and a tray balloon says why.
class Deliverer : public CodeDelivery {
  public:
    struct Parts {
        const AppSettings& settings;
        DeliveryDesktop& desktop;
        // Shows the code in the Settings window before it is typed.
        std::function<void(const std::wstring&)> showCode;
        ResStrings& strings;
        TrayBalloon& balloon;
    };
    explicit Deliverer(Parts parts);
    void DeliverCode(const std::wstring& code) override;

  private:
    // Shows the balloon of a code not typed: reasonKey is one of kNotDeliveredKeys.
    void Fail(const wchar_t* reasonKey, const std::wstring& code);

    Parts p_;
};

} // namespace corv
