// The resource manager over the in-memory disk: look-ups and their fall-backs, and translating
// a window from language files read once.
#include "InMemoryForm.h"
#include "LanguageFixture.h"

using namespace corv;
using corv::test::LanguageTest;

// Each case: the file and its text, then ResStringComm (C) or GetResString in the language (G).
TEST_F(LanguageTest, LookUpsTakeANonBlankFileTextElseTheBuiltInOne) {
    const std::wstring c = kCommon, r = L"C:\\Prog\\Related Documents\\Common.lng";
    const struct {
        std::wstring file, text, op, key, language, expected;
    } cases[] = {
        {L"", L"", L"C", L"strConnect", L"EN", L"Включване"},
        {L"", L"", L"C", L"strdisconnect", L"BG", L""},
        {L"", L"", L"G", L"Settings|cPrefix|2", L"BG", L"Префикс + код клиент"},
        {L"", L"", L"C", L"Settings|cPrefix|2", L"BG", L""},
        {r, L"[strConnect]\r\nEN=related", L"C", L"strConnect", L"EN", L"related"},
        {c, L"[strConnect]\r\nBG=Свържи", L"C", L"strConnect", L"", L"Свържи"},
        {c, L"[STRCONNECT]\r\nen=  \r\nEN=later", L"C", L"strConnect", L"EN", L"Включване"},
        {c, L"[x]\r\nEN=a|vbNewLine|b|VBNEWLINE|", L"G", L"x", L"EN", L"a\r\nb|VBNEWLINE|"},
        {c, L"[x]\r\nEN=a|vbNewLine|b", L"C", L"x", L"EN", L"a|vbNewLine|b"},
        {c, L"[Settings|lbSendTo]\r\nEN=x", L"G", L"Settings|lbSendTo", L"RU", L"Символи"},
        {c, L"[x]\r\nEN=" + std::wstring(1500, L'ж'), L"C", L"X", L"en", std::wstring(1023, L'ж')},
    };
    for (const auto& t : cases) {
        disk = fake::FakeDisk();
        if (!t.file.empty())
            disk.Put(t.file, t.text);
        res.CurrentLanguage(t.language);
        EXPECT_EQ(t.op == L"G" ? res.GetResString(t.key) : res.ResStringComm(t.key, t.language),
                  t.expected)
            << t.text;
    }
    disk.Put(c, L"[strConnect]\r\nEN=Connect"); // there, but unreadable, then not found
    for (bool* fault : {&files.failReads, &files.failSearches}) {
        *fault = true;
        EXPECT_EQ(res.ResStringComm(L"strConnect", L"EN"), L"Включване");
        *fault = false;
    }
}

TEST_F(LanguageTest, TranslatingReadsEachFileOnceAndChangesOnlyTheTextsFound) {
    fake::InMemoryForm form(L"W", L"Title");
    std::wstring file = L"[W|ME]\r\nRO=Titlu\r\n[W|i]\r\nRO=   \r\n[W|arr|2]\r\nRO=A2\r\n"
                        L"[W|l|0]\r\nro=D0\r\n[w|L|2]\r\nRO=D2\r\n[W|l|3]\r\nRO=D3\r\n"
                        L"[Settings|bConnection]\r\nRO=x\r\n[W|arr]\r\nRO=X\r\n";
    for (const auto k : {ControlKind::TextBox, ControlKind::RichTextBox, ControlKind::CommandButton,
                         ControlKind::CheckBox, ControlKind::Label, ControlKind::Frame,
                         ControlKind::MyButton, ControlKind::MenuEntry, ControlKind::Label}) {
        const std::wstring name(1, L'a' + form.ControlCount());
        form.Add(name, k, L"old");
        file += L"[W|" + name + L"]\r\nEN=x\r\nRO=" + name + L"\r\n";
    }
    form.Add(L"arr", ControlKind::MyButton, L"old", 2);
    auto& list = form.Add(L"l", ControlKind::List);
    for (const wchar_t* item : {L"0", L"1", L"2"})
        list.AddItem(item);
    auto settingsForm = fake::BuildInMemoryForm(SettingsLayout());
    state.Connected = true; // the connect button (31) tells what pressing it will do
    settings.Language = L"RO";
    disk.Put(kForms, file);
    for (const bool commonThere : {false, true}) {
        if (commonThere)
            disk.Put(kCommon, L"[strDisconnect]\r\nRO=Deconectare\r\n");
        for (int i = 0; i < 3; ++i)
            res.SetLanguage(form, L""), res.SetLanguage(*settingsForm, L"");
        EXPECT_EQ(settingsForm->Get(L"bConnection").Text(),
                  commonThere ? L"Deconectare" : L"Изключване");
        EXPECT_EQ(files.textReads + ini.reads, commonThere ? 2 : 1); // once, until written
    }
    std::wstring texts = form.Title();
    for (int i = 0; i < form.ControlCount(); ++i)
        texts += L"," + form.ControlAt(i).Text();
    for (int j = 0; j < list.ItemCount(); ++j)
        texts += L"," + list.Item(j);
    EXPECT_EQ(texts, L"Titlu,a,b,c,d,e,f,g,old,old,A2,,D0,1,D2");
}

// Markers StartUp.<code> beside the program choose the first start's language, one at a time in
// the order of their names; one that cannot be deleted still decides, at every start.
TEST_F(LanguageTest, StartUpMarkersAreTakenInOrderAndConsumedOneAtATime) {
    EXPECT_EQ(res.SetStartUpLanguage(), L"BG");
    for (const wchar_t* m : {L"ru", L"en", L"ro"})
        disk.Put(L"C:\\Prog/StartUp." + std::wstring(m), L"");
    for (const wchar_t* wanted : {L"EN", L"RU", L"RO", L"BG"})
        EXPECT_EQ(res.SetStartUpLanguage(), wanted);
    EXPECT_EQ(files.deleted.size(), 3u);
    disk.Put(L"C:\\Prog/StartUp.sr", L"");
    files.failDeletes = true;
    EXPECT_EQ(res.SetStartUpLanguage() + res.SetStartUpLanguage(), L"SRSR");
}
