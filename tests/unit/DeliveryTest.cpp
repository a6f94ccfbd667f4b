// Code delivery: target activation, the character filters, the identifier box, typing plain
// keys, and the balloon of a code that was not delivered.
#include <gtest/gtest.h>

#include <functional>

#include "FakeDesktop.h"
#include "core/ModMainReader.h"

using namespace corv;

namespace {

const std::wstring kMark(1, L'\u00A0');

// Texts by key and language, and the balloons shown.
struct Notices : ResStrings, TrayBalloon {
    std::wstring ResStringComm(const std::wstring& key, const std::wstring& language) override {
        return key + L"/" + language;
    }
    void ShowBalloon(const std::wstring& title, const std::wstring& text) override {
        shown.push_back(title + L": " + text);
    }
    std::vector<std::wstring> shown;
};

struct DeliveryFixture : ::testing::Test {
    AppSettings settings;
    fake::FakeDesktop desktop;
    std::wstring ident; // what the Settings window was given to show
    Notices notices;
    Deliverer deliverer{
        {settings, desktop, [this](const std::wstring& code) { ident = code; }, notices, notices}};
    Desktop::Window target = desktop.AddWindow(L"Quillomarte");
    Desktop::Window other = desktop.AddWindow(L"Other");

    std::wstring TypedIntoTarget() { return desktop.typed[target]; }
    void Deliver(std::int16_t prefix, const std::wstring& code) {
        deliverer.DeliverCode(*ApplyPrefix(prefix, code));
    }
};

} // namespace

TEST(Filters, KeepLettersDigitsAndALeadingMark) {
    EXPECT_EQ(FilterAlphanumeric(L"Ab-12 Жж;"), L"Ab12Жж");
    EXPECT_EQ(FilterAlphanumeric(kMark + L"9" + kMark + L"x"), kMark + L"9x");
    // Outside the ranges: Ё/ё, diacritics, the letters next to the ranges' ends.
    EXPECT_EQ(FilterAlphanumeric(L"\u0401\u0451éÀ@[`{/:\u040F\u0450АЯая"), L"АЯая");
    EXPECT_EQ(FilterAlphanumeric(L"09azAZ"), L"09azAZ");
    EXPECT_EQ(FilterDigits(L"A12-34"), L"1234");
    EXPECT_EQ(FilterDigits(kMark + L"969" + L"12AB34"), kMark + L"9691234");
    EXPECT_EQ(FilterDigits(L"x" + kMark + L"5"), L"5");
    EXPECT_EQ(FilterDigits(L""), L"");
    EXPECT_EQ(FilterAlphanumeric(kMark), kMark);
}

TEST_F(DeliveryFixture, ActivatesTheTargetAndWaitsForItsFocusBeforeTyping) {
    desktop.foreground = other;
    Deliver(0, L"12");
    const std::wstring t = std::to_wstring(target);
    EXPECT_EQ(desktop.calls, (std::vector<std::wstring>{L"find Quillomarte", L"foreground " + t,
                                                        L"wait " + t + L" 500", L"modifiers 500",
                                                        L"type 12\r (wait)"}));
}

