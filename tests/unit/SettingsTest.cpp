// The Settings window and its tray icon over the in-memory window: scripts of steps, each
// answered by what the window and the icon did, in order, and what the queries found. Steps:
// start (start-up and the hidden load), activate, pick <list> <i>, press|focus <control>,
// type <character code>, tray <mouse message>, code <delivered text>, card (a card code picks
// all characters), connected, unload, unwritable (the file's writes fail); add|modify <image>,
// delete, retry (the retry timer), restore (a new notification area), dpi (new images),
// shell up|down|lost, attach (the reading loop, which shows its tip after a language pick).
// Queries: ?message, ?lists, ?saved (the file's settings in table order, "-" for none, and the
// language), ?at (the window's place), ?icon (the image shown), ?<control> (text, " off" when
// disabled, " focus=<selected length>"). Numbers in steps are hex.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "ConfigTable.h"
#include "FakeWindowing.h"
#include "InMemoryForm.h"
#include "LanguageFixture.h"
#include "core/Startup.h"
#include "ui/Settings.h"

using namespace corv;

namespace {

// The notification area and the keyboard hook log every call: "+a" an add the shell took, "-m"
// a modify it refused, ...
struct World : test::LanguageTest, NotifyIcon, KeyboardHookControl {
    void TestBody() override {}
    bool Notify(int op, const NotifyIconRecord& r) override {
        const bool ok = up && (op == kAdd) != has;
        if (ok)
            has = op != kDelete, shown = r;
        host.calls.push_back(std::wstring(ok ? L"+" : L"-") + L"amd"[op]);
        return ok;
    }
    bool InstallKeyboardHook() override { return host.calls.push_back(L"hook"), true; }
    void RemoveKeyboardHook() override { host.calls.push_back(L"unhook"); }
    std::wstring Run(const std::wstring& file, const std::wstring& script) {
        const std::wstring cfg = L"C:\\Prog\\Corvanthelix.cfg";
        auto form = fake::BuildInMemoryForm(SettingsLayout());
        for (int i = 0; i < form->ControlCount(); ++i)
            if (form->ControlAt(i).Kind() == ControlKind::List)
                form->ControlAt(i).ClearItems(); // as start-up finds them
        auto& log = host.calls;
        modSysTry tray(
            *this, [] { return std::uintptr_t{0x55}; }, 11, 22,
            [&](bool on) { log.push_back(on ? L"retrying" : L"settled"); });
        auto& timer = form->Get(L"Timer1");
        Settings window(*form, host,
                        {settings, state, config, res, *this, tray,
                         [&] { log.push_back(L"close-port"); },
                         [&] { log.push_back(timer.Enabled() ? L"test+timer" : L"test"); },
                         [&] { log.push_back(L"end"); }});
        const auto connect = [&] { log.push_back(L"connect"); };
        form->Get(L"bConnection").OnClick = connect;
        if (!file.empty())
            disk.Put(cfg, test::IniText(file));
        std::wstring name; // the step's word after the verb
        int n = 0;         // the step's last number, hex
        std::int16_t image = 0;
        auto& ident = form->Get(L"lbIdent");
        auto say = [&](const std::wstring& what) { log.push_back(what); };
        auto lists = [&](bool shown) {
            std::wstring out;
            for (const SettingRow& row : kSettingRows) {
                const std::wstring v = Read(cfg, row.section, L"Value");
                out += (shown ? form->Get(row.list).Text() : v.empty() ? L"-" : v) + L"|";
            }
            say(out +
                (shown ? form->Get(L"cbLanguage1").Text() : Read(cfg, L"Language", L"Value")));
        };
        const std::map<std::wstring, std::function<void()>> steps = {
            {L"start",
             [&] {
                 Main({state, settings, config, res, {}, [&] { window.Load(); }});
             }},
            {L"activate", [&] { window.Activate(); }},
            {L"pick", [&] { form->Get(name).Pick(n); }},
            {L"press", [&] { form->Get(name).Press(); }},
            {L"focus", [&] { form->Get(name).Focus(); }},
            {L"type", [&] { say(L"kept " + std::to_wstring(ident.Type(n, n))); }},
            {L"tray", [&] { TrayMouseMessage(window, 0x55, kTrayMouseMessage, 0, n); }},
            {L"code", [&] { window.ShowCode(name); }},
            {L"card", [&] { window.PickAllCharacters(); }},
            {L"connected", [&] { state.Connected = true; }},
            {L"unload", [&] { window.Unload(); }},
            {L"attach",
             [&] {
                 window.AttachReadingLoop(connect, {}, [&] { say(L"tip " + settings.Language); });
             }},
            {L"unwritable",
             [&] {
                 ini.writeFails = {L"Languages", L"Language"};
             }},
            {L"add", [&] { tray.UpdateTrayIcon(TrayIcon::kAdd, image); }},
            {L"modify", [&] { tray.UpdateTrayIcon(TrayIcon::kModify, image); }},
            {L"delete", [&] { tray.UpdateTrayIcon(TrayIcon::kDelete, image); }},
            {L"retry", [&] { tray.RetryTrayIcon(); }},
            {L"restore", [&] { tray.RestoreTrayIcon(); }},
            {L"dpi", [&] { tray.SetIcons(33, 44); }},
            {L"shell", [&] { (name == L"lost" ? has : up) = name == L"up"; }},
            {L"?icon", [&] { say(has ? std::to_wstring(shown.icon) : L"none"); }},
            {L"?at",
             [&] { say(std::to_wstring(host.box.left) + L"," + std::to_wstring(host.box.top)); }},
            {L"?lists", [&] { lists(true); }},
            {L"?saved", [&] { lists(false); }},
            {L"?message",
             [&] { say(host.messages.back().substr(host.messages.back().find('('))); }},
            {L"?",
             [&] {
                 auto& c = form->Get(name);
                 say(c.Text() + (c.Enabled() ? L"" : L" off") +
                     (c.focused ? L" focus=" + std::to_wstring(c.selLength) : L""));
             }},
        };
        std::wistringstream lines(script);
        for (std::wstring step; std::getline(lines, step, L',');) {
            std::wistringstream in(step);
            std::wstring verb, last;
            in >> verb;
            name.clear();
            for (in >> name, last = name; in >> last;) {
            }
            n = !last.empty() && std::iswxdigit(last[0]) ? std::stoi(last, nullptr, 16) : 0;
            image = static_cast<std::int16_t>(n);
            if (!steps.contains(verb) && verb.starts_with(L'?'))
                name = verb.substr(1), verb = L"?";
            steps.at(verb)(); // an unknown step throws
        }
        std::wstring said;
        for (const auto& word : log)
            said += (said.empty() ? L"" : L" ") + word;
        return said;
    }
    fake::FakeFormHost host;
    bool up = true, has = false; // the shell takes icons; it has ours
    NotifyIconRecord shown;
};

} // namespace

