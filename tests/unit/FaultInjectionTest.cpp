// Platform calls that fail: private-profile reads and writes, the directory search, the registry,
// file deletion, the port's reads, typing and the notification area. The program goes on, loses
// nothing from the configuration file or from a code being read, uses its defaults where a value
// could not be had, and keeps the port's failure in the error record.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <tuple>
#include <utility>
#include <vector>

#include "FakeCodePage.h"
#include "FakeComm.h"
#include "FakeDisk.h"
#include "FakeReaderWindow.h"
#include "FakeRegistry.h"
#include "config/Configuration.h"
#include "core/ReadingLoop.h"
#include "core/modSysTry.h"
#include "localization/Localization.h"
#include "localization/ResManagerClass.h"

using namespace corv;
using fake::FakeRegistry;

namespace {

const std::wstring kKey = L"Software\\Quillomarte\\Corvanthelix";
const std::wstring kFile = L"C:\\App\\Corvanthelix.cfg";
// The sections in the order they are written.
const std::vector<std::wstring> kSections = [] {
    std::vector<std::wstring> sections;
    for (const SettingRow* row : kSaveOrder)
        sections.push_back(row->section);
    sections.push_back(L"Language");
    return sections;
}();

// A private profile whose chosen calls fail as the system's do: a failed read answers with the
// default, a failed write reports failure and changes nothing.
class FlakyProfile : public PrivateProfile {
  public:
    explicit FlakyProfile(PrivateProfile& inner) : inner_(inner) {}
    std::wstring GetString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& defaultValue, int size,
                           const std::wstring& file) override {
        if (failReadsOf.count(section))
            return defaultValue.substr(0, size > 0 ? static_cast<std::size_t>(size - 1) : 0);
        return inner_.GetString(section, key, defaultValue, size, file);
    }
    std::vector<std::wstring> KeyNames(const std::wstring& section,
                                       const std::wstring& file) override {
        if (failReadsOf.count(section))
            return {};
        return inner_.KeyNames(section, file);
    }
    bool WriteString(const std::wstring& section, const std::wstring& key,
                     const std::wstring& value, const std::wstring& file) override {
        const int n = writes++;
        if (n == failWriteNumber || failWritesOf.count(section))
            return false;
        return inner_.WriteString(section, key, value, file);
    }
    std::set<std::wstring> failReadsOf;
    std::set<std::wstring> failWritesOf;
    int failWriteNumber = -1; // counted from 0
    int writes = 0;

  private:
    PrivateProfile& inner_;
};

struct FaultFixture : ::testing::Test {
    fake::FakeDisk disk;
    fake::FakePrivateProfile ini{disk};
    FlakyProfile flaky{ini};
    fake::FakeFileSystem fs{disk};
    FakeRegistry reg;
    Configuration config{flaky, fs, reg};

    FaultFixture() { reg.SetText(FakeRegistry::View::Bits32, kKey, L"AppPAth", L"C:\\App\\"); }

    std::wstring Value(const std::wstring& section) {
        return ini.GetString(section, L"Value", L"", 255, kFile);
    }
    // A file saved with the settings s, after a "Languages" section written at start-up.
    void SavedFile(const AppSettings& s) {
        disk.Remove(kFile);
        ini.WriteString(L"Languages", L"lng1", L"BG", kFile);
        ini.WriteString(L"Languages", L"Counter", L"1", kFile);
        Configuration plain(ini, fs, reg);
        plain.SaveSettings(s);
    }
};

// The stored texts of the default and the changed settings, in the order of kSections.
const wchar_t* const kDefaultTexts[] = {L"0", L"11", L"4", L"2", L"2", L"0",
                                        L"0", L"1",  L"1", L"0", L"BG"};
const wchar_t* const kChangedTexts[] = {L"3", L"16", L"3", L"1", L"0", L"1",
                                        L"2", L"0",  L"3", L"1", L"RO"};

AppSettings Changed() {
    AppSettings s;
    for (std::size_t i = 0; i < kSettingCount; ++i)
        s.*kSaveOrder[i]->field = static_cast<std::int16_t>(std::stoi(kChangedTexts[i]));
    s.Language = kChangedTexts[kSettingCount];
    return s;
}

} // namespace