// Each case starts from a fresh desktop: the target behind the window "Other", which has the
// focus; the same delivery goes on from case to case, so that each code is tried afresh.
TEST_F(DeliveryFixture, TypedIntoTheFocusedTargetPlainOrNowhereWithABalloon) {
    const int ctrl = 0xA2, shift = 0xA0;
    const std::wstring refused = L"strNotDelivered/EN: strNoFocus/EN\n12";
    const std::wstring blocked = L"strNotDelivered/EN: strKeysRefused/EN\n12";
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::wstring code, intoTarget, balloon;
    } cases[] = {
        {"behind another window", [] {}, L"12", L"12\r", L""},
        {"minimised: restored first", [&] { desktop.minimised = {target}; }, L"12", L"12\r", L""},
        {"activation refused", [&] { desktop.refuseForeground = true; }, L"12", L"", refused},
        {"Ctrl held throughout: let go first", [&] { desktop.held = {ctrl}; }, L"12", L"12\r", L""},
        {"Shift let go during the wait", [&] { desktop.held = desktop.heldUntilWait = {shift}; },
         L"12", L"12\r", L""},
        {"keys refused by the system", [&] { desktop.refuseKeys = true; }, L"12", L"", blocked},
        {"nothing left after the filter", [] {}, L"-;", L"", L""},
        {"only the mark left", [] {}, kMark + L"-", L"", L""},
    };
    settings.Language = L"EN";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        desktop = fake::FakeDesktop();
        target = desktop.AddWindow(L"Quillomarte");
        other = desktop.AddWindow(L"Other");
        desktop.foreground = other;
        notices.shown.clear();
        c.arrange();
        deliverer.DeliverCode(c.code);
        EXPECT_EQ(desktop.typed[target], c.intoTarget);
        EXPECT_EQ(desktop.typed[other], L"");
        EXPECT_EQ(notices.shown, c.balloon.empty() ? std::vector<std::wstring>{}
                                                   : std::vector<std::wstring>{c.balloon});
        EXPECT_EQ(ident, FilterAlphanumeric(c.code)); // visible whatever happened
        EXPECT_TRUE(desktop.minimised.empty());
    }
    EXPECT_EQ(deliverer.FailureCount(), 2);
    ASSERT_TRUE(deliverer.LastFailure());
    EXPECT_EQ(deliverer.LastFailure()->reason, DeliveryFailure::Reason::KeysRefused);
    EXPECT_EQ(deliverer.LastFailure()->code, L"12");
}

TEST_F(DeliveryFixture, WithoutTheTargetKeysGoToTheFocusedWindow) {
    fake::FakeDesktop bare;
    bare.foreground = bare.AddWindow(L"quillomarte"); // the title must match exactly
    Deliverer d({settings, bare, {}, notices, notices});
    EXPECT_EQ(ActivateTargetWindow(bare, L"Quillomarte"), Activation::NoWindow);
    d.DeliverCode(L"7");
    EXPECT_EQ(bare.typed[bare.foreground], L"7\r");
    EXPECT_TRUE(notices.shown.empty());
}

TEST_F(DeliveryFixture, FiltersBySendTo) {
    settings.SendTo = 1;
    Deliver(2, L"12AB34");
    EXPECT_EQ(TypedIntoTarget(), kMark + L"9691234\r");
    EXPECT_EQ(ident, kMark + L"9691234");

    desktop.typed.clear();
    Deliver(0, L"A12-34");
    EXPECT_EQ(TypedIntoTarget(), L"1234\r");

    desktop.typed.clear();
    settings.SendTo = 0;
    Deliver(0, L"Ab-12 Жж;");
    EXPECT_EQ(TypedIntoTarget(), L"Ab12Жж\r");

    // Any other value types the code as it is, command-like characters included.
    desktop.typed.clear();
    settings.SendTo = 2;
    settings.Filter = 0;
    Deliver(0, L"+^%~(){}[] {");
    EXPECT_EQ(TypedIntoTarget(), L"+^%~(){}[] {");
}

TEST_F(DeliveryFixture, CarriageReturnsGiveWayToOneFinalEnter) {
    settings.SendTo = 2;
    Deliver(0, L"\r12\r34\r");
    EXPECT_EQ(ident, L"1234");
    EXPECT_EQ(TypedIntoTarget(), L"1234\r");

    desktop.typed.clear();
    settings.Filter = 0;
    Deliver(0, L"\r12\r");
    EXPECT_EQ(TypedIntoTarget(), L"12");
}

TEST_F(DeliveryFixture, CodesLongerThanTheOldLimitAreTypedWhole) {
    settings.Filter = 0;
    const std::wstring code(40000, L'7');
    Deliver(0, code + L"x-");
    EXPECT_EQ(TypedIntoTarget(), code + L"x");
}
