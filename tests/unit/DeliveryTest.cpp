// Code delivery into the window "Quillomarte" (Q), brought forward from behind another (O), with
// the character filter and the Enter setting; 'r' the system keeps the other in front, 's' it
// takes fewer keys than given, 'n' no target. Then what the Settings window shows, and what each
// window receives or the balloon (in brackets).
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
        std::int16_t sendTo, enter;
        char given;
        std::wstring code, shown, received;
    } rows[] = {
        {0, 1, ' ', L"12", L"12", L"Q 12\r"},
        {0, 1, 'r', L"12", L"12", L"(strNotDelivered/EN strNoFocus/EN\n12)"},
        {0, 1, 's', L"12", L"12", L"(strNotDelivered/EN strKeysRefused/EN\n12)"},
        {0, 1, 'n', L"7", L"7", L"O 7\r"},
        {0, 1, ' ', L"-;", L"", L""},
        {0, 1, ' ', L"\u00A0-", L"\u00A0", L""},
        {0, 1, ' ', L"\u00A09\u00A0x", L"\u00A09x", L"Q \u00A09x\r"},
        {0, 1, ' ', L"\u0401\u0451éÀ@[`{/:\u040F\u0450АЯая09azAZ", L"АЯая09azAZ",
         L"Q АЯая09azAZ\r"},
        {1, 1, ' ', L"x\u00A05-A", L"5", L"Q 5\r"},
        {2, 1, ' ', L"\r12\r34\r", L"1234", L"Q 1234\r"},
        {2, 2, ' ', L"\r12\r", L"12", L"Q 12"},
        {0, 0, ' ', longCode + L"x-", longCode + L"x", L"Q " + longCode + L"x"},
    };
    for (const auto& row : rows) {
        AppSettings settings;
        settings.Language = L"EN";
        settings.Filter = row.enter;
        settings.SendTo = row.sendTo;
        fake::FakeDesktop desktop;
        const auto target = row.given == 'n' ? 0 : desktop.AddWindow(kTargetTitle);
        desktop.foreground = desktop.AddWindow(L"O");
        desktop.refuseForeground = row.given == 'r';
        desktop.refuseKeys = row.given == 's';
        Notices notices;
        std::wstring shown;
        Deliverer({settings, desktop, [&](auto& code) { shown = code; }, notices, notices})
            .DeliverCode(row.code);
        for (const auto& [window, text] : desktop.typed)
            notices.shown += (window == target ? L"Q " : L"O ") + text;
        EXPECT_EQ(shown + L"|" + notices.shown, row.shown + L"|" + row.received) << row.code.size();
    }
}
