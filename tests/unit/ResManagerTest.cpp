// The resource manager's built-in texts, look-ups, language list and start-up language, and the
// language part of start-up.
#include "LanguageFixture.h"
#include "localization/Localization.h"

#include "InMemoryForm.h"

using namespace corv;
using corv::test::LanguageTest;

TEST_F(LanguageTest, ConstructionFillsTheBuiltInTables) {
    EXPECT_EQ(res.CurrentLanguage(), L"BG");
    EXPECT_TRUE(res.LanguageList().empty());
    EXPECT_EQ(res.CountFormRes(), 27);
    EXPECT_EQ(res.CountCommonRes(), 2);
    EXPECT_EQ(res.GetFormKey(0), L"Settings|frmCom");
    EXPECT_EQ(res.GetFormKey(16), L"Settings|cSendTo|0");
    EXPECT_EQ(res.GetFormKey(26), L"Settings|lblLanguage");
    EXPECT_EQ(res.GetFormKey(27), L"");
    EXPECT_EQ(res.GetFormKey(-1), L"");
    EXPECT_EQ(res.GetCommonKey(0), L"strConnect");
    EXPECT_EQ(res.GetCommonKey(1), L"strDisconnect");
    EXPECT_EQ(res.GetCommonKey(2), L"");

    // A second fill appends a copy; look-ups still find the first.
    res.DefaultFormRes();
    EXPECT_EQ(res.CountFormRes(), 54);
    EXPECT_EQ(res.GetFormKey(27), L"Settings|frmCom");
    EXPECT_EQ(res.GetResString(L"Settings|frmCom"), L"Настройки на Com");
}

TEST_F(LanguageTest, CurrentLanguageKeepsTwoCharactersAsGiven) {
    res.CurrentLanguage(L"English");
    EXPECT_EQ(res.CurrentLanguage(), L"En");
    res.CurrentLanguage(L"r");
    EXPECT_EQ(res.CurrentLanguage(), L"r");
    res.CurrentLanguage(L"");
    EXPECT_EQ(res.CurrentLanguage(), L"");
}

TEST_F(LanguageTest, WithoutLanguageFilesTheBuiltInTextsAnswer) {
    EXPECT_EQ(res.ResStringComm(L"strConnect", L"EN"), L"Включване");
    EXPECT_EQ(res.ResStringComm(L"strDisconnect", L"RU"), L"Изключване");
    EXPECT_EQ(res.ResStringComm(L"mnuExit", L"EN"), L"");
    EXPECT_EQ(res.GetResString(L"Settings|cPrefix|2"), L"Префикс + код клиент");
    EXPECT_EQ(res.GetResString(L"Settings|lblLanguage"), L"Избор на език");
    EXPECT_EQ(res.ResStringComm(L"Settings|cPrefix|2", L"BG"), L""); // common table only
    EXPECT_EQ(res.GetResString(L"strConnect"), L"");                 // window table only
    EXPECT_EQ(res.ResStringForm(L"Settings|bExit", L"EN"), L"Изход");
    // The built-in tables match keys exactly, letter case included.
    EXPECT_EQ(res.ResStringComm(L"strdisconnect", L"BG"), L"");
    EXPECT_EQ(res.GetResString(L"settings|bExit"), L"");
}

