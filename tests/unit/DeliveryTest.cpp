// Code delivery into the window "Quillomarte" (Q), brought forward from behind another (O). Given:
//   "sendto=N"  the character filter (else 0);  "noenter"  no Enter at the end;  "min"  the
//   target is minimised;  "refused"  the system keeps another window in front;  "ctrl"  Ctrl held
//   throughout;  "shift"  Shift let go during the wait;  "short"  the system takes fewer keys
//   than it is given;  "none"  there is no target window
// Then what the Settings window shows, what each window receives, and the reason a balloon
// gives for a code that was not typed.
#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "core/ModMainReader.h"

using namespace corv;

namespace {

struct Notices : ResStrings, TrayBalloon {
    std::wstring ResStringComm(const std::wstring& key, const std::wstring& language) override {
        return key + L"/" + language;
    }
    void ShowBalloon(const std::wstring& title, const std::wstring& text) override {
        shown += title + L": " + text;
    }
    std::wstring shown;
};

} // namespace

TEST(Delivery, TypedIntoTheFocusedTargetPlainOnceOrNowhereWithABalloon) {
    const std::wstring longCode(40000, L'7');
    const struct {
        std::string given;
        std::wstring code, shown, received, balloon;
    } rows[] = {
        {"", L"12", L"12", L"Q 12\r", L""},
        {"min", L"12", L"12", L"Q 12\r", L""},
        {"refused", L"12", L"12", L"", L"strNoFocus"},
        {"ctrl", L"12", L"12", L"Q 12\r", L""},
        {"shift", L"12", L"12", L"Q 12\r", L""},
        {"short", L"12", L"12", L"", L"strKeysRefused"},
        {"none", L"7", L"7", L"O 7\r", L""},
        // Nothing left to type, not even the Enter.
        {"", L"-;", L"", L"", L""},
        {"", L"\u00A0-", L"\u00A0", L"", L""},
        // The filters keep a prefix mark only in the first place.
        {"", L"Ab-12 Жж;", L"Ab12Жж", L"Q Ab12Жж\r", L""},
        {"", L"\u00A09\u00A0x", L"\u00A09x", L"Q \u00A09x\r", L""},
        {"", L"\u0401\u0451éÀ@[`{/:\u040F\u0450АЯая09azAZ", L"АЯая09azAZ", L"Q АЯая09azAZ\r", L""},
        {"sendto=1", L"\u00A096912AB34", L"\u00A09691234", L"Q \u00A09691234\r", L""},
        {"sendto=1", L"x\u00A05-A", L"5", L"Q 5\r", L""},
        {"sendto=2 noenter", L"+^%~(){}[] {", L"+^%~(){}[] {", L"Q +^%~(){}[] {", L""},
        // Carriage returns give way to one Enter at the end.
        {"sendto=2", L"\r12\r34\r", L"1234", L"Q 1234\r", L""},
        {"sendto=2 noenter", L"\r12\r", L"12", L"Q 12", L""},
        {"noenter", longCode + L"x-", longCode + L"x", L"Q " + longCode + L"x", L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.given);
        const auto given = [&](const char* word) {
            return row.given.find(word) != std::string::npos;
        };
        AppSettings settings;
        settings.Language = L"EN";
        settings.Filter = given("noenter") ? 0 : 1;
        settings.SendTo = static_cast<std::int16_t>(given("sendto=") ? row.given[7] - '0' : 0);
        fake::FakeDesktop desktop;
        const auto target = given("none") ? 0 : desktop.AddWindow(kTargetTitle);
        desktop.foreground = desktop.AddWindow(L"O");
        desktop.refuseForeground = given("refused");
        desktop.refuseKeys = given("short");
        if (given("min"))
            desktop.minimised = {target};
        if (given("ctrl"))
            desktop.held = {0xA2};
        if (given("shift"))
            desktop.held = desktop.heldUntilWait = {0xA0};
        Notices notices;
        std::wstring shown;
        Deliverer(
            {settings, desktop, [&](const std::wstring& code) { shown = code; }, notices, notices})
            .DeliverCode(row.code);
        std::wstring received;
        for (const auto& [window, text] : desktop.typed)
            received += text.empty() ? L"" : (window == target ? L"Q " : L"O ") + text;
        EXPECT_EQ(shown, row.shown);
        EXPECT_EQ(received, row.received);
        EXPECT_EQ(notices.shown, row.balloon.empty() ? L""
                                                     : L"strNotDelivered/EN: " + row.balloon +
                                                           L"/EN\n" + row.shown);
    }
}
