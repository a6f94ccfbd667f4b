// Code delivery: target activation, the character filters, the identifier box and typing.
#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "InMemoryForm.h"
#include "core/ModMainReader.h"

using namespace corv;

namespace {

const std::wstring kMark(1, L'\u00A0');

struct DeliveryFixture : ::testing::Test {
    AppSettings settings;
    fake::FakeDesktop desktop;
    fake::InMemoryForm form{L"Settings"};
    fake::InMemoryControl& ident = form.Add(L"lbIdent", ControlKind::TextBox);
    bool shown = false;
    Deliverer deliverer{settings, desktop, ident, [this] { return shown; }};
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
    ASSERT_EQ(desktop.calls.size(), 4u);
    EXPECT_EQ(desktop.calls[0], L"find Quillomarte");
    EXPECT_EQ(desktop.calls[1], L"foreground " + std::to_wstring(target));
    EXPECT_EQ(desktop.calls[2], L"wait " + std::to_wstring(target) + L" 500");
    EXPECT_EQ(desktop.calls[3], L"type 12\r (wait)");
    EXPECT_EQ(TypedIntoTarget(), L"12\r");
    EXPECT_TRUE(desktop.typed[other].empty());

    // When the focus does not arrive in time, the code is typed all the same.
    desktop.focusNeverArrives = true;
    EXPECT_TRUE(ActivateTargetWindow(desktop, L"Quillomarte"));
    Deliver(0, L"3");
    EXPECT_EQ(TypedIntoTarget(), L"12\r3\r");
}

TEST_F(DeliveryFixture, WithoutTheTargetKeysGoToTheFocusedWindow) {
    fake::FakeDesktop bare;
    bare.foreground = bare.AddWindow(L"quillomarte"); // the title must match exactly
    Deliverer d(settings, bare, ident, {});
    EXPECT_FALSE(ActivateTargetWindow(bare, L"Quillomarte"));
    d.DeliverCode(L"7");
    EXPECT_EQ(bare.typed[bare.foreground], L"7\r");

    desktop.refuseForeground = true;
    EXPECT_FALSE(ActivateTargetWindow(desktop, L"Quillomarte"));
    EXPECT_EQ(desktop.calls.back(), L"foreground " + std::to_wstring(target)); // no wait
    desktop.refuseForeground = false;
    EXPECT_TRUE(ActivateTargetWindow(desktop, L"Quillomarte"));
    EXPECT_EQ(desktop.foreground, target);
}

TEST_F(DeliveryFixture, FiltersBySendTo) {
    settings.SendTo = 1;
    Deliver(2, L"12AB34");
    EXPECT_EQ(TypedIntoTarget(), kMark + L"9691234\r");
    EXPECT_EQ(ident.Text(), kMark + L"9691234");

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

TEST_F(DeliveryFixture, CarriageReturnsGiveWayToOneFinalEnterAndEmptyCodes) {
    settings.SendTo = 2;
    Deliver(0, L"\r12\r34\r");
    EXPECT_EQ(ident.Text(), L"1234");
    EXPECT_EQ(TypedIntoTarget(), L"1234\r");

    desktop.typed.clear();
    settings.Filter = 0;
    Deliver(0, L"\r12\r");
    EXPECT_EQ(TypedIntoTarget(), L"12");

    // A code that filters down to nothing types the lone Enter, or nothing at all.
    settings.SendTo = 0;
    settings.Filter = 1;
    desktop.typed.clear();
    Deliver(0, L"--");
    EXPECT_EQ(TypedIntoTarget(), L"\r");
    settings.Filter = 0;
    desktop.calls.clear();
    Deliver(0, L"--");
    EXPECT_EQ(desktop.calls.size(), 3u); // find, foreground, wait: no typing
}

TEST_F(DeliveryFixture, IdentBoxGetsTheFocusOnlyWhileSettingsIsShown) {
    Deliver(1, L"55");
    EXPECT_EQ(ident.Text(), kMark + L"55");
    EXPECT_FALSE(ident.focused);
    EXPECT_EQ(ident.selLength, 0);

    shown = true;
    Deliver(0, L"123");
    EXPECT_EQ(ident.Text(), L"123");
    EXPECT_TRUE(ident.focused);
    EXPECT_EQ(ident.selStart, 0);
    EXPECT_EQ(ident.selLength, 3);
}

TEST_F(DeliveryFixture, CodesLongerThanTheOldLimitAreTypedWhole) {
    settings.Filter = 0;
    const std::wstring code(40000, L'7');
    Deliver(0, code + L"x-");
    EXPECT_EQ(TypedIntoTarget(), code + L"x");
}
