// The Settings window's behaviour over the in-memory window: start-up and its load, the lists
// and their handlers, the buttons and menu entries, the tray icon's mouse table.
#include <gtest/gtest.h>

#include "FakeWindowing.h"
#include "InMemoryForm.h"
#include "LanguageFixture.h"
#include "core/Startup.h"
#include "ui/Settings.h"

using namespace corv;

namespace {

struct CountingHook : KeyboardHookControl {
    bool InstallKeyboardHook() override { return ++installs > 0; }
    void RemoveKeyboardHook() override { ++removes; }
    int installs = 0, removes = 0;
};

// The window as start-up finds it: lists still empty, as FillCombos fills them.
std::unique_ptr<fake::InMemoryForm> EmptySettingsForm() {
    auto form = fake::BuildInMemoryForm(SettingsLayout());
    for (int i = 0; i < form->ControlCount(); ++i)
        if (form->ControlAt(i).Kind() == ControlKind::List)
            form->ControlAt(i).ClearItems();
    return form;
}

} // namespace

class SettingsTest : public test::LanguageTest {
  protected:
    void SetUp() override {
        (*form)[L"bConnection"].OnClick = [this] { events.push_back(L"connect"); };
    }
    // Start-up as the program runs it: the language, then the window's hidden load.
    void Start() {
        ASSERT_TRUE(Main({state, settings, config, res, [] { return false; },
                          [this] { loaded = window.Load(); }}));
    }
    void Stored(const std::wstring& section, const std::wstring& value) {
        ini.WriteString(section, L"Value", value, kCfg);
    }
    std::wstring StoredValue(const std::wstring& section) { return Read(kCfg, section, L"Value"); }
    fake::InMemoryControl& Get(const wchar_t* name) { return form->Get(name); }
    std::vector<std::wstring> Shown() {
        std::vector<std::wstring> out;
        for (const SettingRow& row : kSettingRows)
            out.push_back(Get(row.list).Text());
        out.push_back(Get(L"cbLanguage1").Text());
        return out;
    }

    // No installation: the settings lie beside the program.
    const std::wstring kCfg = std::wstring(L"C:\\Prog\\") + kConfigFileName;
    std::unique_ptr<fake::InMemoryForm> form = EmptySettingsForm();
    fake::FakeFormHost host;
    fake::FakeNotifyIcon shell;
    modSysTry tray{shell, [] { return std::uintptr_t{0x55}; }, 11, 22};
    CountingHook hook;
    std::vector<std::wstring> events;
    bool loaded = false;
    Settings window{
        *form, host,
        Settings::Parts{
            settings, state, config, res, hook, tray, [this] { events.push_back(L"close port"); },
            [this] { events.push_back(L"test window"); },
            [this] { events.push_back(tray.IconShown() ? L"end with icon" : L"end"); }}};
};

TEST_F(SettingsTest, StartWithoutConfigurationShowsDefaultsAndConnects) {
    Start();
    EXPECT_TRUE(loaded);
    EXPECT_EQ(Shown(),
              (std::vector<std::wstring>{L"COM1", L"9600", L"8", L"None", L"1", L"None", L"Всички",
                                         L"Активно", L"Префикс", L"Изключен", L"Български"}));
    EXPECT_EQ(Get(L"cComPort").ItemCount(), 20);
    EXPECT_EQ(Get(L"cComPort").Item(19), L"COM20");
    EXPECT_EQ(Get(L"cBitsPerSecond").ItemCount(), 18);
    EXPECT_EQ(Get(L"cPrefix").Item(3), L"Префикс + код оператор");
    EXPECT_EQ(Get(L"cbLanguage1").ItemCount(), 5);
    EXPECT_EQ(Get(L"lblVersion").Text(), L"Ver. 1.00.008");
    EXPECT_TRUE(Get(L"bTest").Enabled());
    // The port is closed before the connect; nothing was saved while starting.
    EXPECT_EQ(events, (std::vector<std::wstring>{L"close port", L"connect"}));
    EXPECT_EQ(StoredValue(L"ComPort"), L"");
    EXPECT_EQ(StoredValue(L"Language"), L"BG"); // written by start-up's language step
    EXPECT_EQ(host.box.left, (1024 - 400) / 2);
    EXPECT_EQ(host.box.top, (768 - 450) / 2);
    EXPECT_FALSE(host.visible);
    EXPECT_TRUE(state.IsStarting);
}

