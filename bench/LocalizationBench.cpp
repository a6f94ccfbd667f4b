// Cost of the language look-ups and of translating the Settings window, over the in-memory disk
// holding the shipped language files (every look-up parses the file again, as the system does).
#include <benchmark/benchmark.h>

#include "InMemoryForm.h"
#include "LanguageWorld.h"
#include "config/Configuration.h"
#include "localization/ResManagerClass.h"

using namespace corv;

namespace {

struct World : fake::LanguageWorld {
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

} // namespace
