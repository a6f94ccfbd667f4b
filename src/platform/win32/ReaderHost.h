#pragma once
// The serial reader in the running program: the port driver and the serial port object over
// the real communications calls, the reading loop ticking every 50 ms, and the connection
// button's action, hosted on a hidden window that stands in for the Settings window's Timer1,
// bConnection, speed and character lists and identifier box.
#include <windows.h>

#include <functional>
#include <memory>

#include "config/AppSettings.h"
#include "config/Configuration.h"
#include "core/AppState.h"
#include "core/ModMainReader.h"
#include "core/ReadingLoop.h"
#include "platform/WindowLayer.h"
#include "platform/win32/Win32Basics.h"
#include "platform/win32/Win32Comm.h"
#include "platform/win32/Win32Desktop.h"

namespace corv::win32 {

// Class name of the hidden host window.
inline constexpr wchar_t kReaderHostClass[] = L"CorvanthelixReaderHost";
// Command identifier of the connection button: WM_COMMAND with it (BN_CLICKED) presses it.
inline constexpr int kConnectionButtonId = 1031;

class ReaderHost {
  public:
    ReaderHost(HINSTANCE instance, AppSettings& settings, AppState& state, TrayIcon& tray,
               KeyboardHookControl& hook, ResStrings& strings);
    ~ReaderHost();
    ReaderHost(const ReaderHost&) = delete;
    ReaderHost& operator=(const ReaderHost&) = delete;

    // Creates the hidden window; false when that failed.
    bool Create();
    // The start-up part of the Settings window's load: settings read, lists set from them, the
    // port closed, then the connect action. A setting outside its list stops it before the
    // connect.
    void Start(Configuration& configuration);
    HWND Window() const { return hwnd_; }
    Form& SettingsForm() { return *form_; }
    ReadingLoop& Loop() { return *loop_; }
    Serial& SerialPort() { return serial_; }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    void OnTimer1Enabled(bool enabled);

    HINSTANCE instance_;
    AppSettings& settings_;
    HWND hwnd_ = nullptr;
    Win32Comm comm_;
    Win32MessagePump pump_;
    AnsiCodePage codePage_;
    Win32Desktop desktop_;
    modCOMM driver_{comm_, pump_, codePage_};
    Serial serial_{driver_};
    std::unique_ptr<Form> form_;
    std::unique_ptr<Deliverer> deliverer_;
    std::unique_ptr<ReadingLoop> loop_;
};

} // namespace corv::win32
