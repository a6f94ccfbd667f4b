#pragma once
// Start-up and code delivery: the prefix rule shared by the serial reading loop, the keyboard
// reader and the Test window, the card-code hex encoding, and the delivery of a complete code.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "config/AppSettings.h"
#include "platform/CodePage.h"
#include "platform/Desktop.h"
#include "platform/WindowLayer.h"

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

// Finds the top-level window with exactly this title and makes it the foreground window; true
// when the system reports success. After success it waits (at most kFocusWaitMs) until the window
// really has the keyboard focus, so that no leading character is lost.
bool ActivateTargetWindow(Desktop& desktop, const std::wstring& title);

// Letters (Latin and the basic Cyrillic alphabet) and digits; a prefix mark only in the first
// position.
std::wstring FilterAlphanumeric(std::wstring_view text);
// Digits; a prefix mark only in the first position.
std::wstring FilterDigits(std::wstring_view text);

// Selects the whole text of a text box.
void SelectAllText(Control& box);

// Where complete, prefixed codes go. The real one brings the target window forward, filters,
// shows the code in the identifier box and types it; tests record what they are given.
class CodeDelivery {
  public:
    virtual ~CodeDelivery() = default;
    virtual void DeliverCode(const std::wstring& code) = 0;
};

// The real delivery: brings the target window forward, filters by SendTo, shows the code in the
// identifier box, adds the Enter that Filter asks for, and types the text, waiting (bounded)
// until the target has processed it.
class Deliverer : public CodeDelivery {
  public:
    // identBox: the Settings window's lbIdent. settingsShown: whether that window is shown.
    Deliverer(const AppSettings& settings, Desktop& desktop, Control& identBox,
              std::function<bool()> settingsShown);
    void DeliverCode(const std::wstring& code) override;

  private:
    const AppSettings& settings_;
    Desktop& desktop_;
    Control& identBox_;
    std::function<bool()> settingsShown_;
};

} // namespace corv
