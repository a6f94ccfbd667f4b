// The keyboard reader's decision, fed with key-event sequences written as text, separated by
// commas:  "down BA/27 t=0"  press of virtual key 0xBA, scan code 0x27, at 0 ms (flags 0)
//          "up 31/02 t=12"   release (flags 0x80);   "key A1/10 f=01"  any flags, in hex
//          "tap 31/02 t=5"   press at 5 ms and release at 6 ms
//          "... inj"  adds the injected flag 0x10;  "... own"  also the program's own tag
//          "silence"  no key for the silence time;  "back"  the keys given back come through
// Verdicts: one letter per key event, S swallowed, P passed on. What is left to do afterwards
// reads "deliver ~123" (~ is the prefix mark) or "back dBA/27 uBA/27" (keys given back: d press,
// u release, then virtual key / scan code, and ":flags" when other flags are set).
#include <gtest/gtest.h>

#include <functional>
#include <iomanip>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "FakeCodePage.h"
#include "core/Hook.h"

using namespace corv;

namespace {

std::vector<KeyEvent> Events(const std::string& text) {
    std::vector<KeyEvent> out;
    std::istringstream list(text);
    for (std::string item; std::getline(list, item, ',');) {
        std::istringstream in(item);
        std::string kind, keys, word;
        in >> kind >> keys;
        if (kind == "silence" || kind == "back") {
            out.push_back(KeyEvent{kind == "back", 0, 0, 0, 0xFFFFFFFF}); // marks, not keys
            continue;
        }
        KeyEvent e;
        e.vkCode = std::stoul(keys.substr(0, keys.find('/')), nullptr, 16);
        e.scanCode = std::stoul(keys.substr(keys.find('/') + 1), nullptr, 16);
        e.flags = kind == "up" ? kKeyReleased : 0;
        while (in >> word) {
            if (word.rfind("t=", 0) == 0)
                e.time = static_cast<std::uint32_t>(std::stoul(word.substr(2), nullptr, 0));
            else if (word.rfind("f=", 0) == 0)
                e.flags = std::stoul(word.substr(2), nullptr, 16);
            else if (word == "inj" || word == "own")
                e.flags |= kKeyInjected, e.dwExtraInfo = word == "own" ? kInjectedKeyTag : 0;
            else
                throw std::invalid_argument("bad key event: " + item);
        }
        out.push_back(e);
        if (kind == "tap")
            out.push_back(e), out.back().flags |= kKeyReleased, ++out.back().time;
    }
    return out;
}

std::string Show(const std::vector<HookAction>& actions) {
    std::ostringstream s;
    s << std::hex << std::uppercase << std::setfill('0');
    for (const auto& a : actions) {
        s << (s.tellp() > 0 ? " | " : "");
        if (a.kind == HookAction::Kind::GiveBack) {
            s << "back";
            for (const auto& k : a.Keys) {
                s << ' ' << (k.flags & kKeyReleased ? 'u' : 'd') << std::setw(2) << k.vkCode << '/'
                  << std::setw(2) << k.scanCode;
                if (k.flags & ~kKeyReleased)
                    s << ':' << std::setw(2) << k.flags;
            }
            continue;
        }
        s << "deliver ";
        for (wchar_t c : a.Text)
            s << (c == kPrefixMark ? "~"
                  : c < 128        ? std::string(1, static_cast<char>(c))
                                   : "{" + std::to_string(static_cast<unsigned>(c)) + "}");
    }
    return s.str();
}

struct Reader {
    HookState state;
    fake::Cp1251CodePage codePage;
    std::int16_t prefix = 1;
    std::vector<HookAction> after;

