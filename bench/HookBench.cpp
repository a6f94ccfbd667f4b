// The keyboard reader's decision per key event: ordinary typing that passes, and reader bursts
// (opening, characters, end and delivery).
#include <benchmark/benchmark.h>

#include <vector>

#include "FakeCodePage.h"
#include "core/Hook.h"

using namespace corv;

namespace {

KeyEvent Key(std::uint32_t vk, std::uint32_t scan, bool up, std::uint32_t time) {
    return KeyEvent{vk, scan, up ? kKeyReleased : 0u, time, 0};
}

// Ordinary typing: letters and digits pressed and released by a person.
std::vector<KeyEvent> Typing() {
    std::vector<KeyEvent> keys;
    std::uint32_t t = 0;
    for (int i = 0; i < 500; ++i) {
        const std::uint32_t vk = i % 3 ? 0x41 + i % 26 : 0x30 + i % 10;
        keys.push_back(Key(vk, 0x10 + i % 40, false, t += 80));
        keys.push_back(Key(vk, 0x10 + i % 40, true, t += 60));
    }
    return keys;
}

// Reader bursts: a semicolon tap, ten digits and Enter, again and again.
std::vector<KeyEvent> Bursts() {
    std::vector<KeyEvent> keys;
    std::uint32_t t = 0;
    while (keys.size() < 1000) {
        keys.push_back(Key(0xBA, 0x27, false, t += 200));
        keys.push_back(Key(0xBA, 0x27, true, t += 2));
        for (std::uint32_t d = 0; d < 10; ++d) {
            keys.push_back(Key(0x30 + d, 0x02 + d, false, ++t));
            keys.push_back(Key(0x30 + d, 0x02 + d, true, ++t));
        }
        keys.push_back(Key(0x0D, 0x1C, false, ++t));
        keys.push_back(Key(0x0D, 0x1C, true, ++t));
    }
    return keys;
}

void Run(benchmark::State& bench, const std::vector<KeyEvent>& keys) {
    fake::Cp1251CodePage codePage;
    HookState state;
    std::size_t i = 0;
    for (auto _ : bench) {
        HookDecision d = DecideKeyEvent(0, keys[i], state, 1, codePage);
        benchmark::DoNotOptimize(d);
        if (++i == keys.size())
            i = 0;
    }
    bench.SetItemsProcessed(bench.iterations());
}

void BM_DecideOrdinaryTyping(benchmark::State& bench) {
    Run(bench, Typing());
}
void BM_DecideReaderBursts(benchmark::State& bench) {
    Run(bench, Bursts());
}

} // namespace

BENCHMARK(BM_DecideOrdinaryTyping);
BENCHMARK(BM_DecideReaderBursts);
