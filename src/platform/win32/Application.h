#pragma once
// The application object: owns the process-wide state and the seams, and runs the message loop.
#include <windows.h>

namespace corv::win32 {

// Name of the mutex that marks a running instance.
inline constexpr wchar_t kInstanceMutexName[] = L"Local\\Quillomarte.Corvanthelix.Instance";

int RunApplication(HINSTANCE instance);

} // namespace corv::win32
