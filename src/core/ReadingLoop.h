#pragma once
// The serial reading loop (ticks of the Settings window's 50 ms reading timer) and the connect
// action of its connection button; a connection the user wanted comes back by itself when its
// port was lost or missing.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/AppState.h"
#include "config/AppSettings.h"
#include "core/CodeAssembler.h"
#include "core/KeyboardHookControl.h"
#include "core/ModMainReader.h"
#include "core/ReaderWindow.h"
#include "core/TrayIcon.h"
#include "localization/ResStrings.h"
#include "platform/CodePage.h"
#include "platform/MessagePump.h"
#include "serial/Serial.h"

namespace corv {

inline constexpr wchar_t kCardMarker[] = L"CARD:";
inline constexpr wchar_t kTrayTip[] = L"Quillomarte Corvanthelix";
// Reads that fail in a row before the port counts as lost (well within a second of ticks).
inline constexpr int kFailedReadsToLose = 4;
// How often a wanted connection that is not open is tried again.
inline constexpr int kRetryIntervalMs = 2000;

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
        ReaderWindow& window;
    };

    explicit ReadingLoop(Parts parts) : p_(std::move(parts)) {}
    ReadingLoop(const ReadingLoop&) = delete;
    ReadingLoop& operator=(const ReadingLoop&) = delete;

    // Starts (true) or stops the timer that calls RetryConnect every kRetryIntervalMs; called
    // only when that changes.
    std::function<void(bool run)> RetryTimer;

    // One tick of the reading timer. A tick that arrives while another one runs (from inside its
    // message processing), or while reading is held, does nothing.
    void Timer1Tick();
    // A press of the connection button: connects when not connected, else disconnects.
    void bConnectionClick();
    // The retry timer, a new device or a resume from sleep: tries the wanted connection again
    // when it is not open; does nothing otherwise.
    void RetryConnect();
    // Everything that waits at the port (nothing while no port is open). Reads that keep
    // failing while connected mean the port is lost: it is closed and tried again.
    std::wstring ReadPort();
    // While held (the Test window reads the port), ticks do nothing.
    void HoldReading(bool held) { held_ = held; }
    // Shows the tray tip again in the current language.
    void RefreshTrayTip();

    const std::wstring& ReadBuffer() const { return code_.Buffer(); }
    std::int16_t IdleTicks() const { return code_.IdleTicks(); }
    int DroppedCodes() const { return dropped_; }

  private:
    // What the tray tells about the reader.
    enum class Link { Off, Port, Keyboard, Waiting };

    // Nothing when the read failed.
    std::optional<std::wstring> ReadWaiting();
    void CompleteCode(std::wstring code);
    void Connect(const std::wstring& language);
    void Disconnect(const std::wstring& language, Link after = Link::Off);
    void KeepTrying(bool on);
    void ShowTray(Link link, std::int16_t image);
    std::wstring TrayTipText() const;

    Parts p_;
    CodeAssembler code_;
    bool inTick_ = false;
    bool held_ = false;
    bool retrying_ = false;
    int failedReads_ = 0;
    int dropped_ = 0;
    unsigned connection_ = 0; // changes whenever the port is opened or closed
    Link link_ = Link::Off;
    std::wstring port_, speed_; // of the last connect
    std::int16_t shownImage_ = -1;
    std::wstring shownTip_;
};

} // namespace corv