TEST_F(FaultFixture, AFailedWriteKeepsThatValueAndTheLaterWritesStillRun) {
    for (int k = 0; k < 11; ++k) {
        SCOPED_TRACE(kSections[k]);
        SavedFile(AppSettings{});
        flaky.writes = 0;
        flaky.failWriteNumber = k;
        config.SaveSettings(Changed());
        EXPECT_EQ(flaky.writes, 11);
        for (int j = 0; j < 11; ++j)
            EXPECT_EQ(Value(kSections[j]), j == k ? kDefaultTexts[j] : kChangedTexts[j])
                << kSections[j];
        EXPECT_EQ(ini.GetString(L"Languages", L"lng1", L"", 255, kFile), L"BG");
        EXPECT_EQ(ini.GetString(L"Languages", L"Counter", L"", 255, kFile), L"1");
    }
}

TEST_F(FaultFixture, FailedReadsGiveDefaultsForThoseSettingsOnly) {
    SavedFile(Changed());
    flaky.failReadsOf = {L"Parity", L"Prefix"};
    AppSettings s;
    EXPECT_TRUE(config.LoadSettings(s));
    EXPECT_EQ(s.Parity, 2);
    EXPECT_EQ(s.Prefix, 1);
    EXPECT_EQ(s.ComPort, 3);
    EXPECT_EQ(s.IsKeyBoard, 1);
    EXPECT_EQ(s.Language, L"RO");

    // A language that cannot be read is empty, as a missing one; the numbers still load.
    flaky.failReadsOf = {L"Language"};
    EXPECT_TRUE(config.LoadSettings(s));
    EXPECT_EQ(s.Language, L"");
    EXPECT_EQ(s.Prefix, 3);
}

TEST_F(FaultFixture, AFailedSearchLoadsDefaultsAndTheNextSaveKeepsTheRestOfTheFile) {
    SavedFile(Changed());
    ini.WriteString(L"Extra", L"Note", L"kept", kFile);
    fs.failSearches = true;
    AppSettings s = Changed();
    EXPECT_FALSE(config.LoadSettings(s));
    EXPECT_EQ(s.Prefix, 1);
    EXPECT_EQ(s.Language, L"BG");
    EXPECT_EQ(s.ConfigFile, kFile);

    config.SaveSettings(s);
    for (int j = 0; j < 11; ++j)
        EXPECT_EQ(Value(kSections[j]), kDefaultTexts[j]) << kSections[j];
    EXPECT_EQ(ini.GetString(L"Languages", L"lng1", L"", 255, kFile), L"BG");
    EXPECT_EQ(ini.GetString(L"Extra", L"Note", L"", 255, kFile), L"kept");
}

