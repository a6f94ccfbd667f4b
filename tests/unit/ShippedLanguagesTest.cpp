// The shipped language files: their encoding, and a text for every key the program asks for in
// every language.
#include <cstring>
#include <fstream>
#include <iterator>

#include "LanguageFixture.h"
#include "LayoutForms.h"
#include "core/Text.h"

using namespace corv;
using corv::test::LanguageTest;

namespace {

const wchar_t* const kLanguages[] = {L"BG", L"EN", L"RU", L"SR", L"RO"};

std::string Bytes(const char* name) {
    std::ifstream in(std::string(CORV_SOURCE_DIR) + "/lang/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// UTF-16 little-endian after its byte-order mark; empty when the file is not in that form.
std::wstring DecodeUtf16(const std::string& bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes.compare(0, 2, "\xFF\xFE") != 0)
        return {};
    std::wstring text;
    for (std::size_t i = 2; i < bytes.size(); i += 2)
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

bool HasCyrillic(const std::wstring& s) {
    for (wchar_t c : s)
        if (c >= 0x0400 && c <= 0x04FF)
            return true;
    return false;
}

struct Key {
    std::wstring file; // "Common" or "Forms"
    std::wstring section;
};

// Every section the program reads from the two files.
std::vector<Key> KeysAskedFor() {
    std::vector<Key> keys;
    for (const wchar_t* s :
         {L"strConnect", L"strDisconnect", L"mnuSettings", L"mnuExit", L"strLanguage"})
        keys.push_back({L"Common", s});
    for (const FormLayout* form : {&SettingsLayout(), &TestSerialLayout()}) {
        keys.push_back({L"Forms", form->name + L"|ME"});
        for (const ControlLayout& c : form->controls) {
            const std::wstring section = form->name + L"|" + c.name;
            for (int i = 0; i < c.lookedUpItems; ++i)
                keys.push_back({L"Common", section + L"|" + std::to_wstring(i)});
            if (!c.translated)
                continue;
            if (c.kind != ControlKind::List) {
                keys.push_back({L"Forms", section});
                continue;
            }
            const std::size_t items = c.items.size() + static_cast<std::size_t>(c.lookedUpItems);
            for (std::size_t i = 0; i < items; ++i)
                keys.push_back({L"Forms", section + L"|" + std::to_wstring(i)});
        }
    }
    return keys;
}

} // namespace

class ShippedLanguagesTest : public LanguageTest {
  protected:
    void SetUp() override {
        for (const char* name : {"Common.lng", "Forms.lng"}) {
            const std::string bytes = Bytes(name);
            const std::wstring text = DecodeUtf16(bytes);
            ASSERT_FALSE(text.empty()) << name << " is missing or not UTF-16 with a BOM";
            for (std::size_t i = 0; i < text.size(); ++i) {
                if (text[i] == L'\n') {
                    ASSERT_TRUE(i > 0 && text[i - 1] == L'\r') << name << " has a bare LF";
                }
            }
            ASSERT_EQ(text.substr(text.size() - 2), L"\r\n") << name;
            disk.Put(L"C:\\Prog\\" + std::wstring(name, name + std::strlen(name)), text);
        }
    }

    std::wstring Value(const Key& key, const std::wstring& language) {
        return config.ReadIniValue(key.section, language, L"C:\\Prog\\" + key.file + L".lng", 1024);
    }
};

TEST_F(ShippedLanguagesTest, EveryKeyHasATextInEveryLanguage) {
    const auto keys = KeysAskedFor();
    ASSERT_GT(keys.size(), 40u);
    for (const Key& key : keys)
        for (const wchar_t* language : kLanguages)
            EXPECT_FALSE(TrimSpaces(Value(key, language)).empty())
                << key.file << L" " << key.section << L" " << language;
}

TEST_F(ShippedLanguagesTest, LatinLanguagesShowNoCyrillicButTheLanguageNames) {
    for (const Key& key : KeysAskedFor()) {
        if (key.section.find(L"cbLanguage1") != std::wstring::npos || key.section == L"strLanguage")
            continue;
        for (const wchar_t* language : {L"EN", L"RO"})
            EXPECT_FALSE(HasCyrillic(Value(key, language))) << key.section << L" " << language;
        if (key.section.find(L"|ME") != std::wstring::npos)
            continue;
        for (const wchar_t* language : {L"RU", L"SR"})
            EXPECT_TRUE(HasCyrillic(Value(key, language))) << key.section << L" " << language;
    }
    EXPECT_EQ(res.ResStringComm(L"strLanguage", L"RO"), L"Română");
    EXPECT_EQ(res.ResStringComm(L"mnuExit", L"SR"), L"&Излаз");
}

TEST_F(ShippedLanguagesTest, LanguageNamesMatchTheLanguageList) {
    const auto& names = SettingsLayout().At(L"cbLanguage1").items;
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(res.ResStringComm(L"strLanguage", kLanguages[i]), names[i]);
        // The connect button's file text is the one the connect action shows.
        EXPECT_EQ(Value({L"Forms", L"Settings|bConnection"}, kLanguages[i]),
                  res.ResStringComm(L"strConnect", kLanguages[i]));
    }
}

TEST_F(ShippedLanguagesTest, ChoosingBulgarianAgainRestoresTheDesign) {
    // The design as loaded without language files: captions, and the built-in list texts.
    fake::FakeDisk emptyDisk;
    fake::FakePrivateProfile emptyIni(emptyDisk);
    fake::FakeFileSystem emptyFiles(emptyDisk, L"C:\\Prog");
    Configuration emptyConfig(emptyIni, emptyFiles, registry);
    ResManagerClass builtIn(emptyConfig, emptyFiles, settings, state);
    auto lookUp = [&](const std::wstring& key) { return builtIn.GetResString(key); };
    auto design = fake::BuildInMemoryForm(SettingsLayout(), lookUp);
    auto form = fake::BuildInMemoryForm(SettingsLayout(), lookUp);

    // With the shipped files the lists are filled with the same Bulgarian texts.
    auto shipped = fake::BuildInMemoryForm(
        SettingsLayout(), [&](const std::wstring& key) { return res.GetResString(key); });

    for (const wchar_t* language : {L"EN", L"RO", L"SR", L"RU", L"BG"})
        res.SetLanguage(*form, language);
    for (int i = 0; i < design->ControlCount(); ++i) {
        auto& a = design->ControlAt(i);
        auto& b = form->ControlAt(i);
        auto& c = shipped->ControlAt(i);
        if (a.Kind() == ControlKind::List) {
            ASSERT_EQ(a.ItemCount(), b.ItemCount());
            for (int j = 0; j < a.ItemCount(); ++j) {
                EXPECT_EQ(a.Item(j), b.Item(j)) << a.Name() << L" " << j;
                EXPECT_EQ(a.Item(j), c.Item(j)) << a.Name() << L" " << j;
            }
        } else {
            EXPECT_EQ(a.Text(), b.Text()) << a.Name();
        }
    }
    EXPECT_EQ(form->Title(), design->Title());

    res.SetLanguage(*form, L"RO");
    EXPECT_EQ(form->Get(L"lbParity").Text(), L"Paritate");
    EXPECT_EQ(form->Get(L"cPrefix").Item(2), L"Prefix + cod client");
    EXPECT_EQ(form->Get(L"bConnection").Text(), L"Conectare");
}
