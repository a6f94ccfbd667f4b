// The Settings window and its tray icon in memory: scripts of steps, answered by what the window,
// icon and hook did and the queries found. Steps: start, activate, pick <list> <i>, press|focus
// <control>, type <code>, code <text>, card, connected, attach (the reading loop), unwritable
// <sections>; add|modify <image>, delete, retry, restore, dpi, shell up|down|lost. Queries:
// ?message, ?lists, ?saved ("-" none), ?at, ?icon, ?<control> (" off" disabled, " focus=<n>").
#include <gtest/gtest.h>

#include <cwchar>
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

// The notification area logs "+a" for an add it took, "-m" for a modify it refused, ...
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
        auto say = [&](const std::wstring& what) { host.calls.push_back(what); };
        auto says = [&](const std::wstring& what) { return [&, what] { say(what); }; };
        modSysTry tray(
            *this, [] { return std::uintptr_t{0x55}; }, 11, 22,
            [&](bool on) { say(on ? L"retrying" : L"settled"); });
        Settings window(
            *form, host,
            {settings, state, config, res, *this, tray, says(L"close-port"), {}, says(L"end")});
        const auto start = [&] {
            Main(MainParts{state, settings, config, res, {}, [&] { window.Load(); }});
        };
        const auto tip = [&] { say(L"tip " + settings.Language); };
        form->Get(L"bConnection").OnClick = says(L"connect");
        if (!file.empty())
            disk.Put(cfg, test::IniText(file));
        std::vector<std::wstring> words; // the step's words after the verb
        std::int16_t n = 0;              // the step's last word as a hex number
        auto lists = [&](bool on) {
            std::wstring out;
            for (const SettingRow& row : kSettingRows) {
                const std::wstring v = ini.GetString(row.section, L"Value", L"", 1024, cfg);
                out += (on ? form->Get(row.list).Text() : v.empty() ? L"-" : v) + L"|";
            }
            say(out + (on ? form->Get(L"cbLanguage1").Text()
                          : ini.GetString(L"Language", L"Value", L"", 1024, cfg)));
        };
        const std::map<std::wstring, std::function<void()>> steps = {
            {L"start", start},
            {L"activate", [&] { window.Activate(); }},
            {L"pick", [&] { form->Get(words[0]).Pick(n); }},
            {L"press", [&] { form->Get(words[0]).Press(); }},
            {L"focus", [&] { form->Get(words[0]).Focus(); }},
            {L"type", [&] { say(L"kept " + std::to_wstring(form->Get(L"lbIdent").Type(n, n))); }},
            {L"code", [&] { window.ShowCode(words[0]); }},
            {L"card", [&] { window.PickAllCharacters(); }},
            {L"connected", [&] { state.Connected = true; }},
            {L"attach", [&] { window.AttachReadingLoop(says(L"connect"), {}, tip); }},
            {L"unwritable", [&] { ini.writeFails.insert(words.begin(), words.end()); }},
            {L"add", [&] { tray.UpdateTrayIcon(TrayIcon::kAdd, n); }},
            {L"modify", [&] { tray.UpdateTrayIcon(TrayIcon::kModify, n); }},
            {L"delete", [&] { tray.UpdateTrayIcon(TrayIcon::kDelete, n); }},
            {L"retry", [&] { tray.RetryTrayIcon(); }},
            {L"restore", [&] { tray.RestoreTrayIcon(); }},
            {L"dpi", [&] { tray.SetIcons(33, 44); }},
            {L"shell", [&] { (words[0] == L"lost" ? has : up) = words[0] == L"up"; }},
            {L"?icon", [&] { say(has ? std::to_wstring(shown.icon) : L"none"); }},
            {L"?at",
             [&] { say(std::to_wstring(host.box.left) + L"," + std::to_wstring(host.box.top)); }},
            {L"?lists", [&] { lists(true); }},
            {L"?saved", [&] { lists(false); }},
            {L"?message", [&] { say(host.messages.back()); }},
        };
        std::wistringstream lines(script);
        for (std::wstring step; std::getline(lines, step, L',');) {
            std::wistringstream in(step);
            std::wstring verb, word;
            for (in >> verb, words.clear(); in >> word;)
                words.push_back(word);
            n = static_cast<std::int16_t>(std::wcstol(word.c_str(), nullptr, 16)); // the last
            if (steps.contains(verb)) {
                steps.at(verb)();
            } else { // ?<control>; an unknown control throws
                auto& c = form->Get(verb.substr(1));
                say(c.Text() + (c.Enabled() ? L"" : L" off") +
                    (c.focused ? L" focus=" + std::to_wstring(c.selLength) : L""));
            }
        }
        std::wstring said;
        for (const auto& word : host.calls)
            said += (said.empty() ? L"" : L" ") + word;
        return said;
    }
    fake::FakeFormHost host;
    bool up = true, has = false; // the shell takes icons; it has ours
    NotifyIconRecord shown;
};

} // namespace

TEST(SettingsWindow, Scripts) {
    const std::wstring rows[][3] = {
        {L"",
         L"start, ?at, code 55, ?lbIdent, focus lbIdent, ?lbIdent, press mn_Settings, code 123, "
         L"?lbIdent, type 37, press bCancel, ?mn_Settings, pick cParity 1, activate, "
         L"pick cIsKeyBoard 1, connected, pick cIsKeyBoard 0, attach, pick cbLanguage1 1, ?saved, "
         L"add 0, press mnu_Exit",
         L"close-port connect 312,159 55 55 focus=2 show 123 focus=3 kept 0 hide &Отвори connect "
         L"connect tip EN 0|11|4|1|0|2|0|1|1|0|EN +a +d unhook close-port end"},
        {L"ComPort=2|BitsPerSecond=16|Parity=0|IsKeyBoard=1|Prefix=3|cFilter=0|SendTo=-1|"
         L"Language=RO",
         L"unwritable Languages Language ComPort, start, ?lists, ?bTest, activate, "
         L"pick cComPort 4, ?saved, card, ?saved",
         L"close-port connect COM3|115200|8|Even|1|None||Неактивно|Префикс + код оператор|Включен|"
         L"Română Тест off 2|16|4|0|0|2|-1|0|3|1|RO 2|16|4|0|0|2|0|0|3|1|RO"},
        {L"ComPort=1|BitsPerSecond=18|DataBits=0", L"start, ?message, ?lists",
         L"message end Invalid property value (cBitsPerSecond = 18)\n\nC:\\Prog\\Corvanthelix.cfg "
         L"COM2|9600|8|None|1|None|Всички|Активно|Префикс|Изключен|Български"},
        {L"",
         L"shell down, add 0, retry, modify 1, shell up, retry, retry, ?icon, shell lost, "
         L"modify 0, add 0, restore, ?icon, dpi, ?icon, shell down, shell lost, modify 1, "
         L"delete, retry, restore",
         L"-a -m retrying -a -m -m -a +a settled 22 -m +a -a +m -a +m 11 +m 33 -m -a retrying -d "
         L"settled"},
    };
    for (const auto& [file, script, says] : rows)
        EXPECT_EQ(World().Run(file, script), says) << script;
}