    bool Decide(const KeyEvent& e, std::int32_t code = 0) {
        HookDecision d = DecideKeyEvent(code, e, state, prefix, codePage);
        Add(d.After);
        return d.Swallow;
    }
    // The keys given back come through the hook as the program's own, as the system does.
    void ComeBack() {
        while (!state.Returning.empty()) {
            KeyEvent k = state.Returning.front();
            k.flags |= kKeyInjected;
            k.dwExtraInfo = kInjectedKeyTag;
            EXPECT_FALSE(Decide(k));
        }
    }
    std::string Feed(const std::string& events) {
        std::string verdicts;
        for (const auto& e : Events(events)) {
            if (e.dwExtraInfo != 0xFFFFFFFF)
                verdicts += Decide(e) ? 'S' : 'P';
            else if (e.vkCode)
                ComeBack();
            else
                Add(DecideSilence(state).After);
        }
        return verdicts;
    }
    // Keys given back one after another go out together, as in the action queue.
    void Add(const std::vector<HookAction>& more) {
        for (const auto& a : more) {
            if (a.kind == HookAction::Kind::GiveBack && !after.empty() &&
                after.back().kind == HookAction::Kind::GiveBack)
                after.back().Keys.insert(after.back().Keys.end(), a.Keys.begin(), a.Keys.end());
            else
                after.push_back(a);
        }
    }
};

const std::string k123Enter = "tap 31/02 t=70,tap 32/03 t=72,tap 33/04 t=74,tap 0D/1C t=76";

struct Case {
    const char* name;
    std::string events, verdicts, after;
    bool capturing;
};

} // namespace

