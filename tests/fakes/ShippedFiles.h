#pragma once
// The language files shipped in lang/, as the private-profile functions see them.
#include <string>

namespace corv::fake {

// The text of lang/<name>: UTF-16 little-endian after its byte-order mark. Empty when the file
// is missing or not in that form.
std::wstring ShippedLanguageText(const std::string& name);

} // namespace corv::fake