TEST_F(SettingsTest, StoredSettingsAreShownAndKeyboardReaderDisablesTest) {
    for (auto [section, value] : {std::pair{L"ComPort", L"2"},
                                  {L"BitsPerSecond", L"16"},
                                  {L"Parity", L"0"},
                                  {L"IsKeyBoard", L"1"},
                                  {L"Prefix", L"3"},
                                  {L"cFilter", L"0"},
                                  {L"SendTo", L"-1"},
                                  {L"Language", L"RO"}})
        Stored(section, value);
    Start();
    EXPECT_EQ(Get(L"cComPort").Text(), L"COM3");
    EXPECT_EQ(Get(L"cBitsPerSecond").Text(), L"115200");
    EXPECT_EQ(Get(L"cParity").Text(), L"Even");
    EXPECT_EQ(Get(L"cPrefix").SelectedIndex(), 3);
    EXPECT_EQ(Get(L"cFilter").SelectedIndex(), 0);
    EXPECT_EQ(Get(L"cSendTo").SelectedIndex(), -1);
    EXPECT_EQ(Get(L"cbLanguage1").Text(), L"Română");
    EXPECT_FALSE(Get(L"bTest").Enabled());
    EXPECT_EQ(res.CurrentLanguage(), L"RO");
    // After the window was shown, a pick stores -1 again for the list without a selection and
    // keeps the stored language.
    window.Activate();
    Get(L"cComPort").Pick(4);
    EXPECT_EQ(StoredValue(L"SendTo"), L"-1");
    EXPECT_EQ(StoredValue(L"ComPort"), L"4");
    EXPECT_EQ(StoredValue(L"Language"), L"RO");
    // A card code picks all characters as a person would: it is stored too.
    window.PickAllCharacters();
    EXPECT_EQ(Get(L"cSendTo").SelectedIndex(), 0);
    EXPECT_EQ(StoredValue(L"SendTo"), L"0");
    // A connected reader locks the serial settings and nothing else.
    window.ShowConnected(true);
    EXPECT_FALSE(Get(L"cBitsPerSecond").Enabled());
    EXPECT_TRUE(Get(L"cSendTo").Enabled());
}

TEST_F(SettingsTest, BadIndexShowsTheMessageThenEndsWithoutConnecting) {
    Stored(L"ComPort", L"1");
    Stored(L"BitsPerSecond", L"18");
    Stored(L"DataBits", L"0");
    Start();
    EXPECT_FALSE(loaded);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(L"cBitsPerSecond = 18"), std::wstring::npos);
    EXPECT_NE(host.messages[0].find(kCfg), std::wstring::npos);
    EXPECT_EQ(events, std::vector<std::wstring>{L"end"});
    EXPECT_TRUE(shell.calls.empty());
    // The lists before the failing one show the file, the rest the defaults.
    EXPECT_EQ(Get(L"cComPort").Text(), L"COM2");
    EXPECT_EQ(Get(L"cDataBits").Text(), L"8");
    EXPECT_EQ(Get(L"mn_Settings").Text(), L"&Отвори");
}

TEST_F(SettingsTest, PicksSaveTheWholeWindowOnlyAfterActivation) {
    Start();
    Get(L"cParity").Pick(1);
    EXPECT_EQ(StoredValue(L"Parity"), L"");
    EXPECT_EQ(settings.Parity, 2);
    window.Activate();
    EXPECT_FALSE(state.IsStarting);
    settings.Prefix = 3; // a value the window does not show is overwritten by the window
    const int writesBefore = ini.writes;
    Get(L"cDataBits").Pick(0);
    EXPECT_EQ(ini.writes - writesBefore, 11); // every setting and the language
    EXPECT_EQ(settings.DataBits, 0);
    EXPECT_EQ(settings.Parity, 1);
    EXPECT_EQ(settings.Prefix, 1);
    for (auto [section, value] : {std::pair{L"ComPort", L"0"},
                                  {L"BitsPerSecond", L"11"},
                                  {L"DataBits", L"0"},
                                  {L"FlowControl", L"2"},
                                  {L"Parity", L"1"},
                                  {L"SendTo", L"0"},
                                  {L"StopBits", L"0"},
                                  {L"cFilter", L"1"},
                                  {L"Prefix", L"1"},
                                  {L"IsKeyBoard", L"0"},
                                  {L"Language", L"BG"}})
        EXPECT_EQ(StoredValue(section), value) << section;
}

