#pragma once
// Small text helpers shared by the modules.
#include <string>
#include <string_view>

namespace corv {

// Removes leading and trailing spaces (U+0020 only; tabs and line breaks stay).
std::wstring TrimSpaces(std::wstring_view text);
// Replaces every occurrence of `from` (not empty) by `to`, scanning left to right.
std::wstring ReplaceAll(std::wstring_view text, std::wstring_view from, std::wstring_view to);
// Decimal digits of a number, with a leading minus sign when negative.
std::wstring DecimalText(long long value);
// Upper-case hexadecimal digits without leading zeros (0 gives "0").
std::wstring HexText(unsigned long value);

} // namespace corv
