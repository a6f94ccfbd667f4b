#pragma once
// The Settings window's behaviour: its load in two phases, the lists and their handlers, the
// buttons, the tray menu entries, the identifier box, activation and unloading.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Version.h"
#include "common/AppState.h"
#include "config/AppSettings.h"
#include "config/Configuration.h"
#include "core/KeyboardHookControl.h"
#include "core/ReaderWindow.h"
#include "core/TrayIcon.h"
#include "core/modSysTry.h"
#include "localization/ResManagerClass.h"
#include "platform/FormHost.h"
#include "platform/WindowLayer.h"

namespace corv {

inline constexpr wchar_t kVersionText[] = L"Ver. " CORV_VERSION_WTEXT;
inline constexpr wchar_t kProgramTitle[] = L"Corvanthelix";

// The visible controls in the order the Tab key walks them; the first holds the focus when
// the window opens.
const std::vector<std::wstring>& SettingsFocusOrder();

// Selects the whole text of a text box.
void SelectAllText(Control& box);

// Moves the window to the middle of the screen; any failure is ignored.
void CenterForm(FormHost& window) noexcept;

class Settings : public TrayMenuHost, public ReaderWindow {
  public:
    struct Parts {
        AppSettings& settings;
        AppState& state;
        Configuration& config;
        ResManagerClass& res;
        KeyboardHookControl& hook;
        TrayIcon& tray;
        std::function<void()> closeComm;      // CloseComm on the one serial port object
        std::function<void()> showTestWindow; // modal; returns when it is closed
        std::function<void()> endProgram;     // ends the process at once
    };

    // Assigns the handlers of the window's lists, buttons, menu entries and identifier box.
    Settings(Form& form, FormHost& window, Parts parts);
    // The connection button's press and the reading timer's tick belong to the reading loop;
    // after a language pick the loop shows its tray tip again.
    void AttachReadingLoop(std::function<void()> press, std::function<void()> tick,
                           std::function<void()> languagePicked);
    // Escape hides the window, as its hide button does.
    void EscapePressed();

    // The load. A failure while the settings are put into the lists shows its message and
    // ends the program; false then (when ending returns at all).
    bool Load();
    void Activate();
    // Removes the tray icon and the hook, closes the port and ends the program; failures are
    // ignored. Every way out ends here.
    void Unload() noexcept;

    void Validation();
    void SetMenuLanguage();
    // A delivered code in the identifier box; while the window is shown the box takes the
    // focus with the code selected.
    void ShowCode(const std::wstring& code);

    // What the reading loop shows and asks.
    void ShowConnectionCaption(const std::wstring& caption) override;
    void ShowConnected(bool connected) override;
    std::wstring ShownSpeed() override;
    void PickAllCharacters() override;
    void RunReading(bool run) override;

    // The tray icon's actions.
    void OpenFromTray() override;
    void ShowTrayMenu() override;

  private:
    void FillCombos();
    void ListPicked(const std::wstring& list);
    void PressConnection();
    Control& C(const wchar_t* name) { return form_[name]; }

    Form& form_;
    FormHost& window_;
    Parts p_;
};

} // namespace corv
