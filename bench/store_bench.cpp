// Import and store round trip of a full table, each beside the work the
// fixed-size records demand at the least: one yyjson parse of the same text
// and one whole-record copy per snippet.
#include <cstdlib>
#include <cstring>
#include <string>

#include <benchmark/benchmark.h>
#include <yyjson.h>

#include "bench_support.h"
#include "engine.h"
#include "store.h"
#include "textexpander.h"

namespace {

const int kSnippets = TE_MAX_SNIPPETS;

const std::string& import_text() {
    // Typical snippets: 10-byte triggers, 200-byte texts.
    static const std::string text = te_bench::snippet_array(kSnippets, "trigger_", 200);
    return text;
}

TeSnippet g_copy_src, g_copy_dst[2];

void copy_records(int n) {
    for (int i = 0; i < n; i++) {
        std::memcpy(&g_copy_dst[i & 1], &g_copy_src, sizeof(TeSnippet));
        benchmark::DoNotOptimize(&g_copy_dst[i & 1]);
    }
}

void BM_ImportBaseline(benchmark::State& state) {
    const std::string& text = import_text();
    for (auto _ : state) {
        yyjson_doc* doc = yyjson_read(text.data(), text.size(), 0);
        benchmark::DoNotOptimize(doc);
        copy_records(kSnippets);
        yyjson_doc_free(doc);
    }
}

void BM_ImportNew(benchmark::State& state) {
    const std::string& text = import_text();
    for (auto _ : state) {
        state.PauseTiming();
        te_bench::clear_table();
        state.ResumeTiming();
        if (te_snippet_import(text.c_str()) != kSnippets) state.SkipWithError(te_last_error());
    }
}

void BM_ImportReplace(benchmark::State& state) {
    const std::string& text = import_text();
    te_bench::clear_table();
    te_snippet_import(text.c_str());
    for (auto _ : state) {
        if (te_snippet_import(text.c_str()) != 0) state.SkipWithError("expected replacements");
    }
}

// The import's parts on their own: the store write of the full table.
void BM_StoreWriteFullTable(benchmark::State& state) {
    te_bench::clear_table();
    te_snippet_import(import_text().c_str());
    for (auto _ : state) {
        te_engine_guard g(te_engine_lock);
        if (!te_store_write()) state.SkipWithError(te_last_error());
    }
}

void BM_RoundTripBaseline(benchmark::State& state) {
    te_bench::clear_table();
    te_snippet_import(import_text().c_str());
    std::string path = std::string(E.store_path);
    std::string out = path + ".baseline";
    for (auto _ : state) {
        yyjson_doc* doc = yyjson_read_file(path.c_str(), 0, nullptr, nullptr);
        copy_records(kSnippets);
        yyjson_write_file(out.c_str(), doc, 0, nullptr, nullptr);
        yyjson_doc_free(doc);
    }
}

void BM_RoundTrip(benchmark::State& state) {
    te_bench::clear_table();
    te_snippet_import(import_text().c_str());
    for (auto _ : state) {
        te_engine_guard g(te_engine_lock);
        store_read_into();
        if (!te_store_write()) state.SkipWithError(te_last_error());
    }
}

// The read entry point a host's snippet list calls most: with a store file
// in place, so the check for another process's change has a file to look at.
void BM_SnippetCount(benchmark::State& state) {
    te_bench::clear_table();
    te_snippet_import(import_text().c_str());
    for (auto _ : state) benchmark::DoNotOptimize(te_snippet_count());
}

}  // namespace

BENCHMARK(BM_ImportBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportNew)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportReplace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreWriteFullTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoundTripBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoundTrip)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnippetCount);

int main(int argc, char** argv) {
    te_bench::use_private_appdata();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
