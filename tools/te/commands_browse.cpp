// te list | search | path
#include <cstdio>
#include <memory>
#include <vector>

#include "cli.h"
#include "json_text.h"
#include "snippet_table.h"
#include "text_cells.h"
#include "textexpander.h"

namespace {

enum te_list_form { TE_LIST_TABLE, TE_LIST_JSON, TE_LIST_TSV };

struct te_browse_args {
    std::vector<std::string> words;
    bool json = false;
    bool tsv = false;
    te_list_form form() const { return json ? TE_LIST_JSON : tsv ? TE_LIST_TSV : TE_LIST_TABLE; }
};

std::string te_field(int index, const char* name) {
    const char* v = te_snippet_field(index, name);
    return v ? v : "";
}

te_table_row te_row(int index) {
    return {te_field(index, "trigger"), te_field(index, "folder"), te_field(index, "apps"), te_field(index, "text")};
}

// Every word is in the trigger or the text, letter case aside.
bool te_matches(const te_table_row& r, const std::vector<std::string>& folded_words) {
    std::string trigger = te_fold_case(r.trigger), text = te_fold_case(r.text);
    for (const std::string& w : folded_words)
        if (trigger.find(w) == std::string::npos && text.find(w) == std::string::npos) return false;
    return true;
}

// The export form of the rows: {"snippets":[...]}, as the store holds them.
int te_print_json(const std::vector<te_table_row>& rows) {
    std::string out = "{\"snippets\":[";
    for (std::size_t i = 0; i < rows.size(); i++) {
        const te_table_row& r = rows[i];
        std::string obj = te_snippet_object(r.trigger, r.text, &r.folder, &r.apps);
        if (obj.empty()) return te_fail_with("search", "a snippet is not valid UTF-8");
        out += (i ? "," : "") + obj;
    }
    std::printf("%s]}\n", out.c_str());
    return TE_EXIT_OK;
}

// Tab-separated, the first line of the text only: for scripts.
void te_print_tsv(const std::vector<te_table_row>& rows) {
    for (const te_table_row& r : rows)
        std::printf("%s\t%s\t%s\t%s\n", r.trigger.c_str(), r.folder.c_str(), r.apps.c_str(),
                    r.text.substr(0, r.text.find('\n')).c_str());
}

int te_print_rows(const std::vector<te_table_row>& rows, te_list_form form) {
    if (form == TE_LIST_JSON) return te_print_json(rows);
    if (form == TE_LIST_TSV) {
        te_print_tsv(rows);
        return TE_EXIT_OK;
    }
    for (const std::string& line : te_table_lines(rows, te_terminal_width())) std::printf("%s\n", line.c_str());
    return TE_EXIT_OK;
}

int te_cmd_list(const te_browse_args& a) {
    if (a.form() == TE_LIST_JSON) return te_print_result("list", te_snippets_json());
    std::vector<te_table_row> rows;
    for (int i = 0, n = te_snippet_count(); i < n; i++) rows.push_back(te_row(i));
    return te_print_rows(rows, a.form());
}

int te_cmd_search(const te_browse_args& a) {
    std::vector<std::string> words;
    for (const std::string& w : a.words) words.push_back(te_fold_case(w));
    std::vector<te_table_row> rows;
    for (int i = 0, n = te_snippet_count(); i < n; i++) {
        te_table_row r = te_row(i);
        if (te_matches(r, words)) rows.push_back(r);
    }
    if (rows.empty() && a.form() != TE_LIST_JSON) return te_fail_with("search", "no snippet matches");
    return te_print_rows(rows, a.form());
}

void te_add_form_flags(CLI::App* sub, te_browse_args& a) {
    CLI::Option* json = sub->add_flag("--json", a.json, "Print the snippets as JSON, as `te export` does");
    sub->add_flag("--tsv", a.tsv, "Print tab-separated lines: trigger, folder, apps, the text's first line")
        ->excludes(json);
}

}  // namespace

void te_add_browse_commands(te_cli& cli) {
    auto list = std::make_shared<te_browse_args>();
    CLI::App* sub = cli.command("list", "List the snippets as a table", TE_STORE_SHOWN,
                                [list] { return te_cmd_list(*list); });
    te_add_form_flags(sub, *list);

    auto search = std::make_shared<te_browse_args>();
    sub = cli.command("search", "List the snippets whose trigger or text holds every WORD (any letter case)",
                      TE_STORE_SHOWN, [search] { return te_cmd_search(*search); });
    sub->add_option("WORDS", search->words, "Words to look for")->required();
    te_add_form_flags(sub, *search);

    cli.command("path", "Print the snippet store file in use", TE_STORE_NONE, [&cli] {
        std::printf("%s\n", te_store_in_use(cli).c_str());
        return TE_EXIT_OK;
    });
}