TEST(HookDecision, Sequences) {
    const Case cases[] = {
        // The semicolon opening: press and release within 30 ms with nothing between.
        {"semicolon tap", "down BA/27 t=0,up BA/27 t=30," + k123Enter, "SSSSSSSSSP", "deliver ~123",
         false},
        // Anything else is a person's semicolon, given back as the key it was, in order.
        {"semicolon held 31 ms", "down BA/27 t=0,up BA/27 t=31,back,tap 31/02 t=40", "SSPP",
         "back dBA/27 uBA/27", false},
        {"held with auto-repeat", "down BA/27 t=0,down BA/27 t=50,down BA/27 t=80,up BA/27 t=100",
         "SSSS", "back dBA/27 dBA/27 dBA/27 uBA/27", false},
        {"held past the silence", "down BA/27 t=0,silence,back,down BA/27 t=530,up BA/27 t=560",
         "SPP", "back dBA/27", false},
        {"slow, then a reader's tap",
         "down BA/27 t=0,up BA/27 t=99,back,down BA/27 t=200,up BA/27 t=202", "SSSS",
         "back dBA/27 uBA/27", true},
        {"rollover keeps the order", "down BA/27 t=0,down 42/30 t=10,up BA/27 t=20,up 42/30 t=25",
         "SSSS", "back dBA/27 d42/30 uBA/27 u42/30", false},
        {"shift and semicolon, a colon",
         "down A0/2A t=0,down BA/27 t=90,up BA/27 t=180,up A0/2A t=190,back", "PSSS",
         "back dBA/27 uBA/27 uA0/2A", false},
        {"ctrl and semicolon", "down A2/1D t=0,down BA/27 t=90,up A2/1D t=100,up BA/27 t=180",
         "PSSS", "back dBA/27 uA2/1D uBA/27", false},
        {"release flagged", "down BA/27 t=0,up BA/27 t=5 f=90", "SS", "back dBA/27 uBA/27:90",
         false},
        {"other scan code", "down BA/28 t=0", "P", "", false},
        {"extended press", "down BA/27 t=0 f=01,up BA/27 t=5 f=81", "PP", "", false},
        {"alt press", "down BA/27 t=0 f=20,up BA/27 t=5 f=A0", "PP", "", false},
        {"injected tap", "down BA/27 t=0 inj,up BA/27 t=5 inj", "PP", "", false},
        // A key waits behind keys given back until they have come through.
        {"no overtaking", "down BA/27 t=0,up BA/27 t=99,down 41/1E t=110,back,up 41/1E t=120",
         "SSSP", "back dBA/27 uBA/27 d41/1E", false},
        {"silence forgets keys that never came back",
         "down BA/27 t=0,up BA/27 t=99,silence,tap 41/1E t=900", "SSPP", "back dBA/27 uBA/27",
         false},
        // Left Shift pressed, then the 5 key within 30 ms and nothing between.
        {"shift 5 in 30 ms",
         "down A0/2A t=0,down 35/06 t=30,up 35/06 t=31,up A0/2A t=32,tap 41/1E,tap 42/30,"
         "tap 0D/1C",
         "PSSSSSSSSS", "back uA0/2A u0D/1C | deliver ~AB", false},
        {"shift 5 in 40 ms", "down A0/2A t=0,down 35/06 t=40,up 35/06 t=50", "PPP", "", false},
        {"shift released, then 5", "down A0/2A t=0,up A0/2A t=5,down 35/06 t=10", "PPP", "", false},
        {"A5 typed fast", "down A0/2A t=0,down 41/1E t=5,up 41/1E t=8,up A0/2A t=9,down 35/06 t=10",
         "PPPPP", "", false},
        {"held shift repeats", "down A0/2A t=0,down A0/2A t=500,down A0/2A t=530,down 35/06 t=540",
         "PPPP", "", false},
        {"right shift's scan code", "down A0/36 t=0,down 35/06 t=5", "PP", "", false},
        {"shift 5 injected by others", "down A0/2A t=0 inj,down 35/06 t=1 inj", "PS", "", true},
        {"a person's fast percent sign comes back whole",
         "down A0/2A t=0,down 35/06 t=20,up 35/06 t=90,up A0/2A t=95,silence", "PSSS",
         "back d35/06 u35/06 uA0/2A", false},
        {"shift inside a capture", "key 02/00,down A0/2A,tap 41/1E,up A0/2A,tap 0D/1C", "SSSSSSP",
         "deliver ~A", false},
        // Extended right Shift with a foreign scan code; key code 2.
        {"right shift opening", "key A1/10 f=01,key A1/10 f=81,tap 37/08,tap 0D/1C", "SSSSSP",
         "deliver ~7", false},
        {"right shift, own scan code", "key A1/36 f=01", "P", "", false},
        {"right shift, not extended", "key A1/10 f=00", "P", "", false},
        {"right shift, injected", "key A1/10 f=11", "P", "", false},
        {"key code 2", "down 02/00,tap 39/0A,tap 0D/1C", "SSSSP", "deliver ~9", false},
        {"key code 2 injected", "key 02/00 f=10", "S", "", true},
        {"key code 2 released", "up 02/00", "S", "", true},
        // A capture that falls silent was a person's: every key of it goes back, the opening's
        // included.
        {"semicolon tap, abc, no Enter",
         "down BA/27 t=0,up BA/27 t=5,tap 41/1E t=9,tap 42/30 t=12,tap 43/2E t=15,silence",
         "SSSSSSSS", "back dBA/27 uBA/27 d41/1E u41/1E d42/30 u42/30 d43/2E u43/2E", false},
        {"silent after Enter", "key A1/10 f=01,tap 31/02,down 0D/1C,silence", "SSSS",
         "back dA1/10:01 d31/02 u31/02 d0D/1C", false},
        {"a key held down", "key 02/00,down 41/1E,down 41/1E t=500", "SSS",
         "back d02/00 d41/1E d41/1E", false},
        // Collecting: a release counts when its press was the last plain press.
        {"interleaved", "key 02/00,down 41/1E,down 42/30,up 41/1E,up 42/30,tap 0D/1C", "SSSSSSP",
         "deliver ~B", false},
        {"flagged releases", "key 02/00,down 43/2E,up 43/2E f=81,down 44/20,up 44/20 inj,tap 0D/1C",
         "SSSSSSP", "deliver ~", false},
        {"flagged press kept out", "key 02/00,down 45/12,down 46/21 f=01,up 45/12,tap 0D/1C",
         "SSSSSP", "deliver ~E", false},
        {"code-page bytes and keypad digits",
         "key 02/00,tap 30/0,tap 5A/0,tap 60/52,tap 69/49,tap C0/0,tap BA/27,tap 0D/1C",
         "SSSSSSSSSSSSSSP", "deliver ~0Z09{1040}{1108}", false},
        {"keypad Enter ends", "key 02/00,tap 61/4F,down 0D/1C f=01,up 0D/1C f=81", "SSSSP",
         "deliver ~1", false},
        // The end: after Enter, everything but an exact release is swallowed.
        {"end", "key 02/00,tap 31/02,down 0D/1C,down 32/03,up 32/03 f=81,up 32/03 inj,up 0D/1C",
         "SSSSSSSP", "deliver ~1", false},
        {"after the end", "key 02/00,tap 0D/1C,tap 31/02 t=900,down BA/27 t=1000,up BA/27 t=1001",
         "SSPPPSS", "deliver ~", true},
        // The millisecond counter wraps.
        {"wrap, 30 ms", "down BA/27 t=0xFFFFFFF0,up BA/27 t=0x0E", "SS", "", true},
        {"wrap, 31 ms", "down BA/27 t=0xFFFFFFF0,up BA/27 t=0x0F", "SS", "back dBA/27 uBA/27",
         false},
        {"shift 5 across the wrap", "down A0/2A t=0xFFFFFFFF,down 35/06 t=0x1D", "PS", "", true},
        {"5 stamped before shift", "down A0/2A t=1000,down 35/06 t=999", "PP", "", false},
        // The program's own keys never open, end or feed a capture.
        {"own keys", "down A0/2A t=0 own,down 35/06 t=1 own,key 02/00 own,tap BA/27 t=3 own",
         "PPPPP", "", false},
        {"own keys in a capture", "key 02/00,tap 31/02,tap 32/03 own,down 0D/1C own,up 0D/1C",
         "SSSPPPS", "", true},
    };
    for (const auto& c : cases) {
        Reader r;
        EXPECT_EQ(r.Feed(c.events), c.verdicts) << c.name;
        EXPECT_EQ(Show(r.after), c.after) << c.name;
        EXPECT_EQ(r.state.Capturing, c.capturing) << c.name;
    }
}

