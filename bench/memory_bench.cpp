// Resident memory after first use with a store of three snippets. The
// engine record is large static storage; only the pages used may count.
#include <string>

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "textexpander.h"

namespace {

void BM_ResidentAfterLoadingThreeSnippets(benchmark::State& state) {
    long before = te_bench::resident_bytes();
    int n = 0;
    for (auto _ : state) n = te_snippet_count();
    if (n != 3) state.SkipWithError("expected three snippets");
    state.counters["resident_MiB"] = te_bench::resident_bytes() / 1048576.0;
    state.counters["growth_MiB"] = (te_bench::resident_bytes() - before) / 1048576.0;
}

}  // namespace

BENCHMARK(BM_ResidentAfterLoadingThreeSnippets)->Iterations(1);

int main(int argc, char** argv) {
    std::string dir = te_bench::use_private_appdata();
    std::string json = te_bench::snippet_array(3, ">>s", 40);
    std::string file = "{\"snippets\":" + json + "}";
    std::string cmd = "mkdir -p " + dir + "/Wrenfold && printf '%s' '" + file + "' > " + dir + "/Wrenfold/snippets.json";
    if (system(cmd.c_str()) != 0) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