TEST_F(LanguageTest, CommonFileTextsWinAndBlankValuesFallBack) {
    disk.Put(kCommon, L"[strConnect]\r\nBG=Свържи\r\nEN=Connect\r\n"
                      L"[strDisconnect]\r\nEN=   \r\n"
                      L"[mnuExit]\r\nen=E&xit\r\nRU=Выход\r\n"
                      L"[Settings|cSendTo|0]\r\nBG=Всичко\r\nEN=All\r\n");
    EXPECT_EQ(res.ResStringComm(L"strConnect", L"EN"), L"Connect");
    EXPECT_EQ(res.ResStringComm(L"STRCONNECT", L"en"), L"Connect"); // the file ignores case
    EXPECT_EQ(res.ResStringComm(L"strConnect", L""), L"Свържи");    // empty means BG
    EXPECT_EQ(res.ResStringComm(L"strDisconnect", L"EN"), L"Изключване");
    EXPECT_EQ(res.ResStringComm(L"strConnect", L"RO"), L"Включване");
    EXPECT_EQ(res.ResStringComm(L"mnuExit", L"EN"), L"E&xit");
    EXPECT_EQ(res.ResStringComm(L"mnuExit", L"SR"), L"");

    // GetResString reads the current language.
    EXPECT_EQ(res.GetResString(L"Settings|cSendTo|0"), L"Всичко");
    res.CurrentLanguage(L"EN");
    EXPECT_EQ(res.GetResString(L"Settings|cSendTo|0"), L"All");
    EXPECT_EQ(res.GetResString(L"Settings|cSendTo|1"), L"Само цифри");
    res.CurrentLanguage(L"RU");
    EXPECT_EQ(res.GetResString(L"Settings|cSendTo|0"), L"Всички");
}

TEST_F(LanguageTest, RelatedDocumentsHoldsTheCommonFileWhenTheProgramFolderLacksIt) {
    disk.Put(kRelated, L"[strConnect]\r\nEN=Connect (related)\r\n"
                       L"[Settings|cFilter|1]\r\nBG=Вкл.\r\n");
    EXPECT_EQ(res.ResStringComm(L"strConnect", L"EN"), L"Connect (related)");
    EXPECT_EQ(res.GetResString(L"Settings|cFilter|1"), L"Вкл.");
    disk.Put(kCommon, L"[strConnect]\r\nEN=Connect\r\n");
    EXPECT_EQ(res.ResStringComm(L"strConnect", L"EN"), L"Connect");
    EXPECT_EQ(res.GetResString(L"Settings|cFilter|1"), L"Активно");
}

TEST_F(LanguageTest, LineBreakEscapeIsExpandedOnlyByGetResString) {
    disk.Put(kCommon, L"[Settings|cPrefix|0]\r\nBG=a|vbNewLine|b|VBNEWLINE|c\r\n");
    EXPECT_EQ(res.GetResString(L"Settings|cPrefix|0"), L"a\r\nb|VBNEWLINE|c");
    EXPECT_EQ(res.ResStringComm(L"Settings|cPrefix|0", L"BG"), L"a|vbNewLine|b|VBNEWLINE|c");
}

TEST_F(LanguageTest, TextsAreCutToTheirBuffers) {
    const std::wstring longText(1500, L'ж');
    disk.Put(kCommon, L"[strConnect]\r\nEN=" + longText + L"\r\n[Settings|cFilter|0]\r\nBG=" +
                          longText + L"\r\n");
    disk.Put(kForms, L"[Settings|bExit]\r\nEN=" + longText + L"\r\n");
    EXPECT_EQ(res.ResStringComm(L"strConnect", L"EN"), std::wstring(1023, L'ж'));
    EXPECT_EQ(res.GetResString(L"Settings|cFilter|0"), std::wstring(1023, L'ж'));
    EXPECT_EQ(res.ResStringForm(L"Settings|bExit", L"EN"), std::wstring(254, L'ж'));
    EXPECT_EQ(res.ResStringForm(L"Settings|bExit", L"RU"), L"Изход");
    EXPECT_EQ(res.ResStringForm(L"Settings|bConnection", L"RU"), L"");
}