TEST_F(FaultFixture, ARegistryThatRefusesToOpenGivesTheDefaultFolder) {
    reg.openError = 5; // access denied, in both views
    const std::wstring defaultFile = std::wstring(kDefaultAppFolder) + kConfigFileName;
    disk.Put(defaultFile, L"[Prefix]\r\nValue=2\r\n");
    AppSettings s;
    EXPECT_TRUE(config.LoadSettings(s));
    EXPECT_EQ(s.ConfigFile, defaultFile);
    EXPECT_EQ(s.Prefix, 2);
    config.SaveSettings(Changed());
    EXPECT_EQ(ini.GetString(L"Prefix", L"Value", L"", 255, defaultFile), L"3");
    EXPECT_FALSE(disk.Exists(kFile));
    EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST_F(FaultFixture, LanguageStartUpGoesOnWhenWritesFailAndKeepsTheSettings) {
    SavedFile(Changed());
    Configuration c(flaky, fs, reg);
    AppSettings settings;
    settings.Language = L"EN";
    AppState state;
    ResManagerClass res(c, fs, settings, state);

    flaky.failWritesOf = {L"Languages", L"Language"};
    InitLanguages(c, res, settings);
    EXPECT_EQ(settings.ConfigFile, kFile);
    EXPECT_EQ(settings.Language, L"RO"); // the stored language still wins
    EXPECT_EQ(ini.GetString(L"Languages", L"Counter", L"", 255, kFile), L"1");

    // Reads that fail register every language again; the settings stay as they were.
    flaky.failWritesOf.clear();
    flaky.failReadsOf = {L"Languages", L"Language"};
    settings.Language = L"EN";
    InitLanguages(c, res, settings);
    EXPECT_EQ(settings.Language, L"EN");
    EXPECT_EQ(ini.GetString(L"Languages", L"lng5", L"", 255, kFile), L"RO");
    EXPECT_EQ(ini.GetString(L"Languages", L"Counter", L"", 255, kFile), L"5");
    for (int j = 0; j < 10; ++j)
        EXPECT_EQ(Value(kSections[j]), kChangedTexts[j]) << kSections[j];
}

TEST_F(FaultFixture, LookUpsFallBackToBuiltInTextsWhenTheFilesCannotBeRead) {
    AppSettings settings;
    AppState state;
    fake::FakeFileSystem files(disk, L"C:\\Prog");
    Configuration c(flaky, files, reg);
    ResManagerClass res(c, files, settings, state);
    disk.Put(L"C:\\Prog\\Common.lng", L"[strConnect]\r\nEN=Connect\r\n[Settings|cSendTo|0]\r\n"
                                      L"EN=All\r\n");
    res.CurrentLanguage(L"EN");
    files.failReads = true; // the language files are there but cannot be read
    EXPECT_EQ(res.ResStringComm(L"strConnect", L"EN"), L"Включване");
    EXPECT_EQ(res.GetResString(L"Settings|cSendTo|0"), L"Всички");

    files.failReads = false;
    ASSERT_EQ(res.ResStringComm(L"strConnect", L"EN"), L"Connect");
    files.failSearches = true; // neither language file can be found
    EXPECT_EQ(res.ResStringComm(L"strConnect", L"EN"), L"Включване");
    EXPECT_EQ(res.GetResString(L"Settings|cSendTo|0"), L"Всички");
}

namespace {

struct Deliveries : CodeDelivery, TrayIcon, KeyboardHookControl, ResStrings {
    std::vector<std::wstring> codes;
    int failNext = 0; // deliveries that fail, as typing that the system refuses
    void DeliverCode(const std::wstring& code) override {
        if (failNext > 0) {
            --failNext;
            throw std::runtime_error("typing failed");
        }
        codes.push_back(code);
    }
    void UpdateTrayIcon(int, std::int16_t) override {}
    void SetTrayTip(const std::wstring&) override {}
    bool InstallKeyboardHook() override { return true; }
    void RemoveKeyboardHook() override {}
    std::wstring ResStringComm(const std::wstring& key, const std::wstring&) override {
        return key;
    }
};

} // namespace

// The reading loop over the in-memory port, connected to COM1.
struct SerialParts {
    AppSettings settings;
    AppState state;
    fake::FakeComm comm;
    fake::FakeMessagePump pump;
    fake::Cp1251CodePage cp;
    modCOMM driver{comm, pump, cp};
    Serial serial{driver};
    Deliveries out;
    fake::FakeReaderWindow window;
    std::unique_ptr<ReadingLoop> loop;

    SerialParts() {
        loop = std::make_unique<ReadingLoop>(
            ReadingLoop::Parts{settings, state, serial, pump, cp, out, out, out, out, window});
        loop->bConnectionClick();
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            loop->Timer1Tick();
    }
};

TEST(FaultInjection, AReadThatFailsOnceLosesNoCharacterOfTheCodeAndIsRecorded) {
    struct Case {
        fake::CommCall call;
        std::uint32_t error;
        const wchar_t* operation;
    };
    const Case cases[] = {
        {fake::CommCall::ClearError, 1117, L"CommRead (ClearCommError)"},
        {fake::CommCall::Read, 1117, L"CommRead (ReadFile)"},
        {fake::CommCall::WaitOverlapped, 1117, L"CommRead (GetOverlappedResult)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        SerialParts p;
        ASSERT_TRUE(p.state.Connected);
        p.comm.input = "12";
        p.Ticks(1);
        p.comm.input += "345";
        if (c.call == fake::CommCall::WaitOverlapped)
            p.comm.Fail(fake::CommCall::Read, comm::kErrorIoPending, 1); // the read goes pending
        p.comm.Fail(c.call, c.error, 1);
        p.Ticks(1 + 1 + 3); // the failed tick neither ends the code nor adds to it
        EXPECT_EQ(p.out.codes, std::vector<std::wstring>{L"\u00A012345"});
        EXPECT_EQ(p.driver.Error().Operation, c.operation);
        EXPECT_EQ(p.driver.Error().ErrorCode, static_cast<std::int32_t>(c.error));
        EXPECT_NE(p.driver.Error().Message.find(L"I/O device error"), std::wstring::npos);
        EXPECT_TRUE(p.state.Connected);
    }
}

TEST(FaultInjection, TypingThatFailsLosesOnlyItsOwnCodeAndTheLoopGoesOn) {
    SerialParts p;
    p.out.failNext = 1;
    p.comm.input = "111";
    p.Ticks(1 + 2);
    EXPECT_THROW(p.loop->Timer1Tick(), std::runtime_error); // the timer's edge catches it
    EXPECT_EQ(p.loop->ReadBuffer(), L"");
    p.Ticks(5); // the failed code is not typed again
    p.comm.input = "222";
    p.Ticks(1 + 3);
    EXPECT_EQ(p.out.codes, std::vector<std::wstring>{L"\u00A0222"});
}

TEST(FaultInjection, ATrayIconTheShellRefusesIsOfferedAgainUntilItIsThere) {
    // A shell with room for the one icon: while it is not up everything fails; an add fails
    // when it has the icon already, a modify or delete when it has none.
    struct Shell : NotifyIcon {
        bool up = false, has = false;
        std::uintptr_t icon = 0;
        std::wstring tip, log; // log: "+a" an add taken, "-m" a modify refused, ...
        bool Notify(int op, const NotifyIconRecord& r) override {
            const bool ok = up && (op == kAdd) != has;
            if (ok) {
                has = op != kDelete;
                icon = r.icon;
                tip = r.tip.substr(0, r.tip.find(L'\0'));
            }
            log += std::wstring(ok ? L"+" : L"-") + L"amd"[op] + L" ";
            return ok;
        }
    } shell;
    bool timer = false;
    modSysTry tray(
        shell, [] { return std::uintptr_t{0x55}; }, 11, 22, [&](bool on) { timer = on; });
    tray.SetTrayTip(L"Quillomarte Corvanthelix");
    const int add = TrayIcon::kAdd, modify = TrayIcon::kModify, del = TrayIcon::kDelete;
    const std::int16_t on = TrayIcon::kConnectedImage, off = TrayIcon::kNotConnectedImage;
    struct Step {
        const char* what;
        std::function<void()> act;
        std::wstring calls;
        bool retrying;
        std::uintptr_t shown;
    } steps[] = {
        {"start-up, no shell yet", [&] { tray.UpdateTrayIcon(add, on); }, L"-a -m ", true, 0},
        {"a tick, still none", [&] { tray.RetryTrayIcon(); }, L"-a -m ", true, 0},
        {"the port went away", [&] { tray.UpdateTrayIcon(modify, off); }, L"-m -a ", true, 0},
        {"the shell is up: the next tick adds the icon as it is now",
         [&] {
             shell.up = true;
             tray.RetryTrayIcon();
         },
         L"+a ", false, 22},
        {"no more ticks", [&] { tray.RetryTrayIcon(); }, L"", false, 22},
        {"the icon went: a modify adds it",
         [&] {
             shell.has = false;
             tray.UpdateTrayIcon(modify, on);
         },
         L"-m +a ", false, 11},
        {"an add the shell had done", [&] { tray.UpdateTrayIcon(add, on); }, L"-a +m ", false, 11},
        {"images of another DPI", [&] { tray.SetIcons(33, 44); }, L"+m ", false, 33},
        {"the shell went: offered again",
         [&] {
             shell.up = shell.has = false;
             tray.UpdateTrayIcon(modify, off);
         },
         L"-m -a ", true, 0},
        {"deleted: no more offers", [&] { tray.UpdateTrayIcon(del, off); }, L"-d ", false, 0},
        {"no tick after", [&] { tray.RetryTrayIcon(); }, L"", false, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        shell.log.clear();
        step.act();
        EXPECT_EQ(shell.log, step.calls);
        EXPECT_EQ(timer, step.retrying);
        EXPECT_EQ(shell.has ? shell.icon : 0, step.shown);
    }
    EXPECT_EQ(shell.tip, L"Quillomarte Corvanthelix");
}
