// The keyboard reader's decision, fed with key-event sequences written as text:
//   "down BA/27 t=0"  press of virtual key 0xBA, scan code 0x27, at 0 ms (flags 0)
//   "up 31/02 t=12"   release (flags 0x80)
//   "key A1/10 f=01"  any flags, given in hex
//   "... inj"         adds the injected flag 0x10; "... own" also the program's own tag
// Feed() answers with one letter per event: S swallowed, P passed on.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <stdexcept>

#include "FakeCodePage.h"
#include "core/Hook.h"

using namespace corv;

namespace {

KeyEvent Ev(const std::string& text) {
    std::istringstream in(text);
    std::string kind, keys, word;
    in >> kind >> keys;
    KeyEvent e;
    const auto slash = keys.find('/');
    e.vkCode = std::stoul(keys.substr(0, slash), nullptr, 16);
    e.scanCode = std::stoul(keys.substr(slash + 1), nullptr, 16);
    e.flags = kind == "up" ? kKeyReleased : 0;
    while (in >> word) {
        if (word.rfind("t=", 0) == 0)
            e.time = static_cast<std::uint32_t>(std::stoul(word.substr(2), nullptr, 0));
        else if (word.rfind("f=", 0) == 0)
            e.flags = std::stoul(word.substr(2), nullptr, 16);
        else if (word == "inj")
            e.flags |= kKeyInjected;
        else if (word == "own")
            e.flags |= kKeyInjected, e.dwExtraInfo = kInjectedKeyTag;
        else
            throw std::invalid_argument("bad key event: " + text);
    }
    return e;
}

struct Reader {
    HookState state;
    fake::Cp1251CodePage codePage;
    std::int16_t prefix = 1;
    std::vector<HookAction> after; // everything decided to be done later, in order

    std::string Feed(std::initializer_list<std::string> events) {
        std::string verdicts;
        for (const auto& text : events)
            verdicts += Decide(Ev(text)) ? 'S' : 'P';
        return verdicts;
    }
    bool Decide(const KeyEvent& e, std::int32_t code = 0) {
        HookDecision d = DecideKeyEvent(code, e, state, prefix, codePage);
        for (auto& a : d.After)
            after.push_back(std::move(a));
        return d.Swallow;
    }
    // Digits 1, 2, 3 and Enter, typed fast from time t, as a reader does.
    std::string Feed123Enter(int t) {
        auto at = [t](int dt) { return " t=" + std::to_string(t + dt); };
        return Feed({"down 31/02" + at(0), "up 31/02" + at(1), "down 32/03" + at(2),
                     "up 32/03" + at(3), "down 33/04" + at(4), "up 33/04" + at(5),
                     "down 0D/1C" + at(6), "up 0D/1C" + at(7)});
    }
};

const std::wstring kMark(1, kPrefixMark);

HookAction Delivered(const std::wstring& text) {
    return {HookAction::Kind::Deliver, text};
}
const HookAction kRetypedSemicolon{HookAction::Kind::TypeSemicolon, L";"};

} // namespace

TEST(HookOpenings, SemicolonTappedWithin30Ms) {
    Reader r;
    EXPECT_EQ(r.Feed({"down BA/27 t=1000", "up BA/27 t=1030"}), "SP");
    EXPECT_TRUE(r.state.Capturing);
    // The digits and Enter are swallowed; the first release after the Enter press ends it.
    EXPECT_EQ(r.Feed123Enter(1040), "SSSSSSSP");
    EXPECT_FALSE(r.state.Capturing);
    EXPECT_EQ(r.after, std::vector{Delivered(kMark + L"123")});
}

