// Translating a window from "Forms.lng" and writing a window's template language file.
#include "LanguageFixture.h"

#include "InMemoryForm.h"
#include "LayoutForms.h"

using namespace corv;
using corv::test::LanguageTest;

namespace {

// Every text of a window: its title, then each control's text and list items.
std::vector<std::wstring> Texts(fake::InMemoryForm& form) {
    std::vector<std::wstring> out{form.Title()};
    for (int i = 0; i < form.ControlCount(); ++i) {
        auto& c = form.ControlAt(i);
        if (c.Kind() == ControlKind::List)
            for (int j = 0; j < c.ItemCount(); ++j)
                out.push_back(c.Name() + L"#" + c.Item(j));
        else
            out.push_back(c.Name() + L"=" + c.Text());
    }
    return out;
}

} // namespace

class SetLanguageTest : public LanguageTest {
  protected:
    std::unique_ptr<fake::InMemoryForm> settingsForm = fake::BuildInMemoryForm(SettingsLayout());
};

TEST_F(SetLanguageTest, WithoutFormsFileNothingChanges) {
    disk.Put(kCommon, L"[strConnect]\r\nEN=Connect\r\n");
    const auto before = Texts(*settingsForm);
    res.SetLanguage(*settingsForm, L"EN");
    EXPECT_EQ(Texts(*settingsForm), before);
    EXPECT_EQ(settingsForm->Get(L"lbComPort").textWrites, 0);
}

