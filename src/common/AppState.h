#pragma once
// Process-wide state of the reader, shared by the core, the windows and the languages.

namespace corv {

struct AppState {
    bool IsStarting = false; // from start-up until the Settings window is first activated
    bool Connected = false;  // the reader is connected
};

} // namespace corv
