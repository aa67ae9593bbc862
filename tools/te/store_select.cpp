// --store PATH: pointing the engine at a store file other than its default
// (te_use_store_file, shared with the manager window), and refusing to show
// a store that cannot be read.
#include "cli.h"
#include "store_path.h"
#include "store_select.h"

std::string te_store_in_use(const te_cli& cli) {
    return cli.store.empty() ? te_default_store_path() : cli.store;
}

int te_select_store(const char* what, const std::string& store, const std::string& in_use, te_store_use use) {
    if (use == TE_STORE_NONE) return 0;
    std::string error;
    if (!store.empty() && !te_use_store_file(store, &error)) return te_fail_with("--store", error);
    // While the store cannot be read, the engine holds the seed snippets in
    // its place: showing, exporting or typing them (te run included) would
    // pass them off as the user's.
    if (use != TE_STORE_QUIET && !te_store_readable(in_use, &error))
        return te_fail_with(what, error);
    return 0;
}