TEST(HookOpenings, SemicolonNearMissesTypeOrPassTheSemicolon) {
    Reader slow; // held 40 ms: an ordinary semicolon, retyped in place of its swallowed press
    EXPECT_EQ(slow.Feed({"down BA/27 t=1000", "up BA/27 t=1040", "down 31/02 t=1050"}), "SPP");
    EXPECT_FALSE(slow.state.Capturing);
    EXPECT_EQ(slow.after, std::vector{kRetypedSemicolon});
    EXPECT_EQ(slow.Feed({"down BA/27 t=2000", "up BA/27 t=2005"}), "SP"); // then a reader's tap
    EXPECT_TRUE(slow.state.Capturing);

    Reader held; // held with auto-repeat, released soon after a repeat: one semicolon
    EXPECT_EQ(held.Feed({"down BA/27 t=0", "down BA/27 t=50", "down BA/27 t=80", "up BA/27 t=100"}),
              "SSSP");
    EXPECT_EQ(held.after, std::vector{kRetypedSemicolon});

    Reader scan; // another scan code: the press is not the reader's and reaches the application
    EXPECT_EQ(scan.Feed({"down BA/28 t=0"}), "P");
    EXPECT_FALSE(scan.state.Capturing);

    for (const char* flags : {"f=01", "f=20", "inj"}) {
        Reader r; // a press with any flag set is not the opening
        EXPECT_EQ(r.Feed({std::string("down BA/27 t=0 ") + flags, "up BA/27 t=5 f=81"}), "PP")
            << flags;
        EXPECT_FALSE(r.state.Capturing) << flags;
        EXPECT_TRUE(r.after.empty()) << flags;
    }
    Reader rel; // a release with more flags than 0x80 does not open either
    EXPECT_EQ(rel.Feed({"down BA/27 t=0", "up BA/27 t=5 f=90"}), "SP");
    EXPECT_FALSE(rel.state.Capturing);
}

TEST(HookOpenings, LeftShiftThenDigit5Within30Ms) {
    Reader r;
    EXPECT_EQ(r.Feed({"down A0/2A t=500", "down 35/06 t=530"}), "PS");
    EXPECT_TRUE(r.state.Capturing);
    // The opening keys' releases fall into the capture and are not collected.
    EXPECT_EQ(r.Feed({"up 35/06 t=531", "up A0/2A t=532", "down 41/1E t=533", "up 41/1E t=534",
                      "down 42/30 t=535", "up 42/30 t=536", "down 0D/1C t=537", "up 0D/1C t=538"}),
              "SSSSSSSP");
    EXPECT_EQ(r.after, std::vector{Delivered(kMark + L"AB")});

    Reader late; // 40 ms apart: a percent sign typed by a person
    EXPECT_EQ(late.Feed({"down A0/2A t=500", "down 35/06 t=540", "up 35/06 t=560"}), "PPP");
    EXPECT_FALSE(late.state.Capturing);

    Reader other; // right Shift's or a foreign scan code does not count as the left Shift
    EXPECT_EQ(other.Feed({"down A0/36 t=0", "down 35/06 t=5"}), "PP");
    EXPECT_FALSE(other.state.Capturing);

    Reader release; // any flags: a left-Shift release followed by 5 opens as well
    EXPECT_EQ(release.Feed({"up A0/2A t=0", "down 35/06 t=30 f=01"}), "PS");
    EXPECT_TRUE(release.state.Capturing);
}

TEST(HookOpenings, ExtendedRightShiftWithForeignScanCodeAndKeyCode2) {
    Reader r;
    EXPECT_EQ(r.Feed({"key A1/10 f=01"}), "S");
    EXPECT_TRUE(r.state.Capturing);
    // Its release carries 0x81 and is swallowed without being collected.
    EXPECT_EQ(r.Feed({"key A1/10 f=81", "down 37/08", "up 37/08", "down 0D/1C", "up 0D/1C"}),
              "SSSSP");
    EXPECT_EQ(r.after, std::vector{Delivered(kMark + L"7")});

    for (const char* miss :
         {"key A1/36 f=01", "key A1/10 f=00", "key A1/10 f=81", "key A1/10 f=11"}) {
        Reader m;
        EXPECT_EQ(m.Feed({miss}), "P") << miss;
        EXPECT_FALSE(m.state.Capturing) << miss;
    }
    for (const char* code2 : {"down 02/00", "up 02/00", "key 02/00 f=10"}) {
        Reader m; // key code 2 opens whatever its flags
        EXPECT_EQ(m.Feed({code2}), "S") << code2;
        EXPECT_TRUE(m.state.Capturing) << code2;
    }
}

