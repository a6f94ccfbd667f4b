#pragma once
// Everything the serial reader needs in the running program, owned in one place, and its start.
#include <windows.h>

#include <memory>

namespace corv::win32 {

struct ReaderApplication;

// Reads the settings, connects the reader and starts its timer. Keep the result alive for the
// program's lifetime; nothing when the host window could not be created.
std::shared_ptr<ReaderApplication> StartReader(HINSTANCE instance);

} // namespace corv::win32
