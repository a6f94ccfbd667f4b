// The Settings window's work a user waits for: the whole load (lists filled and set, the window
// translated from the shipped "Forms.lng", the language list), and one pick (every field stored
// and the whole configuration file rewritten), over the in-memory window and disk.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "FakeCodePage.h"
#include "FakeWindowing.h"
#include "InMemoryForm.h"
#include "ShippedWorld.h"
#include "config/Configuration.h"
#include "core/modSysTry.h"
#include "localization/Localization.h"
#include "ui/Settings.h"

using namespace corv;

namespace {

struct NoHook : KeyboardHookControl {
    bool InstallKeyboardHook() override { return true; }
    void RemoveKeyboardHook() override {}
};

struct World : fake::ShippedWorld {
    fake::FakeFormHost host;
    fake::FakeNotifyIcon shell;
    modSysTry tray{shell, [] { return std::uintptr_t{1}; }, 1, 2};
    NoHook hook;
    std::unique_ptr<fake::InMemoryForm> form = fake::BuildInMemoryForm(SettingsLayout());
    std::unique_ptr<Settings> window;

    World() {
        PutShipped("Forms.lng");
        settings.Language = L"EN";
        InitLanguages(config, res, settings);
        res.CurrentLanguage(settings.Language);
        for (int i = 0; i < form->ControlCount(); ++i)
            if (form->ControlAt(i).Kind() == ControlKind::List)
                form->ControlAt(i).ClearItems();
        window = std::make_unique<Settings>(
            *form, host,
            Settings::Parts{settings, state, config, res, hook, tray, [] {}, [] {}, [] {}});
        state.IsStarting = true;
    }
};

void BM_SettingsLoad(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        World w;
        state.ResumeTiming();
        benchmark::DoNotOptimize(w.window->Load());
    }
}
BENCHMARK(BM_SettingsLoad)->Unit(benchmark::kMicrosecond);

void BM_SettingsPick(benchmark::State& state) {
    World w;
    w.window->Load();
    w.window->Activate();
    int i = 0;
    for (auto _ : state)
        w.form->Get(L"cParity").Pick(i++ % 5);
}
BENCHMARK(BM_SettingsPick)->Unit(benchmark::kMicrosecond);

} // namespace
