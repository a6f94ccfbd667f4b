#include "ReaderStartUp.h"

#include "InterimReaderParts.h"
#include "ReaderHost.h"
#include "Win32Registry.h"
#include "localization/ResManagerClass.h"

namespace corv::win32 {

struct ReaderApplication {
    AppSettings settings;
    AppState state;
    Win32PrivateProfile profile;
    Win32FileSystem files;
    Win32Registry registry;
    Configuration configuration{profile, files, registry};
    SerialOnlyKeyboardHook hook;
    ResManagerClass resManager{configuration, files, settings, state};
    std::unique_ptr<InterimTray> tray;
    std::unique_ptr<ReaderHost> host;
};

std::shared_ptr<ReaderApplication> StartReader(HINSTANCE instance) {
    auto app = std::make_shared<ReaderApplication>();
    ReaderApplication& a = *app;
    a.state.IsStarting = true;
    a.tray = std::make_unique<InterimTray>([&a] { return a.host ? a.host->Window() : nullptr; });
    a.host =
        std::make_unique<ReaderHost>(instance, a.settings, a.state, *a.tray, a.hook, a.resManager);
    if (!a.host->Create())
        return nullptr;
    a.host->Start(a.configuration);
    return app;
}

} // namespace corv::win32