TEST_F(LanguageTest, StartUpMarkersAreTakenInOrderAndConsumedOneAtATime) {
    EXPECT_EQ(res.SetStartUpLanguage(), L"BG");
    EXPECT_TRUE(files.deleted.empty());

    disk.Put(L"C:\\Prog/StartUp.ru", L"");
    disk.Put(L"C:\\Prog/StartUp.en", L"");
    disk.Put(L"C:\\Prog/StartUp.ro", L"");
    EXPECT_EQ(res.SetStartUpLanguage(), L"EN");
    EXPECT_EQ(files.deleted, std::vector<std::wstring>{L"C:\\Prog/StartUp.en"});
    EXPECT_EQ(res.SetStartUpLanguage(), L"RU");
    EXPECT_EQ(res.SetStartUpLanguage(), L"RO");
    EXPECT_EQ(res.SetStartUpLanguage(), L"BG");
    EXPECT_EQ(disk.Count(), 0u);

    // A hidden marker does not count; one that cannot be deleted still decides, every time.
    disk.Put(L"C:\\Prog/StartUp.bg", L"");
    disk.Find(L"C:\\Prog/StartUp.bg")->hidden = true;
    disk.Put(L"C:\\Prog/StartUp.sr", L"");
    files.failDeletes = true;
    EXPECT_EQ(res.SetStartUpLanguage(), L"SR");
    EXPECT_EQ(res.SetStartUpLanguage(), L"SR");
    EXPECT_TRUE(disk.Exists(L"C:\\Prog/StartUp.sr"));
}

class InitLanguagesTest : public LanguageTest {
  protected:
    std::wstring Cfg() { return config.GetAppFolder() + L"Corvanthelix.cfg"; }
};

TEST_F(InitLanguagesTest, FirstStartRegistersFiveLanguagesAndStoresTheLanguage) {
    InitLanguages(config, res, settings);
    const std::wstring cfg = Cfg();
    EXPECT_EQ(settings.ConfigFile, cfg);
    EXPECT_EQ(settings.Language, L"BG");
    EXPECT_EQ(Read(cfg, L"Language", L"Value"), L"BG");
    const wchar_t* codes[] = {L"BG", L"EN", L"RU", L"SR", L"RO"};
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(Read(cfg, L"Languages", L"lng" + std::to_wstring(n)), codes[n - 1]);
        // Without "Common.lng" the captions are empty but present.
        EXPECT_NE(disk.Text(cfg)->find(L"cap" + std::to_wstring(n) + L"=\r\n"), std::wstring::npos);
    }
    EXPECT_EQ(Read(cfg, L"Languages", L"Counter"), L"5");
    // The language list comes before the stored language in a new file.
    EXPECT_LT(disk.Text(cfg)->find(L"[Languages]"), disk.Text(cfg)->find(L"[Language]"));

    // A second start finds every entry in place and rewrites only the language.
    const int writesBefore = ini.writes;
    InitLanguages(config, res, settings);
    EXPECT_EQ(ini.writes, writesBefore + 1);
}

TEST_F(InitLanguagesTest, CaptionsComeFromEachLanguagesOwnName) {
    disk.Put(kCommon, L"[strLanguage]\r\nBG=Български\r\nEN=English\r\nRU=Русский\r\n"
                      L"SR=Српски\r\nRO=Română\r\n");
    InitLanguages(config, res, settings);
    EXPECT_EQ(Read(Cfg(), L"Languages", L"cap1"), L"Български");
    EXPECT_EQ(Read(Cfg(), L"Languages", L"cap4"), L"Српски");
    EXPECT_EQ(Read(Cfg(), L"Languages", L"cap5"), L"Română");
}

