// te export | import
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "cli.h"
#include "import_plan.h"
#include "input_text.h"
#include "private_file.h"
#include "textexpander.h"

namespace {

int te_cmd_export(const std::string& path) {
    const char* text = te_snippets_json();
    if (!text) return te_fail("export");
    if (path.empty()) return te_print_result("export", text);
    // An export holds the same personal data as the store, and the file it
    // replaces may be the user's only backup: written whole beside it and
    // renamed over it, never truncated first.
    std::string error;
    te_make_parent_dirs(path);
    return te_replace_private(path, text, &error) ? TE_EXIT_OK : te_fail_with("export", error);
}

struct te_import_args {
    std::string path;
    bool keep_existing = false;
};

// Says what was added, replaced or kept, and what was refused: exit 4 when
// some snippets were stored and others not, 1 when none could be.
int te_cmd_import(const te_import_args& a) {
    std::string text, error;
    if (!te_read_text_file(a.path.c_str(), &text)) return te_fail_with("import", a.path + ": " + std::strerror(errno));
    te_import_plan plan;
    if (!te_plan_import(text, a.keep_existing, &plan, &error)) return te_fail_with("import", a.path + ": " + error);
    if (te_run_import(plan, &error) < 0) return te_fail_with("import", error);
    std::string problems = te_import_problems(plan);
    if (plan.added.empty() && plan.replaced.empty() && !problems.empty())
        return te_fail_with("import", "nothing imported: " + problems);
    std::printf("%s\n", te_import_summary(plan, a.keep_existing).c_str());
    if (problems.empty()) return TE_EXIT_OK;
    std::fprintf(stderr, "te import: %s\n", problems.c_str());
    return TE_EXIT_PARTIAL;
}

}  // namespace

void te_add_transfer_commands(te_cli& cli) {
    auto out = std::make_shared<std::string>();
    CLI::App* sub = cli.command("export", "Print the snippets as JSON, or write them to FILE", TE_STORE_SHOWN,
                                [out] { return te_cmd_export(*out); });
    sub->add_option("FILE", *out, "File to write (created readable by you alone)");

    auto in = std::make_shared<te_import_args>();
    sub = cli.command("import", "Merge the snippets of a JSON file (an export, or an array of snippets)",
                      TE_STORE_QUIET, [in] { return te_cmd_import(*in); });
    sub->add_option("FILE", in->path, "File to read")->required();
    sub->add_flag("--keep-existing", in->keep_existing, "Leave snippets whose trigger you have as they are");
    sub->footer("Prints \"N added, M replaced: >>a, ...\" (M kept with --keep-existing). Snippets it cannot\n"
                "take are named on stderr; exit 4 when some were stored and others not, 1 when none was.");
}
