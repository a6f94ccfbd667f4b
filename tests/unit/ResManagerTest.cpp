// The resource manager over the in-memory disk: look-ups and their fall-backs, the language
// files read once, translating a window, the list of languages and the start-up language.
#include "InMemoryForm.h"
#include "LanguageFixture.h"
#include "localization/Localization.h"

using namespace corv;
using corv::test::LanguageTest;

TEST_F(LanguageTest, LookUpsTakeANonBlankFileTextElseTheBuiltInOne) {
    const std::wstring c = kCommon, r = L"C:\\Prog\\Related Documents\\Common.lng", f = kForms;
    const std::wstring longText = L"[x]\r\nEN=" + std::wstring(1500, L'ж');
    const struct {
        std::wstring file, text;
        char op; // C: ResStringComm, G: GetResString in the language, F: ResStringForm
        std::wstring key, language, expected;
    } cases[] = {
        {L"", L"", 'C', L"strConnect", L"EN", L"Включване"},
        {L"", L"", 'C', L"strdisconnect", L"BG", L""},
        {L"", L"", 'G', L"Settings|cPrefix|2", L"BG", L"Префикс + код клиент"},
        {L"", L"", 'C', L"Settings|cPrefix|2", L"BG", L""},
        {r, L"[strConnect]\r\nEN=related", 'C', L"strConnect", L"EN", L"related"},
        {c, L"[strConnect]\r\nBG=Свържи", 'C', L"strConnect", L"", L"Свържи"},
        {c, L"[STRCONNECT]\r\nen=  \r\nEN=later", 'C', L"strConnect", L"EN", L"Включване"},
        {c, L"[x]\r\nEN=a|vbNewLine|b|VBNEWLINE|", 'G', L"x", L"EN", L"a\r\nb|VBNEWLINE|"},
        {c, L"[x]\r\nEN=a|vbNewLine|b", 'C', L"x", L"EN", L"a|vbNewLine|b"},
        {c, L"[Settings|lblLanguage]\r\nEN=x", 'G', L"Settings|lblLanguage", L"RU",
         L"Избор на език"},
        {c, longText, 'C', L"X", L"en", std::wstring(1023, L'ж')},
        {f, longText, 'F', L"x", L"EN", std::wstring(254, L'ж')},
    };
    for (const auto& t : cases) {
        disk = fake::FakeDisk();
        if (!t.file.empty())
            disk.Put(t.file, t.text);
        res.CurrentLanguage(t.language);
        const std::wstring got = t.op == 'G'   ? res.GetResString(t.key)
                                 : t.op == 'C' ? res.ResStringComm(t.key, t.language)
                                               : res.ResStringForm(t.key, t.language);
        EXPECT_EQ(got, t.expected) << t.text;
    }
}

