// The worker expands while host threads edit snippets and rules. Every
// snippet text is self-describing, so a torn copy would show in what was
// typed; afterwards the store file must hold exactly the table.
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "fake_desktop.h"
#include "test_support.h"
#include "textexpander.h"

using namespace te_test;

namespace {

// "<id>:" then `len` copies of one letter, then "|".
std::string body(int id, int generation) {
    char c = (char)('a' + (id + generation) % 26);
    return std::to_string(id) + ":" + std::string(150 + (id * 37 + generation) % 300, c) + "|";
}

bool well_formed(const std::string& piece) {
    std::size_t colon = piece.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    std::string run = piece.substr(colon + 1);
    if (run.size() < 150) return false;
    return run.find_first_not_of(run[0]) == std::string::npos;
}

std::chrono::milliseconds run_time() {
    const char* s = std::getenv("TE_STRESS_MS");
    return std::chrono::milliseconds(s ? std::atoi(s) : 3000);
}

}  // namespace

TEST(Concurrency, WorkerAndEditorsNeverTearOrLoseAnything) {
    fake::reset();
    fake::set_foreground("editor.exe");
    for (int id = 0; id < 40; id++)
        ASSERT_EQ(te_snippet_add(snippet("k" + std::to_string(id), body(id, 0)).c_str()), 1);
    ASSERT_EQ(te_start("{\"poll_ms\":20}"), 1);

    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    threads.emplace_back([&] {  // the clipboard changes every few milliseconds
        for (int i = 0; !stop; i++) {
            fake::set_clipboard_text("text " + std::to_string(i) + " k" + std::to_string(i % 40));
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
    });
    for (int t = 0; t < 3; t++) {
        threads.emplace_back([&, t] {  // editors
            for (int g = 1; !stop; g++) {
                int id = (g * 7 + t) % 40;
                te_snippet_update(("k" + std::to_string(id)).c_str(),
                                  snippet("k" + std::to_string(id), body(id, g)).c_str());
                std::string extra = "x" + std::to_string(t) + "_" + std::to_string(g % 5);
                te_snippet_add(snippet(extra, body(100 + t, g)).c_str());
                te_snippet_delete(extra.c_str());
                te_snippet_import(("[" + snippet("k" + std::to_string(39 - id), body(39 - id, g)) + "]").c_str());
                te_rule_set(("prog" + std::to_string(g % 50)).c_str(), g % 2 ? "{\"allow\":false}" : nullptr);
                te_stats_json();
                te_rules_json();
            }
        });
    }
    std::this_thread::sleep_for(run_time());
    stop = true;
    for (auto& th : threads) th.join();
    EXPECT_EQ(te_stop(), 1);

    std::string typed = fake::typed_text();
    ASSERT_GT(fake::type_calls(), 10);
    std::size_t pos = 0, pieces = 0;
    while (pos < typed.size()) {
        std::size_t bar = typed.find('|', pos);
        ASSERT_NE(bar, std::string::npos) << "an expansion was cut short";
        EXPECT_TRUE(well_formed(typed.substr(pos, bar - pos))) << typed.substr(pos, 40);
        pos = bar + 1;
        pieces++;
    }
    EXPECT_EQ(pieces, (std::size_t)fake::type_calls());
    EXPECT_EQ(read_file(store_path()), te_snippets_json());
}