TEST_F(InitLanguagesTest, EntriesAreRewrittenOnlyWhenTheirCodeDiffers) {
    disk.Put(Cfg(), L"[Languages]\r\nlng1=bg\r\ncap1=old\r\nlng2=ENX\r\ncap2=keep\r\n"
                    L"lng3=RU\r\nlng4=SR\r\nlng5=XX\r\nCounter=9\r\n");
    InitLanguages(config, res, settings);
    EXPECT_EQ(Read(Cfg(), L"Languages", L"lng1"), L"BG"); // letter case counts
    EXPECT_EQ(Read(Cfg(), L"Languages", L"cap1"), L"");
    EXPECT_EQ(Read(Cfg(), L"Languages", L"lng2"), L"ENX"); // two characters compared
    EXPECT_EQ(Read(Cfg(), L"Languages", L"cap2"), L"keep");
    EXPECT_EQ(Read(Cfg(), L"Languages", L"lng5"), L"RO");
    // The counter is the number of the last entry rewritten.
    EXPECT_EQ(Read(Cfg(), L"Languages", L"Counter"), L"5");

    disk.Put(Cfg(), L"[Languages]\r\nlng1=BG\r\nlng2=EN\r\nlng3=XX\r\nlng4=SR\r\nlng5=RO\r\n"
                    L"Counter=5\r\n");
    InitLanguages(config, res, settings);
    EXPECT_EQ(Read(Cfg(), L"Languages", L"lng3"), L"RU");
    EXPECT_EQ(Read(Cfg(), L"Languages", L"Counter"), L"3");
}

TEST_F(InitLanguagesTest, StoredLanguageWinsOverTheStartUpMarker) {
    disk.Put(Cfg(), L"[Language]\r\nValue=SR\r\n");
    disk.Put(L"C:\\Prog/StartUp.en", L"");
    settings.Language = res.SetStartUpLanguage();
    EXPECT_EQ(settings.Language, L"EN");
    EXPECT_FALSE(disk.Exists(L"C:\\Prog/StartUp.en"));
    InitLanguages(config, res, settings);
    EXPECT_EQ(settings.Language, L"SR");
    EXPECT_EQ(Read(Cfg(), L"Language", L"Value"), L"SR");

    // A marker decides when nothing is stored, and its choice is stored for the next start.
    disk.Remove(Cfg());
    settings.Language = L"RU";
    InitLanguages(config, res, settings);
    EXPECT_EQ(settings.Language, L"RU");
    EXPECT_EQ(Read(Cfg(), L"Language", L"Value"), L"RU");
}

TEST_F(InitLanguagesTest, StoredLanguageIsTakenUntrimmed) {
    disk.Put(Cfg(), L"[Language]\r\nValue=\"   \"\r\n");
    settings.Language = L"RU";
    InitLanguages(config, res, settings);
    EXPECT_EQ(settings.Language, L"   ");
}

TEST_F(InitLanguagesTest, FailingWritesAreSkipped) {
    ini.failWrites = true;
    settings.Language = L"EN";
    InitLanguages(config, res, settings);
    EXPECT_EQ(settings.Language, L"EN");
    EXPECT_EQ(settings.ConfigFile, Cfg());
    EXPECT_FALSE(disk.Exists(Cfg()));
    // Every language was still tried after the first failed.
    EXPECT_GE(ini.writes, 5 + 1);
}

