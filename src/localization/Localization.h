#pragma once
// The language part of start-up: the configuration file's path, the registered languages and the
// stored language.
#include <cstdint>
#include <string>

#include "config/AppSettings.h"
#include "config/Configuration.h"
#include "localization/ResStrings.h"

namespace corv {

struct KnownLanguage {
    const wchar_t* code;
    const wchar_t* name; // in the language itself
};

// The languages start-up registers as entries 1 to 5 of the "Languages" section, in this order.
// A name here is shown only when neither the language files nor the configuration name it.
inline constexpr KnownLanguage kKnownLanguages[] = {{L"BG", L"Български"},
                                                    {L"EN", L"English"},
                                                    {L"RU", L"Русский"},
                                                    {L"SR", L"Српски"},
                                                    {L"RO", L"Română"}};

// Sets settings.ConfigFile, registers the five known languages as entries 1 to 5 and lets a
// language stored in the configuration win over the start-up language in settings.Language.
void InitLanguages(Configuration& config, ResStrings& strings, AppSettings& settings);

// Makes sure that entry n of the "Languages" section holds the code. Entries after n stay in
// the list.
void RegisterLanguage(Configuration& config, ResStrings& strings, const AppSettings& settings,
                      const std::wstring& language, std::int16_t n);

} // namespace corv
