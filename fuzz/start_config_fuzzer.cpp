// A te_start configuration from the input; the worker is stopped at once.
// A refused configuration applies nothing; an accepted one leaves a poll
// interval of at least 20 ms. Inputs whose "store" is an absolute path or
// holds ".." are left out: a store switch only reads, and scripts/fuzz.sh
// runs the fuzzer in a folder of its own, so a relative path reads there.
#include <cstring>
#include <string>

#include <yyjson.h>

#include "engine.h"
#include "fuzz_env.h"
#include "json_lookup.h"
#include "textexpander.h"

using te_fuzz::check;

namespace {

struct settings {
    int mode, poll_ms, dry_run;
    std::string hotkey, store_path;
    bool operator==(const settings& o) const {
        return mode == o.mode && poll_ms == o.poll_ms && dry_run == o.dry_run && hotkey == o.hotkey &&
               store_path == o.store_path;
    }
};

settings current_settings() {
    te_engine_guard g(te_engine_lock);
    return settings{E.mode, E.poll_ms, E.dry_run, E.hotkey, E.store_path};
}

void reset_settings() {
    te_engine_guard g(te_engine_lock);
    E.mode = 0;
    E.poll_ms = 100;
    E.dry_run = 0;
    E.hotkey[0] = 0;
    std::string path = te_fuzz::run_dir() + "/Wrenfold/snippets.json";
    std::strcpy(E.store_path, path.c_str());
}

bool store_stays_inside(const std::string& json) {
    yyjson_doc* doc = yyjson_read(json.data(), json.size(), 0);
    const char* store = jstr(yyjson_doc_get_root(doc), "store");
    bool inside = !store || (store[0] != '/' && !std::strstr(store, ".."));
    yyjson_doc_free(doc);
    return inside;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string json = te_fuzz::text(data, size);
    if (!store_stays_inside(json)) return -1;
    te_fuzz::reset_tables();
    reset_settings();
    settings before = current_settings();
    if (te_start(json.c_str()) == 1) {
        check(te_status() == 1, "a started worker is not reported running");
        check(current_settings().poll_ms >= 20, "a poll interval below 20 ms was applied");
        check(te_snippet_count() >= 1, "a store switch left an empty table");
    } else {
        check(te_status() == 0, "a refused start left a worker running");
        check(current_settings() == before, "a refused configuration applied something");
    }
    te_stop();
    check(te_status() == 0, "te_stop left the worker running");
    return 0;
}
