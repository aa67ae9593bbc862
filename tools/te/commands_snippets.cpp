// te count | field | list | add | update | delete | show | export | import
#include <cstdio>
#include <cstdlib>
#include <string>

#include <yyjson.h>

#include "commands.h"
#include "textexpander.h"

namespace {

int te_cmd_count(int, char**) {
    std::printf("%d\n", te_snippet_count());
    return 0;
}

int te_cmd_field(int, char** argv) {
    return te_print_result("field", te_snippet_field(std::atoi(argv[0]), argv[1]));
}

std::string te_first_line(const char* text) {
    std::string s(text ? text : "");
    std::size_t nl = s.find('\n');
    return nl == std::string::npos ? s : s.substr(0, nl);
}

int te_cmd_list(int, char**) {
    int n = te_snippet_count();
    for (int i = 0; i < n; i++) {
        std::printf("%s\t%s\t%s\t%s\n", te_snippet_field(i, "trigger"), te_snippet_field(i, "folder"),
                    te_snippet_field(i, "apps"), te_first_line(te_snippet_field(i, "text")).c_str());
    }
    return 0;
}

int te_cmd_add(int, char** argv) { return te_snippet_add(argv[0]) ? 0 : te_fail("add"); }

int te_cmd_update(int, char** argv) {
    return te_snippet_update(argv[0], argv[1]) ? 0 : te_fail("update");
}

int te_cmd_delete(int, char** argv) { return te_snippet_delete(argv[0]) ? 0 : te_fail("delete"); }

int te_cmd_show(int, char** argv) { return te_print_result("show", te_snippet_json(argv[0])); }

int te_cmd_export(int argc, char** argv) {
    const char* text = te_snippets_json();
    if (!text) return te_fail("export");
    if (argc == 0) return te_print_result("export", text);
    FILE* f = std::fopen(argv[0], "wb");
    if (!f) {
        std::perror(argv[0]);
        return 1;
    }
    std::fputs(text, f);
    return std::fclose(f) == 0 ? 0 : 1;
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

int te_cmd_import(int, char** argv) {
    std::string text;
    if (!te_read_text_file(argv[0], &text)) {
        std::perror(argv[0]);
        return 1;
    }
    te_snippet_count();  // first use happens before the error is noted
    std::string before = te_last_error();
    int added = te_snippet_import(te_import_array(text).c_str());
    if (added == 0 && te_import_failed(before)) return te_fail("import");
    std::printf("%d added\n", added);
    return 0;
}

}  // namespace

const te_command te_snippet_commands[] = {
    {"count", "", 0, 0, te_cmd_count},
    {"field", "INDEX NAME", 2, 2, te_cmd_field},
    {"list", "", 0, 0, te_cmd_list},
    {"add", "JSON", 1, 1, te_cmd_add},
    {"update", "TRIGGER JSON", 2, 2, te_cmd_update},
    {"delete", "TRIGGER", 1, 1, te_cmd_delete},
    {"show", "TRIGGER", 1, 1, te_cmd_show},
    {"export", "[FILE]", 0, 1, te_cmd_export},
    {"import", "FILE", 1, 1, te_cmd_import},
};
const int te_snippet_command_count = sizeof te_snippet_commands / sizeof te_snippet_commands[0];
