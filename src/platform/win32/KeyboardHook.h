#pragma once
// The keyboard reader's low-level keyboard hook. The callback copies the key record, asks the
// decision in core/Hook what to do and returns at once; typing a finished code or giving back
// held keys is queued and done on the user-interface thread right after the callback has
// returned (the system drops a low-level hook whose callback takes too long, and tells no one:
// the hook therefore reinstalls itself after a stall, a resume from sleep or a session unlock).
#include <windows.h>

#include <string>
#include <vector>

#include "Handles.h"
#include "config/AppSettings.h"
#include "core/Hook.h"
#include "core/KeyboardHookControl.h"
#include "platform/CodePage.h"
#include "platform/Desktop.h"

namespace corv::win32 {

// The private message that asks the reader's window to carry out what the callback decided.
inline constexpr UINT kHookActionsMessage = WM_APP + 0x41;
// The reader window's timers: the silence after the last key event while keys are held, and
// the heartbeat that notices the thread was stalled.
inline constexpr UINT_PTR kSilenceTimer = 1;
inline constexpr UINT_PTR kHeartbeatTimer = 2;
inline constexpr UINT kHeartbeatMs = 250;
// A heartbeat this much later than due means the thread could not run its callbacks in time.
inline constexpr ULONGLONG kStallMs = 1000;

class KeyboardHook : public KeyboardHookControl, private KeyInjector {
  public:
    // Creates the message-only window of the user-interface thread that carries out the
    // callback's actions. The settings are read at each finished code, so a changed prefix
    // applies to the next one.
    KeyboardHook(const AppSettings& settings, const CodePage& codePage, CodeDelivery& delivery);
    ~KeyboardHook() override;
    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;

    // Installs the hook; true when one is in place. An installed hook is kept as it is; a
    // failure is recorded (LastFailure) and leaves nothing installed.
    bool InstallKeyboardHook() override;
    void RemoveKeyboardHook() override;
    bool IsInstalled() const { return static_cast<bool>(hook_); }
    // Installs a new hook and then removes the old one, so that no key goes unseen; the system
    // may have dropped the old one without a word. Does nothing when no hook is installed.
    void Reinstall(const std::wstring& why);
    // The last failure or reinstall, and the reinstalls so far; each is also written to the
    // debugger's output.
    const std::wstring& LastRecord() const { return lastRecord_; }
    int Reinstalls() const { return reinstalls_; }
    // The system call that installs the hook; tests put a failing one in its place.
    using HookInstaller = HHOOK(WINAPI*)(int, HOOKPROC, HINSTANCE, DWORD);
    void SetInstaller(HookInstaller installer) { installer_ = installer; }
    const HookState& State() const { return state_; }

    // Carries out, in order, what the callback decided (on kHookActionsMessage).
    void RunPendingActions() noexcept;

    // The callback as the system calls it (one hook at a time per process).
    static LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept;

  private:
    LRESULT OnKeyEvent(int code, WPARAM wParam, LPARAM lParam) noexcept;
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    void OnTimer(UINT_PTR id) noexcept;
    void GiveBack(const std::vector<KeyEvent>& keys) override;
    // The state starts afresh (held keys go back) whenever the hook is installed or removed.
    void ResetState() noexcept;
    void ArmSilence() noexcept;
    void Note(const std::wstring& text) noexcept;

    const AppSettings& settings_;
    const CodePage& codePage_;
    CodeDelivery& delivery_;
    HookState state_;
    ULONGLONG lastKeyTick_ = 0; // when the last key event of another program came
    ULONGLONG lastHeartbeat_ = 0;
    std::wstring lastRecord_;
    int reinstalls_ = 0;
    HookActionQueue queue_;
    WindowHandle window_;
    HookHandle hook_;
    TimerHandle silence_;   // running while a held capture waits for the keys to fall silent
    TimerHandle heartbeat_; // running while the hook is installed
    HookInstaller installer_ = &SetWindowsHookExW;
};

} // namespace corv::win32