TEST_F(LanguageTest, LanguageListIsReadFromTheConfiguration) {
    const std::wstring cfg = L"C:\\App\\x.cfg";
    res.GetLanguages(cfg); // no file
    ASSERT_EQ(res.LanguageList().size(), 1u);
    EXPECT_EQ(res.LanguageList()[0].Abbreviation, L"BG");
    EXPECT_EQ(res.LanguageList()[0].Caption, L"Български");

    disk.Put(cfg, L"[Languages]\r\nCounter=3\r\nlng1=BG\r\ncap1=Български\r\n"
                  L"lng3=ru-RU\r\ncap3=   \r\nlng4=SR\r\n");
    res.GetLanguages(cfg);
    ASSERT_EQ(res.LanguageList().size(), 2u);
    EXPECT_EQ(res.LanguageList()[1].Abbreviation, L"RU");
    EXPECT_EQ(res.LanguageList()[1].Caption, L"RU"); // a blank caption shows the code

    auto countWith = [&](const std::wstring& counter) {
        disk.Put(cfg, L"[Languages]\r\nCounter=" + counter +
                          L"\r\nlng1=BG\r\nlng2=en\r\ncap2=English\r\nlng3=RU\r\nlng4=SR\r\n");
        res.GetLanguages(cfg);
        return res.LanguageList().size();
    };
    EXPECT_EQ(countWith(L"2.5"), 2u); // halves round to the even number
    EXPECT_EQ(countWith(L"3.5"), 4u);
    EXPECT_EQ(countWith(L"3 languages"), 3u);
    EXPECT_EQ(countWith(L"none"), 1u); // no number: the Bulgarian list
    EXPECT_EQ(res.LanguageList()[0].Caption, L"Български");
    EXPECT_EQ(countWith(L"0"), 1u);
    EXPECT_EQ(countWith(L"99999"), 1u); // not a 16-bit number
    EXPECT_EQ(countWith(L"-2"), 0u);    // no entry at all

    countWith(L"4");
    EXPECT_EQ(res.LanguageList()[1].Abbreviation, L"EN");
    EXPECT_EQ(res.LanguageList()[1].Caption, L"English");
    EXPECT_EQ(res.GetAbrvIndex(L"en"), 1);
    EXPECT_EQ(res.GetAbrvIndex(L"SR"), 3);
    EXPECT_EQ(res.GetAbrvIndex(L"BG"), 0);
    EXPECT_EQ(res.GetAbrvIndex(L"XX"), 0);
    EXPECT_EQ(res.GetLanguageAbbreviation(2), L"RU");
    EXPECT_EQ(res.GetLanguageAbbreviation(-1), L"BG");
    EXPECT_EQ(res.GetLanguageAbbreviation(4), L"BG");

    // Entry 0 is never compared.
    disk.Put(cfg, L"[Languages]\r\nCounter=3\r\nlng1=EN\r\nlng2=BG\r\nlng3=EN\r\n");
    res.GetLanguages(cfg);
    EXPECT_EQ(res.GetAbrvIndex(L"en"), 2);

    disk.Put(cfg, L"[Languages]\r\nCounter=2\r\n");
    res.GetLanguages(cfg);
    EXPECT_TRUE(res.LanguageList().empty());
    EXPECT_EQ(res.GetAbrvIndex(L"EN"), 0);
    EXPECT_EQ(res.GetLanguageAbbreviation(0), L"BG");
}

TEST_F(LanguageTest, LanguageListIsSavedAndShownInAList) {
    const std::wstring from = L"C:\\App\\from.cfg";
    const std::wstring to = L"C:\\App\\to.cfg";
    disk.Put(from, L"[Languages]\r\nCounter=4\r\nlng1=BG\r\ncap1=Български\r\nlng2=EN\r\n"
                   L"cap2=English\r\nlng4=RU\r\ncap4=Русский\r\n");
    res.GetLanguages(from);
    res.SaveLanguages(to);
    EXPECT_EQ(*disk.Text(to), L"[Languages]\r\nlng1=BG\r\ncap1=Български\r\nlng2=EN\r\n"
                              L"cap2=English\r\nlng3=RU\r\ncap3=Русский\r\nCounter=3\r\n");

    fake::InMemoryControl list(L"cbLanguage1", ControlKind::List);
    list.AddItem(L"stale");
    int clicks = 0;
    list.OnClick = [&] { ++clicks; };
    res.CurrentLanguage(L"RU");
    res.FillLanguageCombo(list);
    ASSERT_EQ(list.ItemCount(), 3);
    EXPECT_EQ(list.Item(0), L"Български");
    EXPECT_EQ(list.Item(2), L"Русский");
    EXPECT_EQ(list.SelectedIndex(), 2);
    EXPECT_EQ(clicks, 1);
    res.CurrentLanguage(L"ro");
    res.FillLanguageCombo(list);
    EXPECT_EQ(list.ItemCount(), 3);
    EXPECT_EQ(list.SelectedIndex(), 0);

    disk.Put(from, L"[Languages]\r\nCounter=1\r\n");
    res.GetLanguages(from);
    res.FillLanguageCombo(list);
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_EQ(list.SelectedIndex(), -1);
    res.SaveLanguages(to);
    EXPECT_EQ(Read(to, L"Languages", L"Counter"), L"0");
}
