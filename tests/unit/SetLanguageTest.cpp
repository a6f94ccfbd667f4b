// Translating a window from "Forms.lng" and writing a window's template language file.
#include <algorithm>

#include "InMemoryForm.h"
#include "LanguageFixture.h"
#include "LayoutForms.h"

using namespace corv;
using corv::test::LanguageTest;

namespace {

// The title and every control's text and list items.
std::vector<std::wstring> Texts(fake::InMemoryForm& form) {
    std::vector<std::wstring> out{form.Title()};
    for (int i = 0; i < form.ControlCount(); ++i) {
        auto& c = form.ControlAt(i);
        out.push_back(c.Name() + L"=" + c.Text());
        for (int j = 0; c.Kind() == ControlKind::List && j < c.ItemCount(); ++j)
            out.push_back(c.Item(j));
    }
    return out;
}

} // namespace

class SetLanguageTest : public LanguageTest {
  protected:
    std::unique_ptr<fake::InMemoryForm> settingsForm = fake::BuildInMemoryForm(SettingsLayout());
};

TEST_F(SetLanguageTest, OnlyTextsFoundInTheWantedLanguageChange) {
    auto expected = Texts(*settingsForm);
    res.SetLanguage(*settingsForm, L"EN"); // no "Forms.lng"
    EXPECT_EQ(Texts(*settingsForm), expected);
    disk.Put(kForms, L"[Settings|lbComPort]\r\nEN=COM port\r\nRU=COM-порт\r\n"
                     L"[Settings|lbParity]\r\nEN=   \r\n");
    res.SetLanguage(*settingsForm, L"EN");
    std::replace(expected.begin(), expected.end(), std::wstring(L"lbComPort=Com порт"),
                 std::wstring(L"lbComPort=COM port"));
    EXPECT_EQ(Texts(*settingsForm), expected);
    settings.Language = L"RU";
    res.SetLanguage(*settingsForm, L""); // the stored language
    EXPECT_EQ(settingsForm->Get(L"lbComPort").Text(), L"COM-порт");
}

TEST_F(SetLanguageTest, EveryTranslatableKindGetsItsText) {
    fake::InMemoryForm form(L"W", L"Title");
    const ControlKind kinds[] = {ControlKind::TextBox,       ControlKind::RichTextBox,
                                 ControlKind::CommandButton, ControlKind::CheckBox,
                                 ControlKind::Label,         ControlKind::Frame,
                                 ControlKind::MyButton,      ControlKind::MenuEntry};
    std::wstring file = L"[W|ME]\r\nRO=Titlu\r\n";
    for (const ControlKind k : kinds) {
        const std::wstring name(1, static_cast<wchar_t>(L'a' + form.ControlCount()));
        form.Add(name, k, L"old");
        file += L"[w|" + name + L"]\r\nro=" + name + L"\r\n";
    }
    form.Add(L"arr", ControlKind::MyButton, L"old", 2);
    form.Add(L"arr", ControlKind::MyButton, L"old", 0);
    auto& list = form.Add(L"d", ControlKind::List);
    for (const wchar_t* item : {L"0", L"1", L"2"})
        list.AddItem(item);
    list.SetSelectedIndex(1);
    disk.Put(kForms, file + L"[W|arr]\r\nRO=X\r\n[W|arr|2]\r\nRO=A2\r\n"
                            L"[W|d|0]\r\nRO=D0\r\n[W|d|2]\r\nRO=D2\r\n[W|d|3]\r\nRO=D3\r\n");
    res.SetLanguage(form, L"RO");
    EXPECT_EQ(Texts(form), (std::vector<std::wstring>{L"Titlu", L"a=a", L"b=b", L"c=c", L"d=d",
                                                      L"e=e", L"f=f", L"g=g", L"h=old", L"arr=A2",
                                                      L"arr=old", L"d=1", L"D0", L"1", L"D2"}));
}

TEST_F(SetLanguageTest, ConnectButtonTellsWhatItWillDo) {
    disk.Put(kForms, L"[Settings|bConnection]\r\nEN=from forms\r\n"
                     L"[Settings|bTest]\r\nEN=Test\r\n[TestSerial|bNewCode]\r\nEN=New code\r\n");
    state.Connected = true;
    res.SetLanguage(*settingsForm, L"EN");
    EXPECT_EQ(settingsForm->Get(L"bConnection").Text(), L"Изключване"); // built-in fall-back
    EXPECT_EQ(settingsForm->Get(L"bTest").Text(), L"Test");
    disk.Put(kCommon, L"[strConnect]\r\nEN=Connect\r\n");
    state.Connected = false;
    res.SetLanguage(*settingsForm, L"EN");
    EXPECT_EQ(settingsForm->Get(L"bConnection").Text(), L"Connect");
    state.Connected = true;
    res.SetLanguage(*settingsForm, L"RU"); // no entry of its own: the caption stays
    EXPECT_EQ(settingsForm->Get(L"bConnection").Text(), L"Connect");
    auto test = fake::BuildInMemoryForm(TestSerialLayout());
    res.SetLanguage(*test, L"EN"); // fewer than 32 controls
    EXPECT_EQ(test->Get(L"bNewCode").Text(), L"New code");
}

TEST_F(SetLanguageTest, TemplateFileListsTheWindowsTexts) {
    fake::InMemoryForm form(L"W", L"T");
    form.Add(L"x", ControlKind::Label, L"first", 0);
    form.Add(L"e", ControlKind::List);
    form.Add(L"f", ControlKind::Frame, L"frame");
    form.Add(L"x", ControlKind::Label, L"a|vbNewLine|b", 1);
    form.Add(L"c", ControlKind::CommandButton, L"Go");
    form.Add(L"m", ControlKind::MyButton, L"My");
    form.Add(L"t", ControlKind::TextBox, L"text");
    form.Add(L"k", ControlKind::CheckBox, L"Yes");
    form.Add(L"l", ControlKind::List).AddItem(L"one");
    form.ControlAt(8).AddItem(L"two");
    res.GenerateLanguageFile(form);
    res.GenerateLanguageFile(form);
    EXPECT_EQ(disk.Text(L"C:\\Prog\\W.lng").value_or(L""),
              L"[ME]\r\nBG=T\r\n[x]\r\nBG=a|vbNewLine|b\r\n[c]\r\nBG=Go\r\n[t]\r\nBG=text\r\n"
              L"[k]\r\nBG=Yes\r\n[l]\r\nBG0=one\r\nBG1=two\r\n");
    res.GenerateLanguageFile(*settingsForm);
    EXPECT_EQ(Read(L"C:\\Prog\\Settings.lng", L"cComPort", L"BG19"), L"COM20");
}