TEST(HookCapture, CollectsOnlyAReleaseWhosePressWasTheLastPlainPress) {
    Reader r;
    r.Feed({"key 02/00"});
    EXPECT_EQ(r.Feed({"down 41/1E", "down 42/30", "up 41/1E", "up 42/30"}), "SSSS");
    EXPECT_EQ(r.state.CapturedCode, L"B");
    // A release with other flags (extended, injected) is not collected.
    r.Feed({"down 43/2E", "up 43/2E f=81", "down 44/20", "up 44/20 inj"});
    EXPECT_EQ(r.state.CapturedCode, L"B");
    // A flagged press does not replace the remembered press.
    r.Feed({"down 45/12", "down 46/21 f=01", "up 45/12"});
    EXPECT_EQ(r.state.CapturedCode, L"BE");
}

TEST(HookCapture, KeyCodesAreReadAsCodePageBytes) {
    Reader r;
    r.prefix = 0;
    r.Feed({"key 02/00"});
    for (std::uint32_t vk : {0x30u, 0x39u, 0x5Au, 0x60u, 0x61u, 0x69u, 0xC0u, 0xBAu}) {
        KeyEvent e;
        e.vkCode = vk;
        r.Decide(e);
        e.flags = kKeyReleased;
        r.Decide(e);
    }
    r.Feed({"down 0D/1C", "up 0D/1C"});
    // Keypad digits are "`" and "a" to "i"; 0xC0 is Cyrillic A in code page 1251.
    EXPECT_EQ(r.after, std::vector{Delivered(L"09Z`ai\u0410\u0454")});
}

TEST(HookCapture, EndsOnTheFirstExactReleaseAfterEnter) {
    Reader r;
    r.Feed({"key 02/00", "down 31/02", "up 31/02", "down 0D/1C"});
    EXPECT_TRUE(r.state.EndSeen);
    // Presses, flagged releases (keypad Enter is extended) stay swallowed.
    EXPECT_EQ(r.Feed({"down 32/03", "up 0D/1C f=81", "up 32/03 inj", "up 32/03"}), "SSSP");
    EXPECT_FALSE(r.state.Capturing);
    EXPECT_FALSE(r.state.EndSeen);
    EXPECT_EQ(r.after, std::vector{Delivered(kMark + L"1")});
    // Back to normal: keys pass, and a new burst is collected from empty.
    EXPECT_EQ(r.Feed({"down 31/02 t=2000", "up 31/02 t=2001"}), "PP");
    EXPECT_EQ(r.Feed({"down BA/27 t=3000", "up BA/27 t=3001"}), "SP");
    r.Feed123Enter(3002);
    EXPECT_EQ(r.after.back(), Delivered(kMark + L"123"));
}

TEST(HookCapture, WithoutEnterEveryKeyStaysSwallowed) {
    Reader r;
    r.Feed({"down BA/27 t=0", "up BA/27 t=2"});
    for (int i = 0; i < 300; ++i) {
        KeyEvent e;
        e.vkCode = 0x41 + (i / 2) % 26;
        e.flags = i % 2 ? kKeyReleased : 0;
        e.time = 100000u * i;
        ASSERT_TRUE(r.Decide(e)) << i;
    }
    EXPECT_TRUE(r.state.Capturing);
    EXPECT_TRUE(r.after.empty());
    EXPECT_EQ(r.Feed({"down 0D/1C", "up 0D/1C"}), "SP");
    ASSERT_EQ(r.after.size(), 1u);
    EXPECT_EQ(r.after[0].Text.size(), 151u);
}

TEST(HookCapture, DeliveredTextFollowsThePrefixSetting) {
    const std::pair<std::int16_t, std::vector<HookAction>> cases[] = {
        {0, {Delivered(L"969123")}},
        {1, {Delivered(kMark + L"969123")}},
        {2, {Delivered(kMark + L"969969123")}},
        {3, {Delivered(kMark + L"971969123")}},
        {4, {}},
        {-1, {}},
    };
    for (const auto& [prefix, expected] : cases) {
        Reader r;
        r.prefix = prefix;
        r.Feed({"down BA/27 t=0", "up BA/27 t=3", "down 39/0A", "up 39/0A", "down 36/07",
                "up 36/07", "down 39/0A", "up 39/0A"});
        r.Feed123Enter(10);
        EXPECT_EQ(r.after, expected) << prefix;
        EXPECT_FALSE(r.state.Capturing) << prefix;
    }
}

