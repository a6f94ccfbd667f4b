// The resource manager's built-in texts, look-ups, language list and start-up language, and the
// language part of start-up.
#include "InMemoryForm.h"
#include "LanguageFixture.h"
#include "localization/Localization.h"

using namespace corv;
using corv::test::LanguageTest;

TEST_F(LanguageTest, BuiltInTextsAnswerWithoutLanguageFiles) {
    EXPECT_EQ(res.CountFormRes(), 27);
    EXPECT_EQ(res.CountCommonRes(), 7);
    EXPECT_EQ(res.GetFormKey(0), L"Settings|frmCom");
    EXPECT_EQ(res.GetFormKey(26), L"Settings|lblLanguage");
    EXPECT_EQ(res.GetFormKey(27) + res.GetFormKey(-1) + res.GetCommonKey(7), L"");
    EXPECT_EQ(res.GetCommonKey(1), L"strDisconnect");
    EXPECT_EQ(res.ResStringComm(L"strConnect", L"EN"), L"Включване");
    EXPECT_EQ(res.ResStringComm(L"mnuExit", L"EN"), L"");
    EXPECT_EQ(res.ResStringComm(L"strdisconnect", L"BG"), L""); // exact keys only
    EXPECT_EQ(res.GetResString(L"Settings|cPrefix|2"), L"Префикс + код клиент");
    EXPECT_EQ(res.ResStringComm(L"Settings|cPrefix|2", L"BG"), L""); // common table only
    EXPECT_EQ(res.ResStringForm(L"Settings|bExit", L"EN"), L"Изход");
    res.DefaultFormRes(); // a second copy; look-ups still find the first
    EXPECT_EQ(res.CountFormRes(), 54);
    EXPECT_EQ(res.GetFormKey(27), L"Settings|frmCom");
    EXPECT_EQ(res.CurrentLanguage(), L"BG");
    res.CurrentLanguage(L"English");
    EXPECT_EQ(res.CurrentLanguage(), L"En");
}

TEST_F(LanguageTest, FileTextsWinAndBlankOnesFallBack) {
    disk.Put(kRelated, L"[strConnect]\r\nEN=related\r\n");
    EXPECT_EQ(res.ResStringComm(L"strConnect", L"EN"), L"related");
    const std::wstring longText(1500, L'ж');
    disk.Put(kCommon, L"[strConnect]\r\nBG=Свържи\r\nEN=" + longText +
                          L"\r\n[strDisconnect]\r\nEN=   \r\n"
                          L"[Settings|cSendTo|0]\r\nEN=a|vbNewLine|b|VBNEWLINE|\r\n");
    disk.Put(kForms, L"[Settings|bExit]\r\nEN=" + longText + L"\r\n");
    EXPECT_EQ(res.ResStringComm(L"STRCONNECT", L"en"), std::wstring(1023, L'ж'));
    EXPECT_EQ(res.ResStringForm(L"Settings|bExit", L"EN"), std::wstring(254, L'ж'));
    EXPECT_EQ(res.ResStringComm(L"strConnect", L""), L"Свържи");
    EXPECT_EQ(res.ResStringComm(L"strDisconnect", L"EN"), L"Изключване");
    EXPECT_EQ(res.GetResString(L"Settings|cSendTo|0"), L"Всички"); // current language BG
    res.CurrentLanguage(L"EN");
    EXPECT_EQ(res.GetResString(L"Settings|cSendTo|0"), L"a\r\nb|VBNEWLINE|");
    EXPECT_EQ(res.ResStringComm(L"Settings|cSendTo|0", L"EN"), L"a|vbNewLine|b|VBNEWLINE|");
}

