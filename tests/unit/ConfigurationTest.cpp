// The configuration file: defaults, the text-to-number rule, load and save order, and the
// private-profile helpers.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "FakeDisk.h"
#include "FakeRegistry.h"
#include "SettingFields.h"
#include "config/Configuration.h"
#include "config/modRegistrty.h"

using namespace corv;
using fake::FakeRegistry;

namespace {

const std::wstring kKey = L"Software\\Quillomarte\\Corvanthelix";
const std::wstring kFile = L"C:\\App\\Corvanthelix.cfg";

struct ConfigFixture : ::testing::Test {
    fake::FakeDisk disk;
    fake::FakePrivateProfile ini{disk};
    fake::FakeFileSystem fs{disk};
    FakeRegistry reg;
    Configuration config{ini, fs, reg};

    ConfigFixture() { reg.SetText(FakeRegistry::View::Bits32, kKey, L"AppPAth", L"C:\\App\\"); }

    std::wstring FileWith(const std::wstring& section, const std::wstring& value) {
        disk.Put(kFile, L"[" + section + L"]\r\nValue=" + value + L"\r\n");
        return kFile;
    }
};

using fake::Fields;
using fake::Record;

void ExpectDefaults(const AppSettings& s) {
    EXPECT_EQ(Fields(s), Record({0, 11, 4, 2, 0, 2, 0, 1, 1, 0}, L"BG"));
}

// Every field away from its default.
AppSettings Scrambled() {
    AppSettings s;
    const int values[] = {5, 0, 1, 4, 2, 0, 2, 0, 3, 1};
    for (std::size_t i = 0; i < kSettingCount; ++i)
        s.*kSettingRows[i].field = static_cast<std::int16_t>(values[i]);
    s.Language = L"EN";
    return s;
}

} // namespace

TEST(ToInt16, AcceptsSpacesAndRoundsHalvesToEven) {
    EXPECT_EQ(ToInt16(L" 3 "), 3);
    EXPECT_EQ(ToInt16(L"-12"), -12);
    EXPECT_EQ(ToInt16(L"+7"), 7);
    EXPECT_EQ(ToInt16(L"2.5"), 2);
    EXPECT_EQ(ToInt16(L"3.5"), 4);
    EXPECT_EQ(ToInt16(L"-2.5"), -2);
    EXPECT_EQ(ToInt16(L"2.51"), 3);
    EXPECT_EQ(ToInt16(L"2.4999"), 2);
    EXPECT_EQ(ToInt16(L"0.5"), 0);
    EXPECT_EQ(ToInt16(L"32767"), 32767);
    EXPECT_EQ(ToInt16(L"-32768"), -32768);
    EXPECT_EQ(ToInt16(L"0009600"), 9600);
}

TEST(ToInt16, RejectsWhatIsNotASixteenBitNumber) {
    for (const wchar_t* bad : {L"", L"   ", L"abc", L"40000", L"32767.5", L"-32769", L"1 2", L"12x",
                               L"-", L".", L"99999999999999999999"})
        EXPECT_FALSE(ToInt16(bad)) << std::wstring(bad).size();
}

TEST_F(ConfigFixture, LoadWithoutAFileKeepsTheDefaults) {
    AppSettings s = Scrambled();
    s.ConfigFile = L"old";
    EXPECT_FALSE(config.LoadSettings(s));
    ExpectDefaults(s);
    EXPECT_EQ(s.ConfigFile, kFile);
}

TEST_F(ConfigFixture, SaveWritesEverySectionInOrderAndLoadsBack) {
    disk.Put(kFile, L"[Languages]\r\nlng1=BG\r\n[Language]\r\nValue=BG\r\n");
    const AppSettings saved = Scrambled();
    config.SaveSettings(saved);
    EXPECT_EQ(*disk.Text(kFile), L"[Languages]\r\nlng1=BG\r\n[Language]\r\nValue=EN\r\n"
                                 L"[ComPort]\r\nValue=5\r\n[BitsPerSecond]\r\nValue=0\r\n"
                                 L"[DataBits]\r\nValue=1\r\n[FlowControl]\r\nValue=0\r\n"
                                 L"[Parity]\r\nValue=4\r\n[SendTo]\r\nValue=2\r\n"
                                 L"[StopBits]\r\nValue=2\r\n[cFilter]\r\nValue=0\r\n"
                                 L"[Prefix]\r\nValue=3\r\n[IsKeyBoard]\r\nValue=1\r\n");
    AppSettings loaded;
    EXPECT_TRUE(config.LoadSettings(loaded));
    EXPECT_EQ(Fields(loaded), Fields(saved));
}

