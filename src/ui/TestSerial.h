#pragma once
// The Test window's behaviour: its own copy of the reading loop, which types each code into
// the window's input box, the key-down log of what arrives there, and the four view buttons.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "config/AppSettings.h"
#include "core/CodeAssembler.h"
#include "core/KeyboardHookControl.h"
#include "core/ReaderWindow.h"
#include "localization/ResManagerClass.h"
#include "platform/CodePage.h"
#include "platform/Desktop.h"
#include "platform/FormHost.h"
#include "platform/MessagePump.h"
#include "platform/WindowLayer.h"

namespace corv {

const std::vector<std::wstring>& TestSerialFocusOrder();

class TestSerial {
  public:
    struct Parts {
        AppSettings& settings;
        ResManagerClass& res;
        KeyboardHookControl& hook;
        MessagePump& pump;
        Desktop& desktop;
        const CodePage& codePage;
        std::function<std::wstring()> readComm; // everything received, or empty
        ReaderWindow& settingsWindow;           // its reading starts again on close
        // Lets window messages run until done() answers true or a bounded time has passed, so
        // that typed keys reach the input box before the tick goes on. Empty: keys arrive
        // while they are typed.
        std::function<void(const std::function<bool()>& done)> letKeysArrive;
        // Whether this window is the foreground window. Empty: always.
        std::function<bool()> inFront;
    };

    TestSerial(Form& form, FormHost& window, Parts parts);

    void Load();
    void Unload();
    void Timer1Tick();

  private:
    void ShowLastKeyCodes();
    Control& C(const wchar_t* name) { return form_[name]; }

    Form& form_;
    FormHost& window_;
    Parts p_;
    std::wstring keyCodeLog_, asciiLog_, serialLog_;
    std::wstring lastKeyCodeLog_, lastAsciiLog_, lastSerialLog_;
    std::wstring readBuffer_;
    CodeAssembler code_;
    bool inTick_ = false;
    std::size_t keyDowns_ = 0;
};

} // namespace corv
