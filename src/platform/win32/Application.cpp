#include "Application.h"

#include <dbt.h>
#include <wtsapi32.h>

#include <cstdlib>
#include <memory>

#include "Handles.h"
#include "KeyboardHook.h"
#include "MessageLoop.h"
#include "Resources.h"
#include "SingleInstance.h"
#include "Win32Basics.h"
#include "Win32Comm.h"
#include "Win32Desktop.h"
#include "Win32Form.h"
#include "Win32NotifyIcon.h"
#include "Win32Registry.h"
#include "common/ScopeGuard.h"
#include "config/Configuration.h"
#include "core/ModMainReader.h"
#include "core/ReadingLoop.h"
#include "core/Startup.h"
#include "core/modSysTry.h"
#include "localization/ResManagerClass.h"
#include "serial/Serial.h"
#include "serial/modCOMM.h"
#include "ui/FormLayouts.h"
#include "ui/Settings.h"
#include "ui/TestSerial.h"

namespace corv::win32 {
namespace {

// Timers of the Settings window's own (its control timers count from kFirstControlId): the one
// that offers a refused tray icon again, and the one that tries a wanted connection again.
constexpr UINT_PTR kTrayRetryTimer = 1;
constexpr UINT_PTR kRetryTimerId = 2;
constexpr UINT kDpiChanged = 0x02E0;
// Asks the running copy to show its Settings window in front.
constexpr wchar_t kShowRunningCopyMessage[] = L"Quillomarte.Corvanthelix.ShowSettings";

// The two tray images at one DPI.
struct TrayImages {
    TrayImages(HINSTANCE instance, UINT dpi)
        : connected(LoadTrayIcon(instance, IDI_TRAY_CONNECTED, dpi)),
          notConnected(LoadTrayIcon(instance, IDI_TRAY_NOT_CONNECTED, dpi)) {}
    IconHandle connected, notConnected;
};

std::uintptr_t Id(const IconHandle& icon) {
    return reinterpret_cast<std::uintptr_t>(icon.get());
}

// Asks the running copy to show its Settings window, as a double-click on its icon would, and
// lets it come to the front.
void ShowRunningCopy() {
    const UINT show = RegisterWindowMessageW(kShowRunningCopyMessage);
    if (show == 0)
        return;
    for (HWND h = FindWindowExW(nullptr, nullptr, kFormClassName, nullptr); h;
         h = FindWindowExW(nullptr, h, kFormClassName, nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(h, &process);
        AllowSetForegroundWindow(process);
        PostMessageW(h, show, 0, 0);
    }
}

// The whole program: the process-wide state, the seams, the reader and the windows.
class Program {
  public:
    explicit Program(HINSTANCE instance) : instance_(instance) {}

    // Start-up; false when another instance runs.
    bool Start(SingleInstance& single) {
        return Main({state_, settings_, config_, res_,
                     [&single] { return single.AnotherIsRunning(); },
                     [this] { LoadSettingsWindow(); }});
    }

    int Run() { return RunMessages(form_.get(), nullptr, kWaitForever).value_or(0); }

  private:
    void LoadSettingsWindow() {
        InitWindowLayer(instance_);
        form_ = std::make_unique<Win32Form>(instance_, SettingsLayout(), SettingsFocusOrder(),
                                            IDI_APPLICATION_ICON);
        Win32Form& form = *form_;
        trayImages_ = std::make_unique<TrayImages>(instance_, static_cast<UINT>(form.Dpi()));
        tray_ = std::make_unique<modSysTry>(
            shell_, [this] { return reinterpret_cast<std::uintptr_t>(form_->Handle()); },
            Id(trayImages_->connected), Id(trayImages_->notConnected),
            [this](bool retry) {
                trayRetry_ = retry ? StartTimer(form_->Handle(), kTrayRetryTimer, kTrayRetryMs)
                                   : TimerHandle();
            });
        form.AddMessageHandler(WM_TIMER, [this](WPARAM id, LPARAM, LRESULT& result) {
            if (id != kTrayRetryTimer)
                return false;
            tray_->RetryTrayIcon();
            result = 0;
            return true;
        });
        // Sharp images at the new DPI; the window's own layout follows.
        form.AddMessageHandler(kDpiChanged, [this](WPARAM dpi, LPARAM, LRESULT&) {
            auto fresh = std::make_unique<TrayImages>(instance_, HIWORD(dpi));
            tray_->SetIcons(Id(fresh->connected), Id(fresh->notConnected));
            trayImages_ = std::move(fresh);
            return false;
        });
        deliverer_ = std::make_unique<Deliverer>(Deliverer::Parts{
            settings_, desktop_,
            [this](const std::wstring& code) { settingsWindow_->ShowCode(code); }, res_, *tray_});
        hook_ = std::make_unique<KeyboardHook>(settings_, codePage_, *deliverer_);
        settingsWindow_ = std::make_unique<Settings>(
            form, form,
            Settings::Parts{settings_, state_, config_, res_, *hook_, *tray_,
                            [this] { serial_.CloseComm(); }, [this] { ShowTestWindow(); },
                            [] { ExitProcess(0); }});
        loop_ = std::make_unique<ReadingLoop>(ReadingLoop::Parts{settings_, state_, serial_, pump_,
                                                                 codePage_, *deliverer_, *tray_,
                                                                 *hook_, res_, *settingsWindow_});
        settingsWindow_->AttachReadingLoop([this] { loop_->bConnectionClick(); },
                                           [this] { loop_->Timer1Tick(); },
                                           [this] { loop_->RefreshTrayTip(); });
        WatchForTheReader(form);
        // Only a window the user sees counts (the tray menu brings the hidden one forward).
        form.OnActivate = [this] {
            if (form_->Visible())
                settingsWindow_->Activate();
        };
        form.OnCloseCommand = [this] { settingsWindow_->Unload(); };
        // The end of the Windows session ends the program the same way (icon first).
        form.AddMessageHandler(WM_ENDSESSION, [this](WPARAM ending, LPARAM, LRESULT& result) {
            result = 0;
            if (ending)
                settingsWindow_->Unload();
            return true;
        });
        form.OnEscape = [this] { settingsWindow_->EscapePressed(); };
        form.OnTrayCallback = [this](UINT mouse) {
            TrayMouseMessage(*settingsWindow_, reinterpret_cast<std::uintptr_t>(form_->Handle()),
                             kTrayMouseMessage, mouse, mouse);
        };
        form.OnTaskbarCreated = [this] { tray_->RestoreTrayIcon(); };
        // A second start asks this copy to show itself.
        if (const UINT show = RegisterWindowMessageW(kShowRunningCopyMessage); show != 0)
            form.AddMessageHandler(show, [this](WPARAM, LPARAM, LRESULT& result) {
                settingsWindow_->OpenFromTray();
                result = 0;
                return true;
            });
        WatchForHookLoss(form);
        settingsWindow_->Load();
    }

    // A wanted connection that is not open is tried again every two seconds, and at once when
    // a device arrives or the computer wakes up; the tray tip follows the chosen language.
    void WatchForTheReader(Win32Form& form) {
        // The tests lengthen it to see that a new device or a resume retries at once.
        const wchar_t* interval = _wgetenv(L"CORV_RETRY_MS");
        const UINT retryMs = interval && *interval ? static_cast<UINT>(_wtoi(interval))
                                                   : static_cast<UINT>(kRetryIntervalMs);
        loop_->RetryTimer = [this, retryMs](bool run) {
            retry_ = run ? StartTimer(form_->Handle(), kRetryTimerId, retryMs) : TimerHandle();
        };
        form.AddMessageHandler(WM_TIMER, [this](WPARAM id, LPARAM, LRESULT&) {
            if (id != kRetryTimerId)
                return false;
            loop_->RetryConnect();
            return true;
        });
        form.AddMessageHandler(WM_DEVICECHANGE, [this](WPARAM event, LPARAM, LRESULT&) {
            if (event == DBT_DEVICEARRIVAL || event == DBT_DEVNODES_CHANGED)
                loop_->RetryConnect();
            return false;
        });
        form.AddMessageHandler(WM_POWERBROADCAST, [this](WPARAM event, LPARAM, LRESULT&) {
            if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND)
                loop_->RetryConnect();
            return false;
        });
    }

    // The system drops a low-level hook silently when its callback comes back late, as it may
    // after a sleep or while a session is locked or disconnected: the hook is reinstalled then.
    // Other parts may watch the same messages, so these handlers never claim them.
    void WatchForHookLoss(Win32Form& form) {
        form.AddMessageHandler(WM_POWERBROADCAST, [this](WPARAM event, LPARAM, LRESULT&) {
            if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND)
                hook_->Reinstall(L"a resume from sleep");
            return false;
        });
        form.AddMessageHandler(WM_WTSSESSION_CHANGE, [this](WPARAM event, LPARAM, LRESULT&) {
            if (event == WTS_SESSION_UNLOCK || event == WTS_CONSOLE_CONNECT ||
                event == WTS_REMOTE_CONNECT)
                hook_->Reinstall(L"a session unlock or reconnect");
            return false;
        });
        WTSRegisterSessionNotification(form.Handle(), NOTIFY_FOR_THIS_SESSION);
    }

