#include "copier.h"

#include "bus_harness.h"
#include "gnome_desktop.h"
#include "kde_paste.h"

#include <atomic>
#include <memory>
#include <thread>
#include <unistd.h>

namespace {

struct copy_run {
    te_clip_contents contents;
    std::atomic<long long> copied{0};
};

void on_copied(void* ctx) { static_cast<copy_run*>(ctx)->copied = te_wl_test::millis(); }

}  // namespace

long long te_bench_copy(const std::string& text) {
    auto run = std::make_shared<copy_run>();
    run->contents = {te_clip_item{"text/plain;charset=utf-8", text}, te_clip_item{"text/plain", text}};
    te_clip_serve serve = te_bus_test::desktop() == "gnome" ? te_gnome_serve_clipboard : te_kde_serve_clipboard;
    std::thread([run, serve] { serve(run->contents, on_copied, run.get()); }).detach();
    long long end = te_wl_test::millis() + 5000;
    while (!run->copied && te_wl_test::millis() < end) usleep(100);
    return run->copied ? run->copied.load() : -1;
}
