// The window designs: load order, containers and the lists' contents.
#include <gtest/gtest.h>

#include "LayoutForms.h"
#include "ui/FormLayouts.h"

using namespace corv;

TEST(FormLayouts, LoadOrderContainersAndLists) {
    const FormLayout& s = SettingsLayout();
    ASSERT_EQ(s.controls.size(), 38u);
    EXPECT_EQ(s.PositionOf(L"Flash2"), 0);
    EXPECT_EQ(s.PositionOf(L"bConnection"), 31);
    EXPECT_EQ(s.PositionOf(L"mnu_Exit"), 37);
    EXPECT_THROW(s.At(L"nothing"), WindowError);
    for (const FormLayout* f : {&SettingsLayout(), &TestSerialLayout()})
        for (std::size_t i = 0; i < f->controls.size(); ++i) {
            const int container = f->PositionOf(f->controls[i].container);
            EXPECT_LT(container, static_cast<int>(i)) << f->controls[i].name;   // loaded before
            EXPECT_EQ(f->PositionOf(f->controls[i].name), static_cast<int>(i)); // unique names
        }
    auto form = fake::BuildInMemoryForm(s);
    EXPECT_EQ(form->Get(L"cComPort").Item(19), L"COM20");
    EXPECT_EQ(form->Get(L"cBitsPerSecond").Item(11), L"9600");
    EXPECT_EQ(form->Get(L"cPrefix").Item(3), L"Settings|cPrefix|3");
    EXPECT_EQ(form->Get(L"cbLanguage1").Item(4), L"Română");
    EXPECT_EQ(TwipsToPixels(5730, 96), 382);
    EXPECT_EQ(TwipsToPixels(7, 96), 0);
}