TEST_F(LanguageTest, StartUpMarkersAreTakenInOrderAndConsumedOneAtATime) {
    EXPECT_EQ(res.SetStartUpLanguage(), L"BG");
    for (const wchar_t* m : {L"ru", L"en", L"ro"})
        disk.Put(L"C:\\Prog/StartUp." + std::wstring(m), L"");
    EXPECT_EQ(res.SetStartUpLanguage(), L"EN");
    EXPECT_EQ(files.deleted, std::vector<std::wstring>{L"C:\\Prog/StartUp.en"});
    EXPECT_EQ(res.SetStartUpLanguage(), L"RU");
    EXPECT_EQ(res.SetStartUpLanguage(), L"RO");
    EXPECT_EQ(disk.Count(), 0u);
    disk.Put(L"C:\\Prog/StartUp.sr", L"");
    files.failDeletes = true; // still decides, at every start
    EXPECT_EQ(res.SetStartUpLanguage(), L"SR");
    EXPECT_EQ(res.SetStartUpLanguage(), L"SR");
}

TEST_F(LanguageTest, StartUpRegistersLanguagesAndTheStoredLanguageWins) {
    const std::wstring cfg = config.GetAppFolder() + L"Corvanthelix.cfg";
    disk.Put(kCommon, L"[strLanguage]\r\nRO=Română\r\n");
    InitLanguages(config, res, settings);
    EXPECT_EQ(settings.ConfigFile, cfg);
    EXPECT_EQ(*disk.Text(cfg),
              L"[Languages]\r\nlng1=BG\r\ncap1=\r\nCounter=5\r\nlng2=EN\r\ncap2=\r\n"
              L"lng3=RU\r\ncap3=\r\nlng4=SR\r\ncap4=\r\nlng5=RO\r\n"
              L"cap5=Română\r\n[Language]\r\nValue=BG\r\n");
    const int writes = ini.writes;
    InitLanguages(config, res, settings); // all in place: only the language is written
    EXPECT_EQ(ini.writes, writes + 1);

    disk.Put(cfg, L"[Languages]\r\nlng1=bg\r\nlng2=ENX\r\ncap2=keep\r\nlng3=XX\r\nlng4=SR\r\n"
                  L"lng5=RO\r\nCounter=9\r\n[Language]\r\nValue=SR\r\n");
    settings.Language = L"EN"; // from a marker
    InitLanguages(config, res, settings);
    EXPECT_EQ(settings.Language, L"SR");
    EXPECT_EQ(Read(cfg, L"Languages", L"lng1"), L"BG");   // letter case counts
    EXPECT_EQ(Read(cfg, L"Languages", L"cap2"), L"keep"); // two characters compared
    EXPECT_EQ(Read(cfg, L"Languages", L"lng3"), L"RU");
    EXPECT_EQ(Read(cfg, L"Languages", L"Counter"), L"9"); // later entries stay listed

    disk.Put(cfg, L"[Language]\r\nValue=\"   \"\r\n"); // taken as it stands
    InitLanguages(config, res, settings);
    EXPECT_EQ(settings.Language, L"   ");
}

