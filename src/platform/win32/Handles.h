#pragma once
// Every kind of handle the Windows edge owns, each let go by its own release call when its
// owner lets go of it: one move-only template, one name per kind.
#include <windows.h>

#include <utility>

namespace corv::win32 {

// An owned handle; Release(handle) lets it go. An empty handle is a value-initialised T.
template <typename T, auto Release> class Owned {
  public:
    Owned() = default;
    explicit Owned(T handle) : handle_(handle) {}
    ~Owned() { reset(); }
    Owned(Owned&& other) noexcept : handle_(other.release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    T get() const { return handle_; }
    explicit operator bool() const { return handle_ != T{}; }
    // Gives the handle up without releasing it (its object is gone, or someone else owns it).
    T release() { return std::exchange(handle_, T{}); }
    // Releases the handle held, unless it is the one given, and holds the one given. The old
    // handle is still held while it is released, so that a window's own destruction messages
    // find it (and give it up through release()).
    void reset(T handle = T{}) {
        if (handle_ != T{} && handle_ != handle)
            Release(handle_);
        handle_ = handle;
    }

  private:
    T handle_{};
};

// A timer of a window, known by the window and the timer's number.
struct TimerId {
    HWND window = nullptr;
    UINT_PTR id = 0;
    bool operator==(const TimerId&) const = default;
};
inline void KillWindowTimer(TimerId timer) {
    KillTimer(timer.window, timer.id);
}
inline void ReleaseScreenDc(HDC dc) {
    ReleaseDC(nullptr, dc);
}

using WindowHandle = Owned<HWND, &DestroyWindow>;
using FontHandle = Owned<HFONT, &DeleteObject>;
using BrushHandle = Owned<HBRUSH, &DeleteObject>;
using IconHandle = Owned<HICON, &DestroyIcon>;
using MenuHandle = Owned<HMENU, &DestroyMenu>;
using HookHandle = Owned<HHOOK, &UnhookWindowsHookEx>;
using KernelHandle =
    Owned<HANDLE, &CloseHandle>; // a failed open is nullptr, not INVALID_HANDLE_VALUE
using FindHandle = Owned<HANDLE, &FindClose>;
using ModuleHandle = Owned<HMODULE, &FreeLibrary>;
using LocalMemory = Owned<HLOCAL, &LocalFree>;
using ScreenDc = Owned<HDC, &ReleaseScreenDc>;
using TimerHandle = Owned<TimerId, &KillWindowTimer>;

// Starts (or restarts) a timer of the window; an empty handle when the system refuses.
inline TimerHandle StartTimer(HWND window, UINT_PTR id, UINT intervalMs) {
    return SetTimer(window, id, intervalMs, nullptr) != 0 ? TimerHandle({window, id})
                                                          : TimerHandle();
}

} // namespace corv::win32
