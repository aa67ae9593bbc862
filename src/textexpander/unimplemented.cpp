// Exports whose subsystems are not built yet: they fail cleanly.
#include "engine.h"
#include "textexpander.h"

namespace {

int te_not_implemented(void) {
    te_engine_guard g(te_engine_lock);
    te_set_err_internal("not implemented");
    return 0;
}

}  // namespace

extern "C" int te_start(const char*) { return te_not_implemented(); }
extern "C" int te_stop(void) { return te_not_implemented(); }
extern "C" int te_status(void) { return te_not_implemented(); }
extern "C" const char* te_match_trailing_trigger(const char*, const char*) {
    te_not_implemented();
    return nullptr;
}
extern "C" int te_watch_pass_text(const char*, const char*) { return te_not_implemented(); }
extern "C" int te_watch_pass(void) { return te_not_implemented(); }
extern "C" int te_expand(const char*) { return te_not_implemented(); }
extern "C" const char* te_render(const char*) {
    te_not_implemented();
    return nullptr;
}
extern "C" int te_rule_set(const char*, const char*) { return te_not_implemented(); }
extern "C" const char* te_rules_json(void) {
    te_not_implemented();
    return nullptr;
}
extern "C" const char* te_stats_json(void) {
    te_not_implemented();
    return nullptr;
}
extern "C" const char* te_last_expanded(void) {
    te_not_implemented();
    return nullptr;
}
