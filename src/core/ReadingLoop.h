#pragma once
// The serial reading loop (the Settings window's 50 ms Timer1) and the connect action of its
// connection button bConnection.
#include <cstdint>
#include <functional>
#include <string>

#include "config/AppSettings.h"
#include "core/AppState.h"
#include "core/ModMainReader.h"
#include "platform/CodePage.h"
#include "platform/MessagePump.h"
#include "platform/WindowLayer.h"
#include "serial/Serial.h"

namespace corv {

inline constexpr wchar_t kCardMarker[] = L"CARD:";
inline constexpr int kTimer1IntervalMs = 50;
inline constexpr std::int16_t kTicksToComplete = 3;
inline constexpr wchar_t kTrayTip[] = L"Quillomarte Corvanthelix";

class ReadingLoop {
  public:
    struct Parts {
        AppSettings& settings;
        AppState& state;
        Serial& serial;
        MessagePump& pump;
        const CodePage& codePage;
        CodeDelivery& delivery;
        TrayIcon& tray;
        KeyboardHookControl& hook;
        ResStrings& strings;
        Form& settingsWindow; // Timer1, bConnection, cBitsPerSecond, cSendTo
        std::function<void(bool)> enableFields;
    };

    explicit ReadingLoop(Parts parts) : p_(std::move(parts)) {}
    ReadingLoop(const ReadingLoop&) = delete;
    ReadingLoop& operator=(const ReadingLoop&) = delete;

    // One tick of Timer1. A tick that arrives while another one runs (from inside its message
    // processing) does nothing.
    void Timer1Tick();
    // Click of bConnection: connects when not connected, else disconnects.
    void bConnectionClick();

    const std::wstring& ReadBuffer() const { return readBuffer_; }
    std::int16_t IdleTicks() const { return idleTicks_; }

  private:
    void CompleteCode();
    void Connect(const std::wstring& language);
    void Disconnect(const std::wstring& language);

    Parts p_;
    std::wstring readBuffer_;
    std::int16_t idleTicks_ = 0;
    bool inTick_ = false;
};

} // namespace corv