    // The Test window, modal over the Settings window; returns when it is closed.
    void ShowTestWindow() {
        // The Test window reads the port; a reconnect meanwhile does not start the reading loop
        // beside it.
        loop_->HoldReading(true);
        const ScopeGuard release([this] { loop_->HoldReading(false); });
        const HWND owner = form_->Handle();
        Win32Form test(instance_, TestSerialLayout(), TestSerialFocusOrder(), IDI_APPLICATION_ICON,
                       owner);
        TestSerial behaviour(
            test, test,
            TestSerial::Parts{
                settings_, res_, *hook_, pump_, desktop_, codePage_,
                [this] { return loop_->ReadPort(); }, *settingsWindow_,
                // At most two seconds of waiting for what the window waits for.
                [&test](const std::function<bool()>& done) { RunMessages(&test, done, 2000); },
                [&test] { return GetForegroundWindow() == test.Handle(); }});
        bool open = true;
        test.OnCloseCommand = [&] {
            behaviour.Unload();
            open = false;
            EnableWindow(owner, TRUE);
            test.Destroy();
        };
        test.OnEscape = test.OnCloseCommand;
        behaviour.Load();
        CenterForm(test);
        EnableWindow(owner, FALSE);
        test.Show();
        RunMessages(
            &test, [&open] { return !open; }, kWaitForever);
        EnableWindow(owner, TRUE);
        SetForegroundWindow(owner);
    }

