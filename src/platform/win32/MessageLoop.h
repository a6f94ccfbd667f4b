#pragma once
// The one loop over the user-interface thread's messages, for the program's main loop, the
// Test window's modal loop, a bounded wait that lets messages run, and one pass over the
// pending messages.
#include <windows.h>

#include <functional>
#include <optional>

namespace corv::win32 {

class Win32Form;

inline constexpr ULONGLONG kWaitForever = ~0ull;

// Dispatches this thread's messages (a window's dialog keys through that window first, when
// one is given) until done() answers true, checked after each message; after waitMs of
// waiting in all; or at WM_QUIT, which is posted again for the loop outside and whose exit code
// is returned. waitMs 0: only the messages already waiting.
std::optional<int> RunMessages(Win32Form* dialog, const std::function<bool()>& done,
                               ULONGLONG waitMs);

} // namespace corv::win32
