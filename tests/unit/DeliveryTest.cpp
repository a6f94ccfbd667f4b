// Code delivery into the window "Quillomarte" (Q), brought forward from behind another (O):
// "sendto=N" the character filter (else 0); "enter=N" the Enter setting (else 1); "refused" the
// system keeps the other in front; "short" it takes fewer keys than given; "none" no target.
// Then what the Settings window shows, and what each window receives or the balloon (brackets).
#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "core/ModMainReader.h"

using namespace corv;

TEST(Delivery, IntoTheFocusedTargetPlainOnceOrNowhereWithABalloon) {
    struct Notices : ResStrings, TrayBalloon {
        std::wstring ResStringComm(const std::wstring& key, const std::wstring& language) override {
            return key + L"/" + language;
        }
        void ShowBalloon(const std::wstring& title, const std::wstring& text) override {
            shown += L"(" + title + L" " + text + L")";
        }
        std::wstring shown;
    };
    const std::wstring longCode(40000, L'7');
    const struct {
        std::string given;
        std::wstring code, shown, received;
    } rows[] = {
        {"", L"12", L"12", L"Q 12\r"},
        {"refused", L"12", L"12", L"(strNotDelivered/EN strNoFocus/EN\n12)"},
        {"short", L"12", L"12", L"(strNotDelivered/EN strKeysRefused/EN\n12)"},
        {"none", L"7", L"7", L"O 7\r"},
        {"", L"-;", L"", L""},
        {"", L"\u00A0-", L"\u00A0", L""},
        {"", L"\u00A09\u00A0x", L"\u00A09x", L"Q \u00A09x\r"},
        {"", L"\u0401\u0451éÀ@[`{/:\u040F\u0450АЯая09azAZ", L"АЯая09azAZ", L"Q АЯая09azAZ\r"},
        {"sendto=1", L"x\u00A05-A", L"5", L"Q 5\r"},
        {"sendto=2", L"\r12\r34\r", L"1234", L"Q 1234\r"},
        {"sendto=2 enter=2", L"\r12\r", L"12", L"Q 12"},
        {"enter=0", longCode + L"x-", longCode + L"x", L"Q " + longCode + L"x"},
    };
    for (const auto& row : rows) {
        const auto given = [&](const std::string& word, int otherwise = 0) {
            const auto at = row.given.find(word);
            return at == std::string::npos ? otherwise
                   : word.back() == '='    ? row.given[at + word.size()] - '0'
                                           : 1;
        };
        AppSettings settings;
        settings.Language = L"EN";
        settings.Filter = static_cast<std::int16_t>(given("enter=", 1));
        settings.SendTo = static_cast<std::int16_t>(given("sendto="));
        fake::FakeDesktop desktop;
        const auto target = given("none") ? 0 : desktop.AddWindow(kTargetTitle);
        desktop.foreground = desktop.AddWindow(L"O");
        desktop.refuseForeground = given("refused");
        desktop.refuseKeys = given("short");
        Notices notices;
        std::wstring shown;
        Deliverer({settings, desktop, [&](auto& code) { shown = code; }, notices, notices})
            .DeliverCode(row.code);
        for (const auto& [window, text] : desktop.typed)
            notices.shown += (window == target ? L"Q " : L"O ") + text;
        EXPECT_EQ(shown, row.shown) << row.given;
        EXPECT_EQ(notices.shown, row.received) << row.given;
    }
}