    HINSTANCE instance_;
    AppSettings settings_;
    AppState state_;
    Win32PrivateProfile profile_;
    Win32FileSystem files_;
    Win32Registry registry_;
    Configuration config_{profile_, files_, registry_};
    ResManagerClass res_{config_, files_, settings_, state_};
    AnsiCodePage codePage_;
    Win32MessagePump pump_;
    Win32Desktop desktop_;
    Win32Comm comm_;
    modCOMM driver_{comm_, pump_, codePage_};
    Serial serial_{driver_};
    Win32NotifyIcon shell_;
    std::unique_ptr<TrayImages> trayImages_;
    std::unique_ptr<Win32Form> form_;
    TimerHandle trayRetry_; // offers a refused tray icon again
    TimerHandle retry_;     // tries a wanted connection again
    std::unique_ptr<modSysTry> tray_;
    std::unique_ptr<Deliverer> deliverer_;
    std::unique_ptr<KeyboardHook> hook_;
    std::unique_ptr<Settings> settingsWindow_;
    std::unique_ptr<ReadingLoop> loop_;
};

} // namespace

int RunApplication(HINSTANCE instance) {
    // A second start ends at once, silently, before anything else is touched; it only asks the
    // running copy to show itself.
    SingleInstance single(kInstanceMutexName);
    auto program = std::make_unique<Program>(instance);
    if (!program->Start(single)) {
        ShowRunningCopy();
        return 0;
    }
    return program->Run();
}

} // namespace corv::win32