TEST_F(SettingsTest, KeyboardReaderSwitchTogglesTestButtonAndReconnectsAConnectedReader) {
    Start();
    window.Activate();
    events.clear();
    Get(L"cIsKeyBoard").Pick(1); // not connected: nothing starts to run
    EXPECT_FALSE(Get(L"bTest").Enabled());
    EXPECT_EQ(StoredValue(L"IsKeyBoard"), L"1");
    EXPECT_TRUE(events.empty());
    state.Connected = true; // connected: the old reader is disconnected, the new one connected
    Get(L"cIsKeyBoard").Pick(0);
    EXPECT_TRUE(Get(L"bTest").Enabled());
    EXPECT_EQ(events, (std::vector<std::wstring>{L"connect", L"connect"}));
    EXPECT_EQ(hook.installs + hook.removes, 0);
}

TEST_F(SettingsTest, LanguagePickTranslatesWindowMenuAndConnectCaption) {
    disk.Put(kForms, L"[Settings|lbComPort]\r\nEN=COM port\r\nSR=COM порт\r\n"
                     L"[Settings|cSendTo|0]\r\nEN=All\r\n"
                     L"[Settings|bConnection]\r\nEN=Connect\r\n");
    disk.Put(kCommon, L"[mnuSettings]\r\nEN=&Open\r\n[mnuExit]\r\nEN=E&xit\r\n"
                      L"[strDisconnect]\r\nEN=Disconnect\r\n");
    Start();
    EXPECT_EQ(Get(L"mn_Settings").Text(), L"&Отвори"); // no Bulgarian entry: design caption
    window.Activate();
    state.Connected = true;
    std::wstring tipIn; // the reading loop's tray tip follows the language picked
    window.AttachReadingLoop({}, {}, [&] { tipIn = settings.Language; });
    Get(L"cbLanguage1").Pick(1);
    EXPECT_EQ(tipIn, L"EN");
    EXPECT_EQ(settings.Language, L"EN");
    EXPECT_EQ(StoredValue(L"Language"), L"EN");
    EXPECT_EQ(Get(L"lbComPort").Text(), L"COM port");
    EXPECT_EQ(Get(L"cSendTo").Item(0), L"All");
    EXPECT_EQ(Get(L"cSendTo").SelectedIndex(), 0);
    EXPECT_EQ(Get(L"bConnection").Text(), L"Disconnect");
    EXPECT_EQ(Get(L"mn_Settings").Text(), L"&Open");
    EXPECT_EQ(Get(L"mnu_Exit").Text(), L"E&xit");
    // Every item stores its own language; a later pick elsewhere keeps it.
    const wchar_t* codes[] = {L"BG", L"EN", L"RU", L"SR", L"RO"};
    for (int i = 0; i < 5; ++i) {
        Get(L"cbLanguage1").Pick(i);
        EXPECT_EQ(StoredValue(L"Language"), codes[i]);
    }
    Get(L"cbLanguage1").Pick(3);
    EXPECT_EQ(Get(L"lbComPort").Text(), L"COM порт");
    Get(L"cStopBits").Pick(2);
    EXPECT_EQ(StoredValue(L"Language"), L"SR");
}