TEST(HookDecision, DeliveredTextFollowsThePrefixWithoutExemptions) {
    const std::pair<std::int16_t, std::string> cases[] = {
        {0, "deliver 969123"},
        {1, "deliver ~969123"},
        {2, "deliver ~969969123"},
        {3, "deliver ~971969123"},
        {4, ""},
        {-1, ""},
    };
    for (const auto& [prefix, expected] : cases) {
        Reader r;
        r.prefix = prefix;
        r.Feed("down BA/27 t=0,up BA/27 t=3,tap 39/0A t=5,tap 36/07 t=7,tap 39/0A t=9," +
               k123Enter);
        EXPECT_EQ(Show(r.after), expected) << prefix;
        EXPECT_FALSE(r.state.Capturing) << prefix;
    }
}

TEST(HookDecision, ACaptureHoldsAtMost1024CharactersAndOnlyCodeZeroIsLookedAt) {
    for (const std::uint32_t length : {1024u, 1025u}) {
        Reader r;
        EXPECT_FALSE(r.Decide(Events("key 02/00")[0], -1));
        EXPECT_FALSE(r.state.Capturing);
        r.Feed("key 02/00");
        EXPECT_FALSE(r.Decide(Events("tap 31/02")[0], 1));
        std::vector<KeyEvent> typed = Events("key 02/00");
        for (std::uint32_t i = 0; i < 2 * length; ++i) {
            typed.push_back({0x41 + i / 2 % 26, 0x10, i % 2 ? kKeyReleased : 0, i, 0});
            ASSERT_TRUE(r.Decide(typed.back()));
        }
        const std::string end = r.Feed("tap 0D/1C");
        if (length == 1024) {
            EXPECT_EQ(end, "SP");
            ASSERT_EQ(r.after.size(), 1u);
            EXPECT_EQ(r.after[0].Text.size(), 1025u);
        } else {
            // The 1,025th character gives the whole capture back, and Enter goes on behind it.
            EXPECT_EQ(end, "SS");
            ASSERT_EQ(r.after.size(), 1u);
            typed.insert(typed.end(), {Events("tap 0D/1C")[0], Events("tap 0D/1C")[1]});
            EXPECT_EQ(r.after[0].Keys, typed);
        }
    }
}

