// The worker: configuration, clipboard and hotkey modes, run control.
#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "engine.h"
#include "fake_desktop.h"
#include "test_support.h"
#include "textexpander.h"

using namespace te_test;

namespace {

struct settings {
    int mode, poll_ms, dry_run;
    std::string hotkey, store;
};

settings current() {
    te_engine_guard g(te_engine_lock);
    return {E.mode, E.poll_ms, E.dry_run, E.hotkey, E.store_path};
}

// Waits up to two seconds for `done`.
template <class F>
bool eventually(F done) {
    for (int i = 0; i < 200; i++) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

long long ms_since(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
}

int start_stop(const char* config) {
    int r = te_start(config);
    te_stop();
    return r;
}

class Worker : public testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        fake::set_foreground("editor.exe");
    }
    void TearDown() override { te_stop(); }
};

}  // namespace

TEST_F(Worker, DefaultsThenPollIntervalRules) {
    ASSERT_EQ(te_start(nullptr), 1);
    EXPECT_EQ(te_status(), 1);
    EXPECT_EQ(current().mode, 0);
    EXPECT_EQ(current().poll_ms, 100);
    EXPECT_EQ(te_start("{\"mode\":\"hotkey\"}"), 0);
    EXPECT_STREQ(te_last_error(), "already running");
    EXPECT_EQ(current().mode, 0) << "a refused start applies nothing";
    EXPECT_EQ(te_stop(), 1);
    EXPECT_EQ(te_status(), 0);
    EXPECT_EQ(te_stop(), 1);

    struct { const char* config; int want; } cases[] = {
        {"{\"poll_ms\":5}", 20},      {"{\"poll_ms\":250}", 250}, {"{\"poll_ms\":\"9\"}", 250},
        {"{\"poll_ms\":150.5}", 20},  {"{\"poll_ms\":-4}", 20},   {"{\"poll_ms\":4294967496}", 200},
        {"{\"poll_ms\":1e3}", 20},
    };
    for (auto& c : cases) {
        ASSERT_EQ(start_stop(c.config), 1) << c.config;
        EXPECT_EQ(current().poll_ms, c.want) << c.config;
    }
}

TEST_F(Worker, RefusedConfigurationsApplyNothing) {
    ASSERT_EQ(start_stop("{\"mode\":\"hotkey\",\"hotkey\":\"CTRL+E\",\"dry_run\":true}"), 1);
    settings before = current();
    struct { const char* config; const char* msg; } cases[] = {
        {"[1]", "config must be a JSON object"}, {"\"s\"", "config must be a JSON object"},
        {"7", "config must be a JSON object"},   {"{\"mode\":", "config json parse failed"},
        {"{} {}", "config json parse failed"},
    };
    for (auto& c : cases) {
        EXPECT_EQ(te_start(c.config), 0);
        EXPECT_STREQ(te_last_error(), c.msg);
        EXPECT_EQ(te_status(), 0);
    }
    std::string long_store = "{\"mode\":\"clipboard\",\"store\":\"" + std::string(1024, 's') + "\"}";
    EXPECT_EQ(te_start(long_store.c_str()), 0);
    EXPECT_STREQ(te_last_error(), "store path too long (max 1023)");
    settings after = current();
    EXPECT_EQ(after.mode, before.mode);
    EXPECT_EQ(after.hotkey, before.hotkey);
    EXPECT_EQ(after.dry_run, before.dry_run);
    EXPECT_EQ(after.store, before.store);
}

TEST_F(Worker, MembersOfTheWrongTypeOrCaseAreAbsent) {
    ASSERT_EQ(start_stop("{\"mode\":\"Hotkey\",\"dry_run\":1,\"hotkey\":5}"), 1);
    EXPECT_EQ(current().mode, 0);
    EXPECT_EQ(current().dry_run, 0);
    std::string config = "{\"mode\":\"hotkey\",\"mode\":\"clipboard\",\"dry_run\":true,\"hotkey\":\"" +
                         std::string(10240, 'h') + "\"}";
    ASSERT_EQ(start_stop(config.c_str()), 1);
    EXPECT_EQ(current().mode, 1);
    EXPECT_EQ(current().dry_run, 1);
    EXPECT_EQ(current().hotkey, std::string(127, 'h'));
}

TEST_F(Worker, StoreSwitchReadsTheNewFileOnlyWhenItDiffers) {
    scoped_dir d("store");
    std::string other = d.path() + "/other.json";
    write_file(other, "{\"snippets\":[{\"trigger\":\"o\",\"text\":\"other\"}]}");
    ASSERT_EQ(start_stop(("{\"store\":\"" + other + "\"}").c_str()), 1);
    EXPECT_EQ(te_snippet_count(), 1);
    ASSERT_EQ(te_snippet_add(snippet("p", "q").c_str()), 1);
    write_file(other, "{\"snippets\":[{\"trigger\":\"x\"}]}");
    ASSERT_EQ(start_stop(("{\"store\":\"" + other + "\"}").c_str()), 1);
    EXPECT_STREQ(te_snippet_field(1, "trigger"), "p") << "same path: not read again";
    // A folder, or a file that is not JSON: the table stays as it is.
    ASSERT_EQ(start_stop(("{\"store\":\"" + d.path() + "\"}").c_str()), 1);
    write_file(d.path() + "/bad.json", "not json");
    ASSERT_EQ(start_stop(("{\"store\":\"" + d.path() + "/bad.json\"}").c_str()), 1);
    EXPECT_EQ(te_snippet_count(), 2);
    ASSERT_EQ(te_snippet_delete("p"), 1);
    EXPECT_EQ(read_file(d.path() + "/bad.json.bak"), "not json");
}

