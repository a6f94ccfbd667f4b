#pragma once
// Start-up and code delivery: the prefix rule shared by the serial reading loop, the keyboard
// reader and the Test window, the card-code hex encoding, and the delivery of a complete code.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/CodePage.h"

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

// Where complete, prefixed codes go. The real one brings the target window forward, filters,
// shows the code in the identifier box and types it; tests record what they are given.
class CodeDelivery {
  public:
    virtual ~CodeDelivery() = default;
    virtual void DeliverCode(const std::wstring& code) = 0;
};

} // namespace corv