TEST_F(LanguageTest, LanguageListIsReadSavedAndShown) {
    const std::wstring cfg = L"C:\\App\\x.cfg";
    auto sizeWith = [&](const std::wstring& counter) {
        disk.Put(cfg, L"[Languages]\r\nCounter=" + counter +
                          L"\r\nlng1=EN\r\nlng2=bg\r\ncap2=  \r\nlng4=en\r\ncap4=English\r\n");
        res.GetLanguages(cfg);
        return res.LanguageList().size();
    };
    EXPECT_EQ(sizeWith(L"2.5"), 2u);  // halves round to the even number
    EXPECT_EQ(sizeWith(L"3.5"), 3u);  // lng3 missing
    EXPECT_EQ(sizeWith(L"none"), 1u); // the Bulgarian list
    EXPECT_EQ(res.LanguageList()[0].Caption, L"Български");
    EXPECT_EQ(sizeWith(L"99999"), 1u);
    EXPECT_EQ(sizeWith(L"-1"), 1u); // only the stored language
    disk.Remove(cfg);
    res.GetLanguages(cfg);
    EXPECT_EQ(res.LanguageList().size(), 1u);

    sizeWith(L"4");
    EXPECT_EQ(res.LanguageList()[1].Caption, L"Български"); // a blank caption: the built-in name
    EXPECT_EQ(res.GetAbrvIndex(L"en"), 2);                  // entry 0 is never compared
    EXPECT_EQ(res.GetAbrvIndex(L"XX"), 0);
    EXPECT_EQ(res.GetLanguageAbbreviation(1), L"BG");
    EXPECT_EQ(res.GetLanguageAbbreviation(-1) + res.GetLanguageAbbreviation(3), L"BGBG");

    res.SaveLanguages(L"C:\\App\\to.cfg");
    EXPECT_EQ(*disk.Text(L"C:\\App\\to.cfg"),
              L"[Languages]\r\nlng1=EN\r\ncap1=English\r\nlng2=BG\r\ncap2=Български\r\n"
              L"lng3=EN\r\ncap3=English\r\nCounter=3\r\n");
    fake::InMemoryControl list(L"cbLanguage1", ControlKind::List);
    list.AddItem(L"stale");
    res.CurrentLanguage(L"EN");
    res.FillLanguageCombo(list);
    EXPECT_EQ(list.ItemCount(), 3);
    EXPECT_EQ(list.Item(2), L"English");
    EXPECT_EQ(list.SelectedIndex(), 2); // the last match
    settings.Language.clear();
    sizeWith(L"-1");
    res.FillLanguageCombo(list);
    EXPECT_EQ(list.ItemCount(), 0);
}

TEST_F(LanguageTest, LanguageListOffersEveryLanguageOfTheFilesAndTheStoredOne) {
    const std::wstring cfg = L"C:\\App\\x.cfg";
    const std::wstring five = L"[Languages]\r\nCounter=5\r\nlng1=BG\r\nlng2=EN\r\nlng3=RU\r\n"
                              L"lng4=SR\r\nlng5=RO\r\ncap3=Russian\r\n";
    struct {
        std::wstring languages; // the configuration; empty: no file
        std::wstring names;     // section strLanguage of Common.lng; empty: no file
        std::wstring stored;
        std::wstring shown; // code=caption of each entry
        std::wstring kept;  // the code the stored language's entry stands for
    } cases[] = {
        {five, L"", L"RO", L"BG=Български|EN=English|RU=Russian|SR=Српски|RO=Română", L"RO"},
        {five, L"EN=English (UK)\r\nde=Deutsch\r\nDEU=x\r\n", L"DE",
         L"BG=Български|EN=English (UK)|RU=Russian|SR=Српски|RO=Română|DE=Deutsch", L"DE"},
        {L"", L"EN=English\r\nDE=Deutsch\r\n", L"de", L"BG=Български|EN=English|DE=Deutsch", L"DE"},
        {L"[Languages]\r\nCounter=2\r\nlng1=BG\r\nlng2=EN\r\n", L"", L"fr",
         L"BG=Български|EN=English|FR=FR", L"FR"},
        {L"[Languages]\r\nCounter=1\r\nlng1=BG\r\n", L"", L"French", L"BG=Български", L"BG"},
    };
    for (const auto& c : cases) {
        disk.Remove(cfg);
        disk.Remove(kCommon);
        if (!c.languages.empty())
            disk.Put(cfg, c.languages);
        if (!c.names.empty())
            disk.Put(kCommon, L"[strLanguage]\r\n" + c.names);
        settings.Language = c.stored;
        res.GetLanguages(cfg);
        std::wstring shown;
        for (const LanguageEntry& e : res.LanguageList())
            shown += (shown.empty() ? L"" : L"|") + e.Abbreviation + L"=" + e.Caption;
        EXPECT_EQ(shown, c.shown) << c.stored;
        EXPECT_EQ(res.GetLanguageAbbreviation(res.GetAbrvIndex(c.stored)), c.kept);
    }
}