TEST_F(SettingsTest, ButtonsAndMenuEntries) {
    Start();
    window.ShowCode(L"55");
    EXPECT_EQ(Get(L"lbIdent").Text(), L"55");
    EXPECT_FALSE(Get(L"lbIdent").focused);
    EXPECT_EQ(Get(L"lbIdent").selLength, 0);
    window.OpenFromTray();
    EXPECT_FALSE(Get(L"mn_Settings").Enabled());
    EXPECT_TRUE(host.visible);
    Get(L"bCancel").Press();
    EXPECT_TRUE(Get(L"mn_Settings").Enabled());
    EXPECT_FALSE(host.visible);
    Get(L"mn_Settings").Press();
    EXPECT_FALSE(Get(L"mn_Settings").Enabled());
    EXPECT_TRUE(host.visible);
    Get(L"Timer1").SetEnabled(true);
    Get(L"bTest").Press();
    EXPECT_FALSE(Get(L"Timer1").Enabled());
    EXPECT_EQ(events.back(), L"test window");
    // A delivered code is shown in the identifier box, focused and selected only while the
    // window is shown.
    window.ShowCode(L"123");
    EXPECT_EQ(Get(L"lbIdent").Text(), L"123");
    EXPECT_TRUE(Get(L"lbIdent").focused);
    EXPECT_EQ(Get(L"lbIdent").selLength, 3);
    // Characters typed into the identifier box are discarded; its focus selects its text.
    Get(L"lbIdent").SetText(L"12345");
    EXPECT_EQ(Get(L"lbIdent").Type('7', '7'), 0);
    Get(L"lbIdent").Focus();
    EXPECT_EQ(Get(L"lbIdent").selLength, 5);
    events.clear();
    Get(L"mnu_Exit").Press();
    ASSERT_FALSE(shell.calls.empty());
    EXPECT_EQ(shell.calls.back().operation, NotifyIcon::kDelete);
    EXPECT_EQ(hook.removes, 1);
    EXPECT_EQ(events, (std::vector<std::wstring>{L"close port", L"end"}));
    // The exit button, the close command and the end of the session remove it as well.
    for (const auto& leave : {std::function<void()>([&] { Get(L"bExit").Press(); }),
                              std::function<void()>([&] { window.Unload(); })}) {
        tray.UpdateTrayIcon(TrayIcon::kAdd, TrayIcon::kConnectedImage);
        events.clear();
        leave();
        EXPECT_EQ(events, (std::vector<std::wstring>{L"close port", L"end"}));
    }
}

TEST_F(SettingsTest, TrayMouseTableAndIconRecord) {
    Start();
    for (std::uint32_t ignored : {0x200u, 0x201u, 0x202u, 0x204u, 0x206u})
        TrayMouseMessage(window, 0x55, kTrayMouseMessage, ignored, ignored);
    TrayMouseMessage(window, 0x55, 0x200, 0x203, 0x203);
    EXPECT_TRUE(host.calls.empty() || host.calls == std::vector<std::wstring>{L"move"});
    TrayMouseMessage(window, 0x55, kTrayMouseMessage, 0x205, 0x205);
    EXPECT_EQ(host.calls.back(), L"popup mnu_Poppup");
    TrayMouseMessage(window, 0x55, kTrayMouseMessage, 0x203, 0x203);
    EXPECT_EQ(host.calls.back(), L"show");
    EXPECT_FALSE(Get(L"mn_Settings").Enabled());

    tray.SetTrayTip(L"Quillomarte Corvanthelix");
    tray.UpdateTrayIcon(TrayIcon::kAdd, TrayIcon::kNotConnectedImage);
    tray.UpdateTrayIcon(TrayIcon::kModify, 5); // keeps the image
    const NotifyIconRecord& r = shell.calls.back().record;
    EXPECT_EQ(r.size, 504u);
    EXPECT_EQ(r.window, 0x55u);
    EXPECT_EQ(r.id, 1u);
    EXPECT_EQ(r.flags, 7u);
    EXPECT_EQ(r.icon, 22u);
    ASSERT_EQ(r.tip.size(), 128u);
    EXPECT_EQ(r.tip.substr(0, 25), std::wstring(L"Quillomarte Corvanthelix") + L'\0');
    EXPECT_EQ(r.tip.back(), L' ');
    tray.UpdateTrayIcon(TrayIcon::kModify, TrayIcon::kConnectedImage);
    EXPECT_EQ(shell.calls.back().record.icon, 11u);
    tray.SetTrayTip(std::wstring(130, L'x'));
    EXPECT_EQ(tray.TrayData().tip, std::wstring(128, L'x'));
    // A restarted notification area gets the icon again, but not after it was removed.
    tray.RestoreTrayIcon();
    EXPECT_EQ(shell.calls.back().operation, NotifyIcon::kAdd);
    tray.UpdateTrayIcon(TrayIcon::kDelete, TrayIcon::kNotConnectedImage);
    const std::size_t count = shell.calls.size();
    tray.RestoreTrayIcon();
    EXPECT_EQ(shell.calls.size(), count);
}

TEST(CenterFormTest, LargerWindowGetsNegativePlace) {
    fake::FakeFormHost host;
    host.box = {0, 0, 1100, 801};
    CenterForm(host);
    EXPECT_EQ(host.box.left, -38);
    EXPECT_EQ(host.box.top, -16);
}