TEST_F(ConfigFixture, BadValuesKeepTheirDefaultsAndOthersLoad) {
    disk.Put(kFile, L"[ComPort]\r\nValue= 3 \r\n[BitsPerSecond]\r\nValue=40000\r\n"
                    L"[DataBits]\r\nValue=abc\r\n[Parity]\r\nValue=\r\n[StopBits]\r\nValue=2.5\r\n"
                    L"[FlowControl]\r\nValue=3.5\r\n[SendTo]\r\nValue=-1\r\n"
                    L"[CFILTER]\r\nvalue=0\r\n[Language]\r\nValue=  RU  \r\n");
    AppSettings s;
    EXPECT_TRUE(config.LoadSettings(s));
    EXPECT_EQ(Fields(s), Record({3, 11, 4, 2, 2, 4, -1, 0, 1, 0}, L"RU"));

    // No correction against the lists; a missing language key empties the language.
    FileWith(L"BitsPerSecond", L"9600");
    EXPECT_TRUE(config.LoadSettings(s));
    EXPECT_EQ(s.BitsPerSecond, 9600);
    EXPECT_EQ(s.ComPort, 0);
    EXPECT_EQ(s.Language, L"");
}

TEST_F(ConfigFixture, RegistryErrorReachesLoadAndSaveWritesNothing) {
    FakeRegistry broken;
    broken.CreateKey(FakeRegistry::View::Bits32, kKey);
    Configuration c(ini, fs, broken);
    AppSettings s = Scrambled();
    s.ConfigFile = L"kept";
    try {
        c.LoadSettings(s);
        ADD_FAILURE() << "no error";
    } catch (const RegistryError& e) {
        EXPECT_EQ(e.Number(), 1001);
    }
    ExpectDefaults(s);
    EXPECT_EQ(s.ConfigFile, L"kept");

    c.SaveSettings(s);
    EXPECT_EQ(ini.writes, 0);
    EXPECT_EQ(disk.Count(), 0u);
}

TEST_F(ConfigFixture, IniHelpersAndTheConfigurationPath) {
    config.WriteIniValue(L"S", L"Long", std::wstring(300, L'z'), kFile);
    config.WriteIniValue(L"S", L"N", -42, kFile);
    EXPECT_EQ(config.ReadIniValue(L"S", L"Long", kFile, 255), std::wstring(254, L'z'));
    EXPECT_EQ(config.ReadIniValue(L"s", L"n", kFile, 255), L"-42");
    EXPECT_EQ(config.ReadIniValue(L"S", L"N", kFile, 2), L"-");
    EXPECT_EQ(config.ReadIniValue(L"S", L"Missing", kFile, 255), L"");
    EXPECT_EQ(config.ReadIniValue(L"S", L"N", L"C:\\none.cfg", 255), L"");
    EXPECT_EQ(config.ReadIniValue(L"S", L"N", kFile, 0), L"");

    // The folder is joined to the file name without a separator.
    reg.SetText(FakeRegistry::View::Bits32, kKey, L"AppPAth", L"C:\\Tools");
    config.SaveSettings(AppSettings{});
    EXPECT_TRUE(disk.Exists(L"C:\\ToolsCorvanthelix.cfg"));
}

TEST_F(ConfigFixture, FileExistsOnlyForOrdinaryFiles) {
    EXPECT_FALSE(config.FileExists(kFile));
    disk.PutFolder(L"C:\\App\\Dir.lng");
    EXPECT_FALSE(config.FileExists(L"C:\\App\\*.lng"));
    disk.Put(L"C:\\App\\Common.lng", L"");
    disk.Find(L"C:\\App\\Common.lng")->system = true;
    EXPECT_FALSE(config.FileExists(L"C:\\App\\Common.lng"));
    disk.Find(L"C:\\App\\Common.lng")->system = false;
    EXPECT_TRUE(config.FileExists(L"C:\\App\\*.lng"));
    EXPECT_TRUE(config.FileExists(L"c:\\app\\COMMON.LNG"));
}
