// The shipped language files: UTF-16 with CRLF, and a text for every key the program asks for in
// every language.
#include <algorithm>
#include <fstream>
#include <iterator>

#include "LanguageFixture.h"
#include "LayoutForms.h"
#include "ShippedFiles.h"
#include "common/Text.h"
#include "core/ModMainReader.h"

using namespace corv;

class ShippedLanguagesTest : public corv::test::LanguageTest {
  protected:
    void SetUp() override {
        for (const std::string name : {"Common.lng", "Forms.lng"}) {
            const std::wstring text = fake::ShippedLanguageText(name);
            ASSERT_FALSE(text.empty()) << name << " is missing or not UTF-16 with a BOM";
            const auto lf = std::count(text.begin(), text.end(), L'\n');
            const auto crlf = (text.size() - ReplaceAll(text, L"\r\n", L"").size()) / 2;
            EXPECT_EQ(static_cast<std::size_t>(lf), crlf) << name << " has a bare line feed";
            disk.Put(L"C:\\Prog\\" + std::wstring(name.begin(), name.end()), text);
        }
    }
};

TEST_F(ShippedLanguagesTest, EveryKeyHasATextInEveryLanguage) {
    std::vector<std::pair<std::wstring, std::wstring>> keys; // file, section
    for (const wchar_t* s : {L"strConnect", L"strDisconnect", L"mnuSettings", L"mnuExit",
                             L"strLanguage", L"strTipPort", L"strTipKeyboard",
                             L"strTipNotConnected", L"strTipRetrying", L"strTipDropped"})
        keys.emplace_back(kCommon, s);
    for (const FormLayout* form : {&SettingsLayout(), &TestSerialLayout()}) {
        keys.emplace_back(kForms, form->name + L"|ME");
        for (const ControlLayout& c : form->controls) {
            const std::wstring section = form->name + L"|" + c.name;
            for (int i = 0; i < c.lookedUpItems; ++i)
                keys.emplace_back(kCommon, section + L"|" + DecimalText(i));
            if (c.translated && c.kind != ControlKind::List)
                keys.emplace_back(kForms, section);
            const std::size_t items = c.items.size() + static_cast<std::size_t>(c.lookedUpItems);
            for (std::size_t i = 0; c.translated && i < items; ++i)
                keys.emplace_back(kForms, section + L"|" + DecimalText(static_cast<long long>(i)));
        }
    }
    ASSERT_EQ(keys.size(), 20u + 2u + 18u + 10u + 1u); // common, titles, captions, items, test
    for (const wchar_t* s : kNotDeliveredKeys)
        keys.emplace_back(kCommon, s);
    for (const auto& [file, section] : keys)
        for (const wchar_t* language : {L"BG", L"EN", L"RU", L"SR", L"RO"})
            EXPECT_NE(TrimSpaces(config.ReadIniValue(section, language, file, 1024)), L"")
                << file << L" " << section << L" " << language;
}

TEST_F(ShippedLanguagesTest, LanguagesTranslateAndBulgarianRestoresTheDesign) {
    const auto common = disk.Text(kCommon);
    disk.Remove(kCommon); // the design: captions and the built-in list texts
    auto lookUp = [&](const std::wstring& key) { return res.GetResString(key); };
    const auto design = fake::BuildInMemoryForm(SettingsLayout(), lookUp);
    disk.Put(kCommon, *common);
    auto form = fake::BuildInMemoryForm(SettingsLayout(), lookUp);
    const wchar_t* codes[] = {L"BG", L"EN", L"RU", L"SR", L"RO"};
    for (int i : {4, 3, 2, 1}) {
        res.SetLanguage(*form, codes[i]);
        EXPECT_EQ(form->Get(L"bConnection").Text(), res.ResStringComm(L"strConnect", codes[i]));
        EXPECT_EQ(res.ResStringComm(L"strLanguage", codes[i]), form->Get(L"cbLanguage1").Item(i));
    }
    EXPECT_EQ(form->Get(L"cPrefix").Item(2), L"Prefix + customer code");
    res.SetLanguage(*form, L"BG");
    for (int i = 0; i < design->ControlCount(); ++i) {
        auto& a = design->ControlAt(i);
        auto& b = form->ControlAt(i);
        EXPECT_EQ(a.Text(), b.Text()) << a.Name();
        for (int j = 0; a.Kind() == ControlKind::List && j < a.ItemCount(); ++j)
            EXPECT_EQ(a.Item(j), b.Item(j)) << a.Name() << L" " << j;
    }
}
