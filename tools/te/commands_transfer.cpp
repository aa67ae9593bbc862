// te export | import
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli.h"
#include "import_plan.h"
#include "input_text.h"
#include "private_file.h"
#include "textexpander.h"

namespace {

// A terminal, a pipe or a device is written in place: replacing it would
// put a plain file where the node was, or fail for want of a folder to
// create one in (/dev/stdout, >(gzip)). False with *error.
bool te_write_in_place(const std::string& path, const char* text, std::string* error) {
    errno = 0;
    int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    std::size_t len = std::strlen(text), done = 0;
    while (fd >= 0 && done < len) {
        ssize_t n = write(fd, text + done, len - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += (std::size_t)n;
    }
    int err = fd < 0 || done < len ? (errno ? errno : EIO) : 0;
    if (fd >= 0 && close(fd) != 0 && !err && errno != EINTR) err = errno;
    if (err) *error = path + ": " + std::strerror(err);
    return !err;
}

// Something other than a regular file is at `path` (links followed).
bool te_is_special(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

int te_cmd_export(const std::string& path) {
    const char* text = te_snippets_json();
    if (!text) return te_fail("export");
    if (path.empty()) return te_print_result("export", text);
    std::string error;
    if (te_is_special(path)) return te_write_in_place(path, text, &error) ? TE_EXIT_OK : te_fail_with("export", error);
    // An export holds the same personal data as the store, and the file it
    // replaces may be the user's only backup: written whole beside it and
    // renamed over it, never truncated first.
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
    std::vector<std::string> stored = plan.added;
    stored.insert(stored.end(), plan.replaced.begin(), plan.replaced.end());
    te_note_overlaps("import", stored);
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
    sub->footer("A file is replaced in one step; a terminal, pipe or device (/dev/stdout, >(gzip >b.gz))\n"
                "is written in place.");

    auto in = std::make_shared<te_import_args>();
    sub = cli.command("import", "Merge the snippets of a JSON file (an export, or an array of snippets)",
                      TE_STORE_QUIET, [in] { return te_cmd_import(*in); });
    sub->add_option("FILE", in->path, "File to read")->required();
    sub->add_flag("--keep-existing", in->keep_existing, "Leave snippets whose trigger you have as they are");
    sub->footer("Prints \"N added, M replaced: >>a, ...\" (M kept with --keep-existing). Snippets it cannot\n"
                "take are named on stderr; exit 4 when some were stored and others not, 1 when none was.");
}
