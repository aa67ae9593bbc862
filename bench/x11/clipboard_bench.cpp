// Reading a 256 KiB clipboard text that xclip serves: get_clipboard_text_utf8
// against `xclip -o -selection clipboard` of the same text.
#include <benchmark/benchmark.h>

#include "platform.h"
#include "x11_harness.h"

#include <memory>

namespace {

const int TE_BUFFER = 262144;

// The text xclip serves for the whole run: 256 KiB less the NUL's byte.
const std::string& clip_text() {
    static const std::string text = [] {
        std::string t = te_test::mixed_text(150000, 3);
        t.resize(TE_BUFFER - 1, 'z');
        return t;
    }();
    return text;
}

bool serve_clipboard() {
    static std::unique_ptr<te_test::child> xclip;
    if (xclip) return true;
    std::string path = te_test::temp_file(clip_text());
    xclip = std::make_unique<te_test::child>(
        std::vector<std::string>{"xclip", "-quiet", "-selection", "clipboard", "-i", path});
    return te_test::wait_clipboard_owner();
}

void BM_ClipboardRead256K(benchmark::State& state) {
    if (!serve_clipboard()) return state.SkipWithError("xclip did not take the clipboard");
    std::string buf(TE_BUFFER, 0);
    for (auto _ : state) {
        if (!get_clipboard_text_utf8(buf.data(), TE_BUFFER) || clip_text() != buf.data())
            return state.SkipWithError("the text did not arrive whole");
    }
}

void BM_XclipOut256K(benchmark::State& state) {
    if (!serve_clipboard()) return state.SkipWithError("xclip did not take the clipboard");
    for (auto _ : state) {
        if (te_test::output_of({"xclip", "-o", "-selection", "clipboard"}) != clip_text())
            return state.SkipWithError("the text did not arrive whole");
    }
}

BENCHMARK(BM_ClipboardRead256K)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_XclipOut256K)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