TEST(HookTiming, The30MsWindowHoldsAcrossTheCounterWrap) {
    Reader wrap;
    EXPECT_EQ(wrap.Feed({"down BA/27 t=0xFFFFFFF0", "up BA/27 t=0x0000000E"}), "SP"); // 30 ms
    EXPECT_TRUE(wrap.state.Capturing);

    Reader late;
    EXPECT_EQ(late.Feed({"down BA/27 t=0xFFFFFFF0", "up BA/27 t=0x0000000F"}), "SP"); // 31 ms
    EXPECT_FALSE(late.state.Capturing);
    EXPECT_EQ(late.after, std::vector{kRetypedSemicolon});

    Reader shift;
    EXPECT_EQ(shift.Feed({"down A0/2A t=0xFFFFFFFF", "down 35/06 t=0x1D"}), "PS"); // 30 ms
    EXPECT_TRUE(shift.state.Capturing);

    Reader before; // a time stamp before the remembered one is not "within 30 ms"
    EXPECT_EQ(before.Feed({"down A0/2A t=1000", "down 35/06 t=999"}), "PP");
    EXPECT_FALSE(before.state.Capturing);
}

TEST(HookCode, OnlyCodeZeroIsLookedAt) {
    Reader r;
    EXPECT_FALSE(r.Decide(Ev("key 02/00"), -1));
    EXPECT_FALSE(r.Decide(Ev("key 02/00"), 3));
    EXPECT_FALSE(r.state.Capturing);
    r.Decide(Ev("key 02/00"));
    EXPECT_FALSE(r.Decide(Ev("down 31/02"), -1)); // not even during a capture
    EXPECT_TRUE(r.state.Capturing);
}

TEST(HookInjected, InjectedKeysNeverOpenByExactFlagsAndOwnKeysNeverAtAll) {
    Reader semicolon;
    EXPECT_EQ(semicolon.Feed({"down BA/27 t=0 inj", "up BA/27 t=2 inj"}), "PP");
    EXPECT_FALSE(semicolon.state.Capturing);

    Reader right;
    EXPECT_EQ(right.Feed({"key A1/10 f=11"}), "P");
    EXPECT_FALSE(right.state.Capturing);

    // The program's own keys: a "%" typed with Shift and 5, key code 2, a semicolon tap.
    Reader own;
    EXPECT_EQ(own.Feed({"down A0/2A t=0 own", "down 35/06 t=1 own", "key 02/00 own",
                        "down BA/27 t=3 own", "up BA/27 t=4 own"}),
              "PPPPP");
    EXPECT_FALSE(own.state.Capturing);
    EXPECT_TRUE(own.after.empty());
    // ...and during a capture they pass, uncollected.
    own.Feed({"key 02/00", "down 31/02", "up 31/02"});
    EXPECT_EQ(own.Feed({"down 32/03 own", "up 32/03 own", "down 0D/1C own"}), "PPP");
    EXPECT_EQ(own.state.CapturedCode, L"1");
    EXPECT_FALSE(own.state.EndSeen);
}

namespace {

// Delivery and typing that behave as the system does: every key the program types goes back
// through the hook's decision before it reaches the application (here: `reached`).
class LoopbackDesktop : public Desktop, public CodeDelivery {
  public:
    explicit LoopbackDesktop(Reader& reader) : reader_(reader) {}