TEST_F(SetLanguageTest, OnlyTheTextsFoundChange) {
    disk.Put(kForms, L"[Settings|lbComPort]\r\nEN=COM port\r\n"
                     L"[Settings|lbParity]\r\nEN=   \r\nRU=Чётность\r\n");
    auto expected = Texts(*settingsForm);
    res.SetLanguage(*settingsForm, L"EN");
    const auto after = Texts(*settingsForm);
    ASSERT_EQ(after.size(), expected.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        if (expected[i] == L"lbComPort=Com порт")
            expected[i] = L"lbComPort=COM port";
    EXPECT_EQ(after, expected);
    EXPECT_EQ(settingsForm->Get(L"lbParity").textWrites, 0); // blank value: untouched
}

TEST_F(SetLanguageTest, EveryTranslatableKindGetsItsText) {
    fake::InMemoryForm form(L"W", L"Title");
    form.Add(L"t", ControlKind::TextBox, L"t0");
    form.Add(L"r", ControlKind::RichTextBox, L"r0");
    form.Add(L"c", ControlKind::CommandButton, L"c0");
    form.Add(L"k", ControlKind::CheckBox, L"k0");
    form.Add(L"l", ControlKind::Label, L"l0");
    form.Add(L"f", ControlKind::Frame, L"f0");
    form.Add(L"b", ControlKind::MyButton, L"b0");
    form.Add(L"a", ControlKind::MyButton, L"a0", 2);
    form.Add(L"a", ControlKind::MyButton, L"a0", 0);
    form.Add(L"m", ControlKind::MenuEntry, L"m0");
    form.Add(L"p", ControlKind::Picture);
    auto& list = form.Add(L"d", ControlKind::List);
    for (const wchar_t* item : {L"0", L"1", L"2", L"3"})
        list.AddItem(item);
    list.SetSelectedIndex(1);
    disk.Put(kForms, L"[W|ME]\r\nRO=Titlu\r\n[w|T]\r\nro=T\r\n[W|r]\r\nRO=R\r\n[W|c]\r\nRO=C\r\n"
                     L"[W|k]\r\nRO=K\r\n[W|l]\r\nRO=L\r\n[W|f]\r\nRO=F\r\n[W|b]\r\nRO=B\r\n"
                     L"[W|a]\r\nRO=no index\r\n[W|a|2]\r\nRO=A2\r\n[W|m]\r\nRO=M\r\n"
                     L"[W|p]\r\nRO=P\r\n[W|d|0]\r\nRO=D0\r\n[W|d|2]\r\nRO= D2 \r\n"
                     L"[W|d|3]\r\nRO=D3\r\n[W|d|4]\r\nRO=D4\r\n");
    res.SetLanguage(form, L"RO");
    EXPECT_EQ(form.Title(), L"Titlu");
    EXPECT_EQ(form.ControlAt(0).Text(), L"T");
    EXPECT_EQ(form.ControlAt(1).Text(), L"R");
    EXPECT_EQ(form.ControlAt(2).Text(), L"C");
    EXPECT_EQ(form.ControlAt(3).Text(), L"K");
    EXPECT_EQ(form.ControlAt(4).Text(), L"L");
    EXPECT_EQ(form.ControlAt(5).Text(), L"F");
    EXPECT_EQ(form.ControlAt(6).Text(), L"B");
    EXPECT_EQ(form.ControlAt(7).Text(), L"A2"); // element 2 of the array
    EXPECT_EQ(form.ControlAt(8).Text(), L"a0"); // element 0 has no text of its own
    EXPECT_EQ(form.ControlAt(9).Text(), L"m0"); // menus come from "Common.lng"
    ASSERT_EQ(list.ItemCount(), 4);             // items are never added
    EXPECT_EQ(list.Item(0), L"D0");
    EXPECT_EQ(list.Item(1), L"1");
    EXPECT_EQ(list.Item(2), L"D2"); // the private-profile read trims, as the system's does
    EXPECT_EQ(list.Item(3), L"D3");
    EXPECT_EQ(list.SelectedIndex(), 1);
}

TEST_F(SetLanguageTest, ConnectButtonTellsWhatItWillDo) {
    disk.Put(kForms, L"[Settings|bConnection]\r\nEN=from forms\r\n"
                     L"[Settings|bTest]\r\nEN=Test\r\n[TestSerial|bNewCode]\r\nEN=New code\r\n");
    state.Connected = true;
    res.SetLanguage(*settingsForm, L"EN");
    EXPECT_EQ(settingsForm->Get(L"bConnection").Text(), L"Изключване"); // built-in fall-back
    EXPECT_EQ(settingsForm->Get(L"bTest").Text(), L"Test");

    disk.Put(kCommon, L"[strConnect]\r\nEN=Connect\r\n[strDisconnect]\r\nEN=Disconnect\r\n");
    res.SetLanguage(*settingsForm, L"EN");
    EXPECT_EQ(settingsForm->Get(L"bConnection").Text(), L"Disconnect");
    state.Connected = false;
    res.SetLanguage(*settingsForm, L"EN");
    EXPECT_EQ(settingsForm->Get(L"bConnection").Text(), L"Connect");

    // Without its own entry the button keeps its caption in any state.
    state.Connected = true;
    res.SetLanguage(*settingsForm, L"RU");
    EXPECT_EQ(settingsForm->Get(L"bConnection").Text(), L"Connect");

    // Only position 31 is replaced: the Test window's buttons keep their file texts.
    auto test = fake::BuildInMemoryForm(TestSerialLayout());
    res.SetLanguage(*test, L"EN");
    EXPECT_EQ(test->Get(L"bNewCode").Text(), L"New code");
}

TEST_F(SetLanguageTest, EmptyLanguageMeansTheStoredOne) {
    disk.Put(kForms, L"[Settings|ME]\r\nRU=Настройки\r\nBG=Настройки BG\r\n"
                     L"[Settings|cSendTo|1]\r\nRU=Только цифры\r\n");
    settings.Language = L"RU";
    res.SetLanguage(*settingsForm, L"");
    EXPECT_EQ(settingsForm->Title(), L"Настройки");
    EXPECT_EQ(settingsForm->Get(L"cSendTo").Item(1), L"Только цифры");
    res.SetLanguage(*settingsForm, L"BG");
    EXPECT_EQ(settingsForm->Title(), L"Настройки BG");
    // Switching to a language without entries leaves the previous texts.
    res.SetLanguage(*settingsForm, L"EN");
    EXPECT_EQ(settingsForm->Get(L"cSendTo").Item(1), L"Только цифры");
}

TEST_F(SetLanguageTest, TemplateFileListsTheWindowsBulgarianTexts) {
    settingsForm->Get(L"lbIdent").SetText(L"a|vbNewLine|b");
    res.GenerateLanguageFile(*settingsForm);
    const std::wstring file = L"C:\\Prog\\Settings.lng";
    const std::wstring text = disk.Text(file).value_or(L"");
    EXPECT_EQ(text.rfind(L"[ME]\r\nBG=Quillomarte Corvanthelix\r\n", 0), 0u) << text;
    EXPECT_EQ(Read(file, L"lbIdent", L"BG"), L"a|vbNewLine|b");
    EXPECT_EQ(Read(file, L"lbComPort", L"BG"), L"Com порт");
    EXPECT_EQ(Read(file, L"cComPort", L"BG19"), L"COM20");
    EXPECT_EQ(Read(file, L"cSendTo", L"BG1"), L"Settings|cSendTo|1");
    // Frames, buttons, pictures, timers and menus are left out.
    for (const wchar_t* absent :
         {L"[frmCom]", L"[bConnection]", L"[Flash1]", L"[Timer1]", L"[mnu_Exit]"})
        EXPECT_EQ(text.find(absent), std::wstring::npos) << absent;
    // Sections follow the load order.
    EXPECT_LT(text.find(L"[cbLanguage1]"), text.find(L"[lbIdent]"));
    EXPECT_LT(text.find(L"[lbIdent]"), text.find(L"[lbComPort]"));
    EXPECT_LT(text.find(L"[lbComPort]"), text.find(L"[lblVersion]"));

    res.GenerateLanguageFile(*settingsForm);
    EXPECT_EQ(disk.Text(file).value_or(L""), text);
}

TEST_F(SetLanguageTest, TemplateSharesSectionsOfArraysAndSkipsEmptyLists) {
    fake::InMemoryForm form(L"W", L"T");
    form.Add(L"x", ControlKind::Label, L"first", 0);
    form.Add(L"x", ControlKind::Label, L"second", 1);
    form.Add(L"e", ControlKind::List);
    form.Add(L"c", ControlKind::CommandButton, L"Go");
    form.Add(L"k", ControlKind::CheckBox, L"Yes");
    form.Add(L"r", ControlKind::RichTextBox, L"rich");
    res.GenerateLanguageFile(form);
    EXPECT_EQ(disk.Text(L"C:\\Prog\\W.lng").value_or(L""),
              L"[ME]\r\nBG=T\r\n[x]\r\nBG=second\r\n[c]\r\nBG=Go\r\n[k]\r\nBG=Yes\r\n");

    ini.failWrites = true;
    fake::InMemoryForm other(L"V", L"T");
    res.GenerateLanguageFile(other);
    EXPECT_FALSE(disk.Exists(L"C:\\Prog\\V.lng"));
}
