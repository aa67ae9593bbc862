// From a copy to the first typed character: the worker in clipboard mode
// with the default settings (100 ms poll) types into foot; this program
// owns the clipboard itself through data control (a second connection),
// so the time counts from the moment its new selection is sent to the
// compositor to the first byte of the address arriving in foot.
#include <benchmark/benchmark.h>

#include "textexpander.h"
#include "wl_harness.h"

#include "wlr-data-control-unstable-v1-client.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <wayland-client.h>

namespace {

const size_t TE_ADDRESS_BYTES = 44;  // "123 Example Street\nAuckland 1010\nNew Zealand"

// A clipboard owner on a connection of its own, answering reads while the
// benchmark dispatches it.
struct clip_owner {
    wl_display* display = nullptr;
    wl_seat* seat = nullptr;
    zwlr_data_control_manager_v1* manager = nullptr;
    zwlr_data_control_device_v1* device = nullptr;
    zwlr_data_control_source_v1* source = nullptr;
    std::string text;
};

void on_global(void* data, wl_registry* r, uint32_t name, const char* iface, uint32_t) {
    clip_owner* o = static_cast<clip_owner*>(data);
    if (!std::strcmp(iface, wl_seat_interface.name) && !o->seat)
        o->seat = static_cast<wl_seat*>(wl_registry_bind(r, name, &wl_seat_interface, 1));
    if (!std::strcmp(iface, zwlr_data_control_manager_v1_interface.name))
        o->manager = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(r, name, &zwlr_data_control_manager_v1_interface, 1));
}
void on_remove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener registry_listener = {on_global, on_remove};

void on_send(void* data, zwlr_data_control_source_v1*, const char*, int32_t fd) {
    const std::string& text = static_cast<clip_owner*>(data)->text;
    ssize_t n = write(fd, text.c_str(), text.size());
    (void)n;
    close(fd);
}
void on_cancelled(void*, zwlr_data_control_source_v1* s) { zwlr_data_control_source_v1_destroy(s); }
const zwlr_data_control_source_v1_listener source_listener = {on_send, on_cancelled};

// The ignored side of the device: offers of what others copy.
void on_offer(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* o) {
    zwlr_data_control_offer_v1_destroy(o);
}
void on_selection(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1*) {}
void on_finished(void*, zwlr_data_control_device_v1*) {}
const zwlr_data_control_device_v1_listener device_listener = {on_offer, on_selection, on_finished, on_selection};

bool owner_open(clip_owner* o) {
    o->display = wl_display_connect(nullptr);
    if (!o->display) return false;
    wl_registry_add_listener(wl_display_get_registry(o->display), &registry_listener, o);
    wl_display_roundtrip(o->display);
    if (!o->seat || !o->manager) return false;
    o->device = zwlr_data_control_manager_v1_get_data_device(o->manager, o->seat);
    zwlr_data_control_device_v1_add_listener(o->device, &device_listener, o);
    return wl_display_roundtrip(o->display) >= 0;
}

// Copies `text`; the moment the selection left for the compositor.
long long owner_copy(clip_owner* o, const std::string& text) {
    o->text = text;
    zwlr_data_control_source_v1* s = zwlr_data_control_manager_v1_create_data_source(o->manager);
    zwlr_data_control_source_v1_add_listener(s, &source_listener, o);
    zwlr_data_control_source_v1_offer(s, "text/plain;charset=utf-8");
    zwlr_data_control_source_v1_offer(s, "text/plain");
    zwlr_data_control_device_v1_set_selection(o->device, s);
    wl_display_flush(o->display);
    return te_wl_test::millis();
}

// Answers reads for up to 0.2 ms.
void owner_serve(clip_owner* o) {
    struct pollfd p = {wl_display_get_fd(o->display), POLLIN, 0};
    if (poll(&p, 1, 0) > 0) wl_display_dispatch(o->display);
    else usleep(200);
    wl_display_flush(o->display);
}

// Serves the clipboard until the sink holds more than `bytes`; the moment
// it did, -1 after five seconds.
long long serve_until(clip_owner* o, const te_wl_test::sink& foot, size_t bytes) {
    long long end = te_wl_test::millis() + 5000;
    while (te_wl_test::millis() < end) {
        if (foot.received().size() > bytes) return te_wl_test::millis();
        owner_serve(o);
    }
    return -1;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[(size_t)(p * (double)(v.size() - 1) + 0.5)];
}

void BM_CopyToFirstCharacter(benchmark::State& state) {
    setenv("APPDATA", te_wl_test::temp_dir().c_str(), 1);
    te_wl_test::sink foot;
    clip_owner owner;
    if (!foot.ready() || !owner_open(&owner)) return state.SkipWithError("no foot or no data control");
    if (!te_start("{\"mode\":\"clipboard\"}")) return state.SkipWithError(te_last_error());
    usleep(300000);
    std::vector<double> ms;
    int run = 0;
    for (auto _ : state) {
        size_t before = foot.received().size();
        usleep((useconds_t)(++run * 37 % 100) * 1000);  // at every phase of the poll interval
        long long copied = owner_copy(&owner, "run " + std::to_string(run) + " >>addr");
        long long first = serve_until(&owner, foot, before);
        serve_until(&owner, foot, before + TE_ADDRESS_BYTES - 1);
        if (first < 0) return state.SkipWithError("nothing was typed");
        ms.push_back((double)(first - copied));
    }
    te_stop();
    state.counters["median_ms"] = percentile(ms, 0.5);
    state.counters["p95_ms"] = percentile(ms, 0.95);
    state.counters["worst_ms"] = percentile(ms, 1.0);
}
BENCHMARK(BM_CopyToFirstCharacter)->Iterations(100)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
