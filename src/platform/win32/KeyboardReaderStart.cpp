#include "KeyboardReaderStart.h"

#include <cstdlib>

#include "config/Configuration.h"

namespace corv::win32 {

KeyboardReaderStart::KeyboardReaderStart() noexcept {
    try {
        Configuration config(profile_, files_, registry_);
        config.LoadSettings(settings_);
        if (settings_.IsKeyBoard != 1)
            return;
        hook_.emplace(settings_, codePage_, deliverer_, desktop_);
        // The callback's own timing, for the figures of scripts/measure-hook.
        if (const wchar_t* file = _wgetenv(L"CORV_HOOK_TIMES"); file && *file)
            hook_->RecordCallbackTimes(file);
        hook_->InstallKeyboardHook();
    } catch (...) {
        // No application folder or no memory: the program runs without the keyboard reader.
    }
}

} // namespace corv::win32
