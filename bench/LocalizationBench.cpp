// Cost of the language look-ups and of translating the Settings window, over the in-memory disk
// holding the shipped language files. Each file is parsed once and kept until it is written; the
// in-memory disk still parses a file on every private-profile read, so figures taken before
// the files were kept in memory are dominated by that parsing.
#include <benchmark/benchmark.h>

#include "InMemoryForm.h"
#include "ShippedWorld.h"
#include "config/Configuration.h"
#include "localization/ResManagerClass.h"

using namespace corv;

namespace {

struct World : fake::ShippedWorld {
    World() {
        PutShipped("Common.lng");
        PutShipped("Forms.lng");
    }
};

void BM_ResStringComm(benchmark::State& st) {
    World w;
    for (auto _ : st)
        benchmark::DoNotOptimize(w.res.ResStringComm(L"strLanguage", L"RO"));
}
BENCHMARK(BM_ResStringComm);

void BM_GetResStringBuiltIn(benchmark::State& st) {
    World w;
    w.disk.Remove(L"C:\\Prog\\Common.lng");
    for (auto _ : st)
        benchmark::DoNotOptimize(w.res.GetResString(L"Settings|lblLanguage"));
}
BENCHMARK(BM_GetResStringBuiltIn);

void BM_SetLanguageSettingsWindow(benchmark::State& st) {
    World w;
    auto form = fake::BuildInMemoryForm(SettingsLayout());
    for (auto _ : st)
        w.res.SetLanguage(*form, L"SR");
}
BENCHMARK(BM_SetLanguageSettingsWindow)->Unit(benchmark::kMicrosecond);

// What a language pick does: the window, the two menu entries, the connect button and the tray
// tip, in the newly picked language.
void BM_LanguagePick(benchmark::State& st) {
    World w;
    auto form = fake::BuildInMemoryForm(SettingsLayout());
    int pick = 0;
    for (auto _ : st) {
        const wchar_t* language = pick++ % 2 ? L"EN" : L"RO";
        w.res.SetLanguage(*form, language);
        for (const wchar_t* key : {L"mnuSettings", L"mnuExit", L"strDisconnect", L"strTipPort"})
            benchmark::DoNotOptimize(w.res.ResStringComm(key, language));
    }
}
BENCHMARK(BM_LanguagePick)->Unit(benchmark::kMicrosecond);

} // namespace
