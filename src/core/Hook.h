#pragma once
// The keyboard reader: recognising a reader's burst among the key events of the whole system,
// swallowing it, collecting its characters and handing the finished code on. The decision is
// made here, one key event at a time; the low-level hook itself lives at the platform edge,
// which asks this decision what to do and carries out the resulting actions after its callback
// has returned.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/ModMainReader.h"
#include "platform/CodePage.h"
#include "platform/Desktop.h"

namespace corv {

// One key event as the low-level keyboard hook reports it.
struct KeyEvent {
    std::uint32_t vkCode = 0;      // virtual-key code
    std::uint32_t scanCode = 0;    // hardware scan code
    std::uint32_t flags = 0;       // see the kKey* flags; compared as a whole word
    std::uint32_t time = 0;        // time stamp in milliseconds (wraps after ~49.7 days)
    std::uint32_t dwExtraInfo = 0; // extra information; kInjectedKeyTag on the program's own keys
};

inline constexpr std::uint32_t kKeyExtended = 0x01;
inline constexpr std::uint32_t kKeyInjected = 0x10;
inline constexpr std::uint32_t kKeyAltDown = 0x20;
inline constexpr std::uint32_t kKeyReleased = 0x80;

// Keys and timing of the openings of a reader's burst.
inline constexpr std::uint32_t kVkSemicolon = 0xBA;
inline constexpr std::uint32_t kScanSemicolon = 0x27;
inline constexpr std::uint32_t kVkLeftShift = 0xA0;
inline constexpr std::uint32_t kScanLeftShift = 0x2A;
inline constexpr std::uint32_t kVkRightShift = 0xA1;
inline constexpr std::uint32_t kScanRightShift = 0x36;
inline constexpr std::uint32_t kVkDigit5 = 0x35;
inline constexpr std::uint32_t kVkReaderStart = 2;
inline constexpr std::uint32_t kVkEnter = 0x0D;
inline constexpr std::uint32_t kOpeningWindowMs = 30;

// What the hook remembers between key events.
struct HookState {
    bool Capturing = false; // a reader's burst is being captured
    bool EndSeen = false;   // Enter went down during the capture
    KeyEvent PrevKey;       // the remembered key event
    KeyEvent CurKey;        // the event being handled
    std::wstring CapturedCode;
};

// Something to do once the hook callback has returned.
struct HookAction {
    enum class Kind {
        Deliver,       // hand Text (the captured code with its prefix) to code delivery
        TypeSemicolon, // type the ";" whose press was swallowed, without waiting
    };
    Kind kind = Kind::Deliver;
    std::wstring Text;

    bool operator==(const HookAction&) const = default;
};

struct HookDecision {
    bool Swallow = false;          // true: the key event goes no further
    std::vector<HookAction> After; // in order, after the callback has returned
};

// Decides one hook callback: `code` is the hook code the system passed (only 0 carries a key
// event to look at), `key` the event, `prefix` the Prefix setting for a finished code.
HookDecision DecideKeyEvent(std::int32_t code, const KeyEvent& key, HookState& state,
                            std::int16_t prefix, const CodePage& codePage);

// The actions decided inside hook callbacks, waiting to be carried out on the user-interface
// thread once the callback has returned. Running them may let further hook callbacks run (typing
// waits for the target to process its keys); those only add to the queue, and everything is
// carried out once, in the order it was decided.
class HookActionQueue {
  public:
    // Adds the actions; true when something was added (the caller then arranges a RunPending).
    bool Add(std::vector<HookAction>&& actions);
    // Carries out every waiting action in order; a nested call returns at once and leaves the
    // work to the outer one.
    void RunPending(CodeDelivery& delivery, Desktop& desktop);
    bool Empty() const { return pending_.empty(); }

  private:
    std::deque<HookAction> pending_;
    bool running_ = false;
};

} // namespace corv