    Window FindTopLevelWindow(const std::wstring&) override { return 1; }
    bool SetForeground(Window) override { return true; }
    bool WaitUntilFocused(Window, int) override { return true; }
    void DeliverCode(const std::wstring& code) override { TypeText(code + L"\r", true); }
    void TypeText(const std::wstring& text, bool) override {
        for (wchar_t c : text) {
            // Characters with a key of their own go as virtual keys (with Shift where needed),
            // the rest as Unicode packets.
            passed_ = true;
            if (c == L'%') {
                Key(0xA0, 0x2A, false);
                Tap(0x35, 0x06);
                Key(0xA0, 0x2A, true);
            } else if (c == L';') {
                Tap(0xBA, 0x27);
            } else if (c == L'\r') {
                Tap(0x0D, 0x1C);
            } else if ((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z')) {
                Tap(c, 0);
            } else {
                Tap(0xE7, c);
            }
            if (passed_)
                reached += c;
        }
    }
    std::wstring reached;

  private:
    void Key(std::uint32_t vk, std::uint32_t scan, bool up) {
        KeyEvent e{vk, scan, kKeyInjected | (up ? kKeyReleased : 0), ++clock_, kInjectedKeyTag};
        passed_ = !reader_.Decide(e) && passed_;
    }
    void Tap(std::uint32_t vk, std::uint32_t scan) {
        Key(vk, scan, false);
        Key(vk, scan, true);
    }
    Reader& reader_;
    std::uint32_t clock_ = 5000;
    bool passed_ = false;
};

} // namespace

TEST(HookLoopback, TheProgramsOwnTypingPassesThroughWithoutANewCapture) {
    Reader r;
    r.prefix = 1;
    LoopbackDesktop system(r);
    HookActionQueue queue;

    r.Feed({"down BA/27 t=0", "up BA/27 t=40"}); // a slow semicolon
    queue.Add(std::move(r.after));
    r.after.clear();
    queue.RunPending(system, system);
    EXPECT_EQ(system.reached, L";");

    r.Feed({"down BA/27 t=100", "up BA/27 t=101"}); // a reader's burst
    r.Feed123Enter(102);
    queue.Add(std::move(r.after));
    r.after.clear();
    queue.RunPending(system, system);
    EXPECT_EQ(system.reached, L";" + kMark + L"123\r");
    EXPECT_FALSE(r.state.Capturing);

    // A code that itself holds "%" and ";" is typed back without opening a capture.
    queue.Add({Delivered(L"%;5")});
    queue.RunPending(system, system);
    EXPECT_EQ(system.reached, L";" + kMark + L"123\r%;5\r");
    EXPECT_FALSE(r.state.Capturing);
    EXPECT_TRUE(r.after.empty());
}

namespace {

struct RecordingDelivery : CodeDelivery, Desktop {
    std::vector<std::wstring> log;
    std::function<void(const std::wstring&)> during;
    void DeliverCode(const std::wstring& code) override {
        if (code == L"fail")
            throw std::runtime_error("delivery failed");
        log.push_back(L"code " + code);
        if (during)
            during(code);
    }
    Window FindTopLevelWindow(const std::wstring&) override { return 0; }
    bool SetForeground(Window) override { return false; }
    bool WaitUntilFocused(Window, int) override { return false; }
    void TypeText(const std::wstring& text, bool wait) override {
        log.push_back(L"type " + text + (wait ? L" waiting" : L""));
    }
};

} // namespace

TEST(HookActionQueue, RunsEverythingOnceInOrderAlsoWhenCallbacksRunInBetween) {
    HookActionQueue queue;
    RecordingDelivery out;
    EXPECT_FALSE(queue.Add({}));
    EXPECT_TRUE(queue.Add({kRetypedSemicolon, Delivered(L"1"), Delivered(L"fail")}));
    EXPECT_TRUE(queue.Add({Delivered(L"2")}));
    // While "1" is typed, a hook callback decides more; the nested run leaves it to this one.
    out.during = [&](const std::wstring& code) {
        if (code == L"1") {
            queue.Add({Delivered(L"3")});
            queue.RunPending(out, out);
        }
    };
    queue.RunPending(out, out);
    EXPECT_EQ(out.log, (std::vector<std::wstring>{L"type ;", L"code 1", L"code 2", L"code 3"}));
    EXPECT_TRUE(queue.Empty());
    queue.RunPending(out, out);
    EXPECT_EQ(out.log.size(), 4u);
}