TEST_F(Worker, ClipboardModeExpandsChangesOnly) {
    fake::set_clipboard_text("present at start >>email");
    ASSERT_EQ(te_start("{\"poll_ms\":20}"), 1);
    ASSERT_TRUE(eventually([] { return fake::typed_text() == "you@example.com"; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(fake::type_calls(), 1) << "an unchanged clipboard is not expanded again";
    fake::set_clipboard_text("Dear team, >>addr");
    ASSERT_TRUE(eventually([] { return fake::type_calls() == 2; }));
    EXPECT_NE(std::string(te_stats_json()).find("\"running\":true"), std::string::npos);
    // An unchanged clipboard is not even read again.
    int reads = fake::clipboard_reads();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(fake::clipboard_reads(), reads);
}

TEST_F(Worker, RulesAndFailuresDoNotStopTheWorker) {
    ASSERT_EQ(te_rule_set("editor", "{\"allow\":false}"), 1);
    fake::set_clipboard_text("a >>addr");
    ASSERT_EQ(te_start("{\"poll_ms\":20}"), 1);
    // The worker's look and its pass each read the clipboard once.
    ASSERT_TRUE(eventually([] { return fake::clipboard_reads() >= 2; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(fake::type_calls(), 0);
    fake::set_foreground("other.exe");
    fake::fail_injection_at_batch(1);
    fake::set_clipboard_text("b >>addr");
    ASSERT_TRUE(eventually([] { return std::string(te_last_error()) == "SendInput failed"; }));
    fake::fail_injection_at_batch(0);
    fake::set_clipboard_text("c >>addr");
    ASSERT_TRUE(eventually([] { return fake::type_calls() >= 2; }));
    EXPECT_EQ(te_status(), 1);
}

// The desktop tells of every clipboard change: an idle worker sleeps until
// one comes, whatever the poll interval, and then looks at once.
TEST_F(Worker, IdleWorkerWaitsForTheDesktopInsteadOfPolling) {
    ASSERT_EQ(te_start("{\"poll_ms\":20}"), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LE(fake::clipboard_sequence_queries(), 2);
    fake::set_clipboard_text("a >>addr");
    EXPECT_TRUE(eventually([] { return fake::type_calls() == 1; }));
}

TEST_F(Worker, HotkeyModeRunsOnePassPerPress) {
    fake::set_clipboard_text(">>signoff");
    ASSERT_EQ(te_start("{\"mode\":\"hotkey\",\"hotkey\":\"ctrl+shift+e\",\"poll_ms\":20}"), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    EXPECT_EQ(fake::type_calls(), 0);
    for (int press = 1; press <= 2; press++) {
        fake::set_key(17, true);
        fake::set_key(16, true);
        fake::set_key('E', true);
        ASSERT_TRUE(eventually([&] { return fake::type_calls() == press; }));
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        EXPECT_EQ(fake::type_calls(), press) << "held keys fire once";
        fake::set_key('E', false);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }
}

// With a 10 s poll interval only the desktop's notification can bring the
// pass this soon.
TEST_F(Worker, ClipboardChangeWakesTheWorkerBeforeThePollInterval) {
    ASSERT_EQ(te_start("{\"poll_ms\":10000}"), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto t0 = std::chrono::steady_clock::now();
    fake::set_clipboard_text("Dear team, >>email");
    ASSERT_TRUE(eventually([] { return fake::type_calls() == 1; }));
    EXPECT_LT(ms_since(t0), 1000);
}

TEST_F(Worker, StopDoesNotWaitOutALongPollInterval) {
    ASSERT_EQ(te_start("{\"poll_ms\":2147483647}"), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(te_stop(), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
}

// te_stop wakes the waiting worker instead of letting it finish a slice of
// its sleep: in either mode every stop is far quicker than such a slice.
TEST_F(Worker, StopWakesTheWaitingWorkerInEitherMode) {
    for (const char* config : {"{\"poll_ms\":10000}", "{\"poll_ms\":10000,\"mode\":\"hotkey\"}"}) {
        for (int i = 0; i < 5; i++) {
            ASSERT_EQ(te_start(config), 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            auto t0 = std::chrono::steady_clock::now();
            te_stop();
            EXPECT_LT(ms_since(t0), 50) << config;
        }
    }
}
