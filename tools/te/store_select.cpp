// --store PATH: pointing the engine at a store file other than its default.
//
// The engine takes a store path only through te_start's "store" member, and
// te_start also starts the worker. Two steps make that safe for a
// one-shot command:
//  1. The engine's first use runs with APPDATA=/dev/null, a folder that can
//     never exist, so it reads no default store and holds just the seed
//     snippets, as for a new user. Otherwise a store file that does not
//     exist yet would be written with the default store's snippets.
//  2. The worker is started in hotkey mode with an empty chord (it never
//     runs a watch pass: nothing is read from the clipboard or typed) and
//     stopped at once. dry_run stays set for the process unless the command
//     may type.
#include <cstdlib>
#include <string>

#include "cli.h"
#include "json_text.h"
#include "store_path.h"
#include "textexpander.h"

namespace {

// Applies the engine's first-use defaults while APPDATA names nothing.
void te_first_use_without_default_store(void) {
    const char* old = std::getenv("APPDATA");
    std::string saved = old ? old : "";
    setenv("APPDATA", "/dev/null", 1);
    te_snippet_count();
    if (old) setenv("APPDATA", saved.c_str(), 1);
    else unsetenv("APPDATA");
}

}  // namespace

std::string te_store_in_use(const te_cli& cli) {
    return cli.store.empty() ? te_default_store_path() : cli.store;
}

int te_select_store(const std::string& store, te_store_use use) {
    if (store.empty() || use == TE_STORE_NONE) return 0;
    te_first_use_without_default_store();
    if (use == TE_STORE_OWN) return 0;  // te run passes the store to its own start
    te_json_builder config;
    config.add("store", store);
    config.add("mode", "hotkey");
    config.add("hotkey", "");
    config.add("poll_ms", 20);
    config.add("dry_run", use != TE_STORE_TYPING);
    std::string text = config.text();
    if (text.empty()) return te_fail_with("--store", "the store path is not valid UTF-8");
    if (!te_start(text.c_str())) return te_fail("--store");
    te_stop();
    return 0;
}
