#include "localization/Localization.h"

#include <algorithm>

#include "common/Text.h"

namespace corv {

void InitLanguages(Configuration& config, ResStrings& strings, AppSettings& settings) {
    try {
        settings.ConfigFile = config.GetAppFolder() + kConfigFileName;
    } catch (...) {
    }
    std::int16_t n = 1;
    for (const KnownLanguage& known : kKnownLanguages) {
        try {
            RegisterLanguage(config, strings, settings, known.code, n);
        } catch (...) {
        }
        ++n;
    }
    // A language stored in the configuration wins over the start-up marker.
    try {
        const std::wstring stored =
            config.ReadIniValue(L"Language", L"Value", settings.ConfigFile, 255);
        if (!stored.empty())
            settings.Language = stored;
    } catch (...) {
    }
    try {
        config.WriteIniValue(L"Language", L"Value", settings.Language, settings.ConfigFile);
    } catch (...) {
    }
}

void RegisterLanguage(Configuration& config, ResStrings& strings, const AppSettings& settings,
                      const std::wstring& language, std::int16_t n) {
    const std::wstring number = DecimalText(n);
    const std::wstring stored =
        config.ReadIniValue(L"Languages", L"lng" + number, settings.ConfigFile, 255);
    if (stored.substr(0, 2) == language)
        return;
    config.WriteIniValue(L"Languages", L"lng" + number, language, settings.ConfigFile);
    config.WriteIniValue(L"Languages", L"cap" + number,
                         strings.ResStringComm(L"strLanguage", language), settings.ConfigFile);
    // An entry added by hand after the five must not drop out of the list because one of the
    // five was mended.
    const std::int16_t counter =
        ToInt16(config.ReadIniValue(L"Languages", L"Counter", settings.ConfigFile, 255))
            .value_or(0);
    config.WriteIniValue(L"Languages", L"Counter", static_cast<long long>(std::max(counter, n)),
                         settings.ConfigFile);
}

} // namespace corv
