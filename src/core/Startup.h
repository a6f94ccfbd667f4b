#pragma once
// Start-up: one instance only, the interface language, then the hidden load of the Settings
// window, which reads the settings and connects the reader.
#include <functional>

#include "common/AppState.h"
#include "config/AppSettings.h"
#include "config/Configuration.h"
#include "localization/ResManagerClass.h"

namespace corv {

struct MainParts {
    AppState& state;
    AppSettings& settings;
    Configuration& config;
    ResManagerClass& res;
    std::function<bool()> anotherInstanceRuns;
    std::function<void()> loadSettingsHidden; // loads the Settings window without showing it
};

// Runs start-up; false when another instance runs and this one must end at once, silently.
bool Main(MainParts parts);

} // namespace corv