TEST_F(LanguageTest, TranslatingReadsEachFileOnceAndChangesOnlyTheTextsFound) {
    fake::InMemoryForm form(L"W", L"Title");
    for (const ControlKind k :
         {ControlKind::TextBox, ControlKind::RichTextBox, ControlKind::CommandButton,
          ControlKind::CheckBox, ControlKind::Label, ControlKind::Frame, ControlKind::MyButton,
          ControlKind::MenuEntry, ControlKind::Label})
        form.Add(std::wstring(1, L'a' + form.ControlCount()), k, L"old");
    form.Add(L"arr", ControlKind::MyButton, L"old", 2);
    auto& list = form.Add(L"l", ControlKind::List);
    for (const wchar_t* item : {L"0", L"1", L"2"})
        list.AddItem(item);
    auto settingsForm = fake::BuildInMemoryForm(SettingsLayout());
    state.Connected = true; // the connect button (31) tells what pressing it will do
    settings.Language = L"RO";
    disk.Put(kForms,
             L"[W|ME]\r\nRO=Titlu\r\n[w|a]\r\nro=a\r\n[W|b]\r\nRO=b\r\n[W|c]\r\nRO=c\r\n"
             L"[W|d]\r\nRO=d\r\n[W|e]\r\nRO=e\r\n[W|f]\r\nRO=f\r\nEN=x\r\n[W|g]\r\nRO=g\r\n"
             L"[W|h]\r\nRO=h\r\n[W|i]\r\nRO=   \r\n[W|arr]\r\nRO=X\r\n[W|arr|2]\r\nRO=A2\r\n"
             L"[W|l|0]\r\nRO=D0\r\n[W|l|2]\r\nRO=D2\r\n[W|l|3]\r\nRO=D3\r\n"
             L"[Settings|bConnection]\r\nRO=x\r\n");
    for (int i = 0; i < 3; ++i) {
        res.SetLanguage(form, L"");
        res.SetLanguage(*settingsForm, L"");
    }
    EXPECT_EQ(files.textReads + ini.reads, 1); // "Forms.lng"; there is no "Common.lng"
    std::wstring texts = form.Title();
    for (int i = 0; i < form.ControlCount(); ++i)
        texts += L"," + form.ControlAt(i).Text();
    for (int j = 0; j < list.ItemCount(); ++j)
        texts += L"," + list.Item(j);
    EXPECT_EQ(texts, L"Titlu,a,b,c,d,e,f,g,old,old,A2,,D0,1,D2");
    EXPECT_EQ(settingsForm->Get(L"bConnection").Text(), L"Изключване");
    disk.Put(kCommon, L"[strDisconnect]\r\nRO=Deconectare\r\n");
    for (int i = 0; i < 3; ++i)
        res.SetLanguage(*settingsForm, L"");
    EXPECT_EQ(settingsForm->Get(L"bConnection").Text(), L"Deconectare");
    EXPECT_EQ(files.textReads, 2);
}

TEST_F(LanguageTest, StartUpChoosesTheLanguageAndTheListOffersEveryLanguageByName) {
    const std::wstring cfg = L"C:\\Prog\\Corvanthelix.cfg";
    const std::wstring five = L"BG=Български|EN=English|RU=Русский|SR=Српски|RO=Română";
    const struct {
        std::wstring markers, config, names;  // names: section strLanguage of "Common.lng"
        std::wstring chosen, selected, shown; // shown: code=caption of each entry
    } cases[] = {
        {L"", L"", L"", L"BG", L"BG", five},
        {L"ru en", L"", L"", L"EN", L"EN", five},
        {L"en", L"[Language]\r\nValue=SR", L"", L"SR", L"SR", five},
        {L"", L"[Language]\r\nValue=French", L"", L"French", L"BG", five},
        {L"", L"[Languages]\r\nlng1=bg\r\nlng2=ENX\r\ncap2=mine\r\nlng6=DE\r\nCounter=8", L"",
         L"BG", L"BG", L"BG=Български|EN=mine|RU=Русский|SR=Српски|RO=Română|DE=DE"},
        {L"", L"[Language]\r\nValue=de", L"EN=English (UK)\r\nde=Deutsch\r\nDEU=x", L"de", L"DE",
         L"BG=Български|EN=English (UK)|RU=Русский|SR=Српски|RO=Română|DE=Deutsch"},
    };
    for (const auto& t : cases) {
        disk = fake::FakeDisk();
        for (std::size_t at = 0; at < t.markers.size(); at += 3)
            disk.Put(L"C:\\Prog/StartUp." + t.markers.substr(at, 2), L"");
        if (!t.config.empty())
            disk.Put(cfg, t.config);
        if (!t.names.empty())
            disk.Put(kCommon, L"[strLanguage]\r\n" + t.names);
        settings.Language = res.SetStartUpLanguage();
        InitLanguages(config, res, settings);
        res.GetLanguages(cfg);
        std::wstring shown;
        for (const LanguageEntry& e : res.LanguageList())
            shown += (shown.empty() ? L"" : L"|") + e.Abbreviation + L"=" + e.Caption;
        EXPECT_EQ(settings.Language + L" " + shown, t.chosen + L" " + t.shown) << t.config;
        EXPECT_EQ(res.GetLanguageAbbreviation(res.GetAbrvIndex(settings.Language)), t.selected);
        const std::size_t markers = (t.markers.size() + 1) / 3; // the start consumes one
        EXPECT_EQ(disk.Match(L"C:\\Prog/StartUp.*").size(), markers ? markers - 1 : 0);
    }
}
