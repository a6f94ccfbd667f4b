#pragma once
// The keyboard reader: recognising a reader's burst among the key events of the whole system,
// swallowing it, collecting its characters and handing the finished code on. The decision is
// made here, one event at a time (a key event, or a silence the platform edge reports when no
// key came for a while); the low-level hook itself lives at the platform edge, which asks this
// decision what to do and carries out the resulting actions after its callback has returned.
//
// A person's keys are never lost, changed or reordered: a key held back while the decision is
// open goes back to the application as the original key event, in the order typed, as soon as
// it is clear that it was not a reader's.
#include <bitset>
#include <cstddef>
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

    bool operator==(const KeyEvent&) const = default;
};

inline constexpr std::uint32_t kKeyExtended = 0x01;
inline constexpr std::uint32_t kKeyInjected = 0x10;
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
inline constexpr std::uint32_t kVkNumpad0 = 0x60;
inline constexpr std::uint32_t kVkNumpad9 = 0x69;
inline constexpr std::uint32_t kOpeningWindowMs = 30;

// A reader types its whole burst within a few milliseconds a key. A capture that hears nothing
// for this long, or grows beyond these sizes, is a person's typing and goes back to them.
inline constexpr unsigned kSilenceMs = 500;
inline constexpr std::size_t kMaxCaptureCharacters = 1024;
inline constexpr std::size_t kMaxHeldKeyEvents = 4 * kMaxCaptureCharacters + 16;

// What the hook remembers between key events.
struct HookState {
    bool Capturing = false; // a reader's burst is being captured
    bool EndSeen = false;   // Enter went down during the capture
    bool Deciding = false;  // a semicolon press is held back until its release shows what it is
    KeyEvent PrevKey;       // the remembered key event
    KeyEvent CurKey;        // the event being handled (the program's own keys are not kept)
    std::wstring CapturedCode;
    std::vector<KeyEvent> Held; // swallowed while deciding or capturing, in order
    // Keys given back and not yet seen coming through the hook again. Until they have, any other
    // key would overtake them, so it is given back behind them instead of passed on.
    std::deque<KeyEvent> Returning;
    // Keys down in the application, by virtual-key code, as the hook has let them through.
    std::bitset<256> DownInApp;
};

// Something to do once the hook callback has returned.
struct HookAction {
    enum class Kind {
        Deliver,  // hand Text (the captured code with its prefix) to code delivery
        GiveBack, // inject Keys again, in order, as the program's own key events
    };
    Kind kind = Kind::Deliver;
    std::wstring Text;
    std::vector<KeyEvent> Keys;

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

// Decides a silence: no key event for kSilenceMs. Whatever is held goes back.
HookDecision DecideSilence(HookState& state);

// True while the decision waits for something (a held key, keys on their way back): the edge
// then reports a silence kSilenceMs after the last key event.
bool AwaitsSilence(const HookState& state);

// The hook was installed or removed: what is held goes back (the returned actions), and the
// state starts afresh.
HookDecision ResetHookState(HookState& state);

// Puts key events back into the system, tagged as the program's own.
class KeyInjector {
  public:
    virtual ~KeyInjector() = default;
    virtual void GiveBack(const std::vector<KeyEvent>& keys) = 0;
};

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
    void RunPending(CodeDelivery& delivery, KeyInjector& injector);

  private:
    std::deque<HookAction> pending_;
    bool running_ = false;
};

} // namespace corv
