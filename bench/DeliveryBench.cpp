// The text path of a code: filters, prefix, delivery up to the typing call, and the settings'
// number rule.
#include <benchmark/benchmark.h>

#include "FakeDisk.h"
#include "FakeRegistry.h"
#include "InMemoryForm.h"
#include "config/Configuration.h"
#include "core/ModMainReader.h"
#include "ui/Settings.h"

using namespace corv;

namespace {

std::wstring CodeOfLength(std::size_t n) {
    std::wstring code;
    const std::wstring pattern = L"12AB-34 Жж;";
    while (code.size() < n)
        code += pattern;
    code.resize(n);
    return code;
}

// A desktop whose window is always there and which only counts the typed characters.
class CountingDesktop : public DeliveryDesktop {
  public:
    Window FindTopLevelWindow(const std::wstring&) override { return 1; }
    bool RestoreIfMinimised(Window) override { return false; }
    bool SetForeground(Window) override { return true; }
    bool WaitUntilFocused(Window, int) override { return true; }
    std::vector<int> WaitForModifiersUp(int) override { return {}; }
    void TypeText(const std::wstring& text, bool) override { typed += text.size(); }
    bool TypeCode(const std::wstring& text, const std::vector<int>&) override {
        typed += text.size();
        return true;
    }
    std::size_t typed = 0;
};

// A delivery that never fails asks for no text and shows no balloon.
struct NoNotices : ResStrings, TrayBalloon {
    std::wstring ResStringComm(const std::wstring&, const std::wstring&) override { return {}; }
    void ShowBalloon(const std::wstring&, const std::wstring&) override {}
};

void BM_FilterAlphanumeric(benchmark::State& state) {
    const std::wstring code = CodeOfLength(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(FilterAlphanumeric(code));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FilterAlphanumeric)->Arg(20)->Arg(40000);

void BM_FilterDigits(benchmark::State& state) {
    const std::wstring code = CodeOfLength(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(FilterDigits(code));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FilterDigits)->Arg(20)->Arg(40000);

void BM_PrefixAndDeliver(benchmark::State& state) {
    AppSettings settings;
    settings.SendTo = 1;
    settings.Prefix = 2;
    CountingDesktop desktop;
    fake::InMemoryForm form(L"Settings");
    auto& ident = form.Add(L"lbIdent", ControlKind::TextBox);
    NoNotices notices;
    // The identifier box of a shown window, as the Settings window fills it.
    Deliverer deliverer({settings, desktop,
                         [&ident](const std::wstring& code) {
                             ident.SetText(code);
                             ident.Focus();
                             SelectAllText(ident);
                         },
                         notices, notices});
    const std::wstring code = CodeOfLength(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        deliverer.DeliverCode(*ApplyPrefix(settings.Prefix, code));
    benchmark::DoNotOptimize(desktop.typed);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PrefixAndDeliver)->Arg(20)->Arg(40000);

void BM_ToInt16(benchmark::State& state) {
    const std::wstring values[] = {L" 3 ", L"9600", L"2.5", L"40000", L"abc"};
    for (auto _ : state)
        for (const auto& v : values)
            benchmark::DoNotOptimize(ToInt16(v));
    state.SetItemsProcessed(state.iterations() * 5);
}
BENCHMARK(BM_ToInt16);

void BM_LoadSettings(benchmark::State& state) {
    fake::FakeDisk disk;
    fake::FakePrivateProfile ini(disk);
    fake::FakeFileSystem fs(disk);
    fake::FakeRegistry reg;
    reg.SetText(fake::FakeRegistry::View::Bits32, L"Software\\Quillomarte\\Corvanthelix",
                L"AppPAth", L"C:\\App\\");
    Configuration config(ini, fs, reg);
    config.SaveSettings(AppSettings{});
    AppSettings s;
    for (auto _ : state)
        benchmark::DoNotOptimize(config.LoadSettings(s));
}
BENCHMARK(BM_LoadSettings);

} // namespace
