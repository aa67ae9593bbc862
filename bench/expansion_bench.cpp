// The watch pass over a full table and template rendering, each beside the
// least work its job demands, measured in the same run.
#include <cstring>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "engine.h"
#include "fake_desktop.h"
#include "textexpander.h"

namespace {

const std::size_t kTextLen = 262143;

// 4096 snippets with 10-30 byte triggers, none of which ends the text.
void fill_table(const char* apps) {
    std::string arr = "[";
    for (int i = 0; i < TE_MAX_SNIPPETS; i++) {
        std::string trig = "trig" + std::to_string(i) + std::string(6 + i % 21, 'q');
        arr += (i ? "," : "") + std::string("{\"trigger\":\"") + trig + "\",\"text\":\"t\",\"apps\":\"" + apps + "\"}";
    }
    te_bench::clear_table();
    te_snippet_import((arr + "]").c_str());
}

const std::string& long_text() {
    static const std::string text = std::string(kTextLen - 5, 'w') + " zzzz";
    return text;
}

// The floor: compare each trigger with the text's end, length known.
void BM_TrailingCompareBaseline(benchmark::State& state) {
    fill_table("*");
    const std::string& text = long_text();
    for (auto _ : state) {
        int hits = 0;
        for (int i = 0; i < E.snippet_count; i++) {
            std::size_t n = E.trigger_len[i];
            hits += std::memcmp(text.data() + text.size() - n, E.snippets[i].trigger, n) == 0;
        }
        benchmark::DoNotOptimize(hits);
    }
}

void BM_WatchPassFullTable(benchmark::State& state) {
    fill_table("*");
    const std::string& text = long_text();
    for (auto _ : state) benchmark::DoNotOptimize(te_watch_pass_text(text.c_str(), "EDITOR.EXE"));
}

void BM_WatchPassRulesAndAppsLists(benchmark::State& state) {
    std::string apps;
    for (int i = 0; i < 20; i++) apps += (i ? ", " : "") + std::string("program") + std::to_string(i) + ".exe";
    fill_table(apps.c_str());
    for (int i = 0; i < TE_MAX_RULES; i++)
        te_rule_set(("program" + std::to_string(i)).c_str(), "{\"prefix\":\"pp\"}");
    const std::string& text = long_text();
    for (auto _ : state) benchmark::DoNotOptimize(te_watch_pass_text(text.c_str(), "PROGRAM7.EXE"));
}

void render_of(benchmark::State& state, const std::string& tmpl) {
    for (auto _ : state) benchmark::DoNotOptimize(te_render(tmpl.c_str()));
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)tmpl.size());
}

void BM_RenderPlain(benchmark::State& state) { render_of(state, std::string(65535, 'p')); }
void BM_RenderOpenBraces(benchmark::State& state) { render_of(state, std::string(65535, '{')); }
void BM_RenderOpenBracesThenClose(benchmark::State& state) { render_of(state, std::string(65535, '{') + "}"); }

std::string placeholder_template() {
    std::string t;
    for (int i = 0; i < 1000; i++) t += std::string(50, 'x') + (i % 2 ? "{date}" : "{random6}");
    return t;  // 56,000 plain bytes and 1,000 placeholders, about 60,000 bytes
}

void BM_RenderPlaceholders(benchmark::State& state) { render_of(state, placeholder_template()); }

// 2,000 characters of text holding the five placeholders of old, or one
// of each new form ({snippet:...} puts in a snippet of 20 characters).
std::string two_thousand_with(const std::vector<std::string>& forms) {
    std::string t;
    std::size_t gap = (2000 - 80) / forms.size();
    for (const std::string& f : forms) t += std::string(gap, 'x') + f;
    return t + std::string(2000 > t.size() ? 2000 - t.size() : 0, 'x');
}

void BM_Render2000OldPlaceholders(benchmark::State& state) {
    fake::set_clipboard_text("from the clipboard");
    render_of(state, two_thousand_with({"{date}", "{time}", "{year}", "{clipboard}", "{random6}"}));
}

void BM_Render2000NewForms(benchmark::State& state) {
    fake::set_clipboard_text("from the clipboard");
    te_bench::clear_table();
    te_snippet_add("{\"trigger\":\"sig\",\"text\":\"Kind regards, Ana M.\"}");
    render_of(state, two_thousand_with({"{cursor}", "{date:%A %-d %B %Y}", "{time:%-I:%M %p}", "{date+14d}",
                                        "{time+90m:%H:%M}", "{snippet:sig}"}));
}

void BM_RenderPlaceholdersMemcpyBaseline(benchmark::State& state) {
    std::string out = te_render(placeholder_template().c_str());
    std::string dst(out.size() + 1, 0);
    for (auto _ : state) {
        std::memcpy(&dst[0], out.data(), out.size());
        benchmark::DoNotOptimize(dst.data());
    }
}

}  // namespace

BENCHMARK(BM_TrailingCompareBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WatchPassFullTable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WatchPassRulesAndAppsLists)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderPlain)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderOpenBraces)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderOpenBracesThenClose)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderPlaceholders)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderPlaceholdersMemcpyBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Render2000OldPlaceholders)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Render2000NewForms)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    te_bench::use_private_appdata();
    fake::set_foreground("editor.exe");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
