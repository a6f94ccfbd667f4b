#include "core/Startup.h"

#include "localization/Localization.h"

namespace corv {

bool Main(MainParts p) {
    p.state.IsStarting = true;
    if (p.anotherInstanceRuns && p.anotherInstanceRuns())
        return false;
    p.settings.Language = p.res.SetStartUpLanguage();
    InitLanguages(p.config, p.res, p.settings);
    p.res.CurrentLanguage(p.settings.Language);
    if (p.loadSettingsHidden)
        p.loadSettingsHidden();
    return true;
}

} // namespace corv
