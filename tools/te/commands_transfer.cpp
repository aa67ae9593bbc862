// te export | import
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <yyjson.h>

#include "cli.h"
#include "error_mark.h"
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

// The array to import: the file's root array, or the "snippets" array of
// an export file.
std::string te_import_array(const std::string& text) {
    yyjson_doc* doc = yyjson_read(text.data(), text.size(), 0);
    yyjson_val* root = yyjson_doc_get_root(doc);
    std::string out = text;
    if (yyjson_is_obj(root)) {
        yyjson_val* arr = yyjson_obj_get(root, "snippets");
        if (yyjson_is_arr(arr)) {
            char* s = yyjson_val_write(arr, 0, nullptr);
            if (s) out = s;
            std::free(s);
        }
    }
    yyjson_doc_free(doc);
    return out;
}

// te_snippet_import returns 0 both for a failure and for an import that
// only replaced snippets: the error mark tells them apart. Snippets refused
// beside others that were added are reported, and the import stands.
int te_cmd_import(const std::string& path) {
    std::string text;
    if (!te_read_text_file(path.c_str(), &text)) return te_fail_with("import", path + ": " + std::strerror(errno));
    std::string array = te_import_array(text);
    te_error_mark mark;
    int added = te_snippet_import(array.c_str());
    if (mark.failed() && added == 0) return te_fail_with("import", mark.message());
    if (mark.failed()) std::fprintf(stderr, "te import: some snippets were refused: %s\n", mark.message().c_str());
    std::printf("%d added\n", added);
    return TE_EXIT_OK;
}

}  // namespace

void te_add_transfer_commands(te_cli& cli) {
    auto out = std::make_shared<std::string>();
    CLI::App* sub = cli.command("export", "Print the snippets as JSON, or write them to FILE", TE_STORE_SHOWN,
                                [out] { return te_cmd_export(*out); });
    sub->add_option("FILE", *out, "File to write (created readable by you alone)");

    auto in = std::make_shared<std::string>();
    sub = cli.command("import", "Merge the snippets of a JSON file (an export, or an array of snippets)",
                      TE_STORE_QUIET, [in] { return te_cmd_import(*in); });
    sub->add_option("FILE", *in, "File to read")->required();
}
