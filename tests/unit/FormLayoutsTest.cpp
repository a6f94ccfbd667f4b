// The window designs: load order, containers and the lists' contents.
#include <gtest/gtest.h>

#include <set>

#include "LayoutForms.h"
#include "ui/FormLayouts.h"

using namespace corv;

TEST(FormLayouts, SettingsLoadOrderPutsTheConnectButtonAt31) {
    const FormLayout& s = SettingsLayout();
    ASSERT_EQ(s.controls.size(), 38u);
    EXPECT_EQ(s.PositionOf(L"Flash2"), 0);
    EXPECT_EQ(s.PositionOf(L"cbLanguage1"), 3);
    EXPECT_EQ(s.PositionOf(L"frmCom"), 15);
    EXPECT_EQ(s.PositionOf(L"bConnection"), 31);
    EXPECT_EQ(s.At(L"bConnection").kind, ControlKind::MyButton);
    EXPECT_EQ(s.PositionOf(L"mnu_Exit"), 37);
    EXPECT_EQ(s.PositionOf(L"nothing"), -1);
    EXPECT_THROW(s.At(L"nothing"), WindowError);
    EXPECT_EQ(s.At(L"frmCom").caption, L"Настройки на COM");
    EXPECT_EQ(s.At(L"lbComPort").left, 180);
    EXPECT_EQ(s.At(L"lbComPort").top, 360);
    EXPECT_EQ(s.clientWidth, 5730);
    EXPECT_EQ(s.clientHeight, 6270);
}

TEST(FormLayouts, ContainersComeFirstAndNamesAreUnique) {
    for (const FormLayout* f : {&SettingsLayout(), &TestSerialLayout()}) {
        std::set<std::wstring> seen;
        for (const auto& c : f->controls) {
            EXPECT_TRUE(seen.insert(c.name).second) << f->name << L" " << c.name;
            if (!c.container.empty()) {
                const int at = f->PositionOf(c.container);
                ASSERT_GE(at, 0) << c.name;
                const ControlKind k = f->controls[static_cast<std::size_t>(at)].kind;
                EXPECT_TRUE(k == ControlKind::Frame || k == ControlKind::Menu) << c.name;
            }
        }
    }
}

TEST(FormLayouts, ListsHoldTheirItems) {
    const FormLayout& s = SettingsLayout();
    EXPECT_EQ(s.At(L"cComPort").items.size(), 20u);
    EXPECT_EQ(s.At(L"cComPort").items.back(), L"COM20");
    ASSERT_EQ(s.At(L"cBitsPerSecond").items.size(), 18u);
    EXPECT_EQ(s.At(L"cBitsPerSecond").items[11], L"9600");
    EXPECT_EQ(s.At(L"cPrefix").lookedUpItems, 4);
    const auto& langs = s.At(L"cbLanguage1").items;
    ASSERT_EQ(langs.size(), 5u);
    EXPECT_EQ(langs[3], L"Српски");
    EXPECT_EQ(langs[4], L"Română");

    auto form = fake::BuildInMemoryForm(s, [](const std::wstring& k) { return L"<" + k + L">"; });
    EXPECT_EQ(form->ControlCount(), 38);
    EXPECT_EQ(form->Get(L"cSendTo").Item(1), L"<Settings|cSendTo|1>");
    EXPECT_EQ(form->Get(L"cIsKeyBoard").ItemCount(), 2);
    EXPECT_EQ(form->Get(L"bTest").Text(), L"Тест");
    EXPECT_EQ(form->Title(), L"Quillomarte Corvanthelix");
}

TEST(FormLayouts, TwipsBecomePixels) {
    EXPECT_EQ(TwipsToPixels(1440, 96), 96);
    EXPECT_EQ(TwipsToPixels(5730, 96), 382);
    EXPECT_EQ(TwipsToPixels(15, 96), 1);
    EXPECT_EQ(TwipsToPixels(7, 96), 0);
    EXPECT_EQ(TwipsToPixels(5730, 120), 478);
}