namespace {

// Delivery and giving back that behave as the system does: every key the program types or
// gives back goes through the hook's decision again before it reaches the application
// (`reached`), and a nested hook callback may decide more while a code is being typed.
class Loopback : public CodeDelivery, public KeyInjector {
  public:
    explicit Loopback(Reader& reader) : reader_(reader) {}
    void DeliverCode(const std::wstring& code) override {
        if (code.find(L"fail") != std::wstring::npos)
            throw std::runtime_error("delivery failed");
        for (wchar_t c : code + L"\r") {
            // Keys of their own for digits, letters, ";", "%" (with Shift) and Enter; Unicode
            // packets for the rest.
            const bool digitOrLetter = (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z');
            const std::string vk = c == L'%'       ? "35/06"
                                   : c == L';'     ? "BA/27"
                                   : c == L'\r'    ? "0D/1C"
                                   : digitOrLetter ? Hex(c) + "/00"
                                                   : "E7/" + Hex(c);
            std::string keys = "tap " + vk + " own";
            if (c == L'%')
                keys = "down A0/2A own," + keys + ",up A0/2A own";
            if (reader_.Feed(keys).find('S') == std::string::npos)
                reached += c;
        }
        if (auto once = std::exchange(during, nullptr))
            once();
    }
    void GiveBack(const std::vector<KeyEvent>& keys) override {
        for (KeyEvent k : keys) {
            k.flags |= kKeyInjected;
            k.dwExtraInfo = kInjectedKeyTag;
            if (!reader_.Decide(k) && !(k.flags & kKeyReleased))
                reached += k.vkCode == kVkSemicolon ? L';' : static_cast<wchar_t>(k.vkCode);
        }
    }
    std::wstring reached;
    std::function<void()> during;

  private:
    static std::string Hex(wchar_t c) {
        std::ostringstream s;
        s << std::hex << static_cast<unsigned>(c);
        return s.str();
    }
    Reader& reader_;
};

} // namespace

TEST(HookActionQueue, OwnKeysLoopBackWithoutANewCaptureAndAllRunsOnceInOrder) {
    Reader r;
    Loopback system(r);
    HookActionQueue queue;
    const auto decideAndQueue = [&](const std::string& events) {
        r.Feed(events);
        const bool added = queue.Add(std::move(r.after));
        r.after.clear();
        return added;
    };
    EXPECT_FALSE(decideAndQueue("tap 31/02"));
    EXPECT_TRUE(decideAndQueue("down BA/27 t=0,up BA/27 t=40"));                 // a slow semicolon
    EXPECT_TRUE(decideAndQueue("down BA/27 t=100,up BA/27 t=101," + k123Enter)); // a burst
    queue.Add({{HookAction::Kind::Deliver, L"fail", {}}, {HookAction::Kind::Deliver, L"%;5", {}}});
    // While the first code is typed, a nested callback finishes another burst and tries to run
    // the queue; that run is left to the outer one, which keeps the order.
    system.during = [&] {
        decideAndQueue("key 02/00,tap 38/09,tap 0D/1C");
        queue.RunPending(system, system);
        EXPECT_EQ(system.reached, L";\u00A0123\r");
    };
    queue.RunPending(system, system);
    EXPECT_EQ(system.reached, L";\u00A0123\r%;5\r\u00A08\r");
    EXPECT_FALSE(r.state.Capturing);
    EXPECT_TRUE(queue.Empty());
}
