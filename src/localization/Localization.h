#pragma once
// The language part of start-up: the configuration file's path, the registered languages and the
// stored language.
#include <cstdint>
#include <string>

#include "config/AppSettings.h"
#include "config/Configuration.h"
#include "core/AppState.h"

namespace corv {

// Sets settings.ConfigFile, registers the five known languages as entries 1 to 5 and lets a
// language stored in the configuration win over the start-up language in settings.Language.
void InitLanguages(Configuration& config, ResStrings& strings, AppSettings& settings);

// Makes sure that entry n of the "Languages" section holds the code.
void RegisterLanguage(Configuration& config, ResStrings& strings, const AppSettings& settings,
                      const std::wstring& language, std::int16_t n);

} // namespace corv
