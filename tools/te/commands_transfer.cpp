// te export | import
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <yyjson.h>

#include "cli.h"
#include "input_text.h"
#include "private_file.h"
#include "textexpander.h"

namespace {

int te_cmd_export(const std::string& path) {
    const char* text = te_snippets_json();
    if (!text) return te_fail("export");
    if (path.empty()) return te_print_result("export", text);
    // An export holds the same personal data as the store.
    std::string error;
    return te_write_private(path, text, &error) ? TE_EXIT_OK : te_fail_with("export", error);
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

// An import that returns 0 either failed or only replaced snippets; the
// failure messages are those of the import itself and of the store write.
bool te_import_failed(const std::string& before) {
    std::string now = te_last_error();
    if (now == before) return false;
    for (const char* p : {"import: ", "cannot open ", "write failed", "rename failed", "oom "})
        if (now.rfind(p, 0) == 0) return true;
    return false;
}

int te_cmd_import(const std::string& path) {
    std::string text;
    if (!te_read_text_file(path.c_str(), &text)) return te_fail_with("import", path + ": " + std::strerror(errno));
    te_snippet_count();  // first use happens before the error is noted
    std::string before = te_last_error();
    int added = te_snippet_import(te_import_array(text).c_str());
    if (added == 0 && te_import_failed(before)) return te_fail("import");
    std::printf("%d added\n", added);
    return TE_EXIT_OK;
}

}  // namespace

void te_add_transfer_commands(te_cli& cli) {
    auto out = std::make_shared<std::string>();
    CLI::App* sub = cli.command("export", "Print the snippets as JSON, or write them to FILE", TE_STORE_QUIET,
                                [out] { return te_cmd_export(*out); });
    sub->add_option("FILE", *out, "File to write (created readable by you alone)");

    auto in = std::make_shared<std::string>();
    sub = cli.command("import", "Merge the snippets of a JSON file (an export, or an array of snippets)",
                      TE_STORE_QUIET, [in] { return te_cmd_import(*in); });
    sub->add_option("FILE", *in, "File to read")->required();
}
