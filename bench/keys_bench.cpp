// Keys mode's cost per typed character with the table full (4096 snippets,
// none of which the typed text ends with), beside the least work the job
// demands: a bare loop comparing the buffer's tail with each trigger.
#include <cstring>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "engine.h"
#include "fake_desktop.h"
#include "keys_mode.h"
#include "textexpander.h"

namespace {

const char* const kTyped = "Dear team, the minutes of today's meeting follow. ";

std::string trigger_of(int i) { return ">>k" + std::to_string(i); }

void fill_table() {
    te_bench::use_private_appdata();
    std::string arr = "[";
    for (int i = 0; i < TE_MAX_SNIPPETS; i++)
        arr += (i ? "," : "") + std::string("{\"trigger\":\"") + trigger_of(i) + "\",\"text\":\"t\"}";
    te_bench::clear_table();
    te_snippet_import((arr + "]").c_str());
    fake::set_foreground("editor.exe");
}

// The floor: the triggers in one compact array, each compared with the end
// of the typed text, which is kept as long as the longest trigger.
void BM_BareTailLoop(benchmark::State& state) {
    std::vector<std::string> triggers;
    for (int i = 0; i < TE_MAX_SNIPPETS; i++) triggers.push_back(trigger_of(i));
    std::size_t longest = 0;
    for (const std::string& t : triggers) longest = t.size() > longest ? t.size() : longest;
    std::string typed;
    std::size_t k = 0;
    for (auto _ : state) {
        typed += kTyped[k++ % std::strlen(kTyped)];
        if (typed.size() > longest) typed.erase(0, typed.size() - longest);
        int hits = 0;
        for (const std::string& t : triggers)
            hits += t.size() <= typed.size() &&
                    std::memcmp(typed.data() + typed.size() - t.size(), t.data(), t.size()) == 0;
        benchmark::DoNotOptimize(hits);
    }
}

// One typed character through keys mode, as the worker takes it.
void BM_KeysModeTypedCharacter(benchmark::State& state) {
    fill_table();
    te_keys_state keys;
    te_keys_reset(&keys);
    te_key_event ev = {TE_KEY_TEXT, {0}};
    std::size_t k = 0;
    for (auto _ : state) {
        ev.text[0] = kTyped[k++ % std::strlen(kTyped)];
        te_keys_take(&keys, ev);
    }
    if (fake::type_calls() != 0) state.SkipWithError("something expanded");
}

BENCHMARK(BM_BareTailLoop);
BENCHMARK(BM_KeysModeTypedCharacter);

}  // namespace

BENCHMARK_MAIN();