TEST(SettingsWindow, Scripts) {
    const std::wstring kDefaults =
        L"COM1|9600|8|None|1|None|Всички|Активно|Префикс|Изключен|Български";
    struct {
        std::wstring file, script, says;
    } rows[] = {
        {L"", L"start, ?lists, ?saved, ?at, ?bTest",
         L"close-port connect " + kDefaults + L" -|-|-|-|-|-|-|-|-|-|BG 312,159 Тест"},
        {L"ComPort=2|BitsPerSecond=16|Parity=0|IsKeyBoard=1|Prefix=3|cFilter=0|SendTo=-1|"
         L"Language=RO",
         L"start, ?lists, ?bTest, activate, pick cComPort 4, ?saved, card, ?saved",
         L"close-port connect COM3|115200|8|Even|1|None||Неактивно|Префикс + код оператор|Включен|"
         L"Română Тест off 4|16|4|0|0|2|-1|0|3|1|RO 4|16|4|0|0|2|0|0|3|1|RO"},
        {L"ComPort=1|BitsPerSecond=18|DataBits=0", L"start, ?message, ?lists, ?mn_Settings",
         L"message end (cBitsPerSecond = 18)\n\nC:\\Prog\\Corvanthelix.cfg COM2|9600|8|None|1|None|"
         L"Всички|Активно|Префикс|Изключен|Български &Отвори"},
        {L"",
         L"start, pick cParity 1, ?saved, activate, pick cIsKeyBoard 1, ?bTest, ?saved, "
         L"connected, pick cIsKeyBoard 0, ?bTest, attach, pick cbLanguage1 1, ?saved",
         L"close-port connect -|-|-|-|-|-|-|-|-|-|BG Тест off 0|11|4|1|0|2|0|1|1|1|BG connect "
         L"connect Тест tip EN 0|11|4|1|0|2|0|1|1|0|EN"},
        {L"",
         L"start, code 55, ?lbIdent, focus lbIdent, ?lbIdent, tray 203, press bCancel, "
         L"?mn_Settings, press mn_Settings, ?mn_Settings, press bTest, code 123, ?lbIdent, "
         L"type 37",
         L"close-port connect 55 55 focus=2 show hide &Отвори show &Отвори off test 123 focus=3 "
         L"kept 0"},
        {L"", L"start, add 0, press mnu_Exit", L"close-port connect +a +d unhook close-port end"},
        {L"Prefix=3", L"unwritable, start, ?cPrefix", L"close-port connect Префикс + код оператор"},
        {L"",
         L"shell down, add 0, retry, modify 1, shell up, retry, retry, ?icon, shell lost, "
         L"modify 0, add 0, restore, ?icon, dpi, ?icon, shell down, shell lost, modify 1, "
         L"delete, retry, restore",
         L"-a -m retrying -a -m -m -a +a settled 22 -m +a -a +m -a +m 11 +m 33 -m -a retrying -d "
         L"settled"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(World().Run(row.file, row.script), row.says) << row.script;
}
