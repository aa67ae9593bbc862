// te count | field | add | update | delete | show
#include <cstdio>
#include <memory>
#include <unistd.h>

#include "cli.h"
#include "input_text.h"
#include "json_text.h"
#include "plain_words.h"
#include "settings_options.h"
#include "textexpander.h"

namespace {

struct te_add_args {
    std::string trigger;  // or the whole snippet as a JSON object
    std::string text;
    std::string folder;
    std::string apps;
    CLI::Option* text_given = nullptr;
    CLI::Option* folder_given = nullptr;
    CLI::Option* apps_given = nullptr;
    te_settings_options settings;
};

// A sole argument that begins with '{' is a snippet JSON object, as `te add`
// has always taken; the engine says what is wrong with a bad one.
bool te_is_json_form(const te_add_args& a) {
    std::size_t first = a.trigger.find_first_not_of(" \t\r\n");
    return !*a.text_given && first != std::string::npos && a.trigger[first] == '{';
}

// The text of `te add TRIGGER` without TEXT: standard input, less one final
// newline.
bool te_text_from_stdin(std::string* text) {
    if (isatty(STDIN_FILENO))
        std::fprintf(stderr, "te add: type the text, then Ctrl-D on a line of its own\n");
    std::string in;
    if (!te_read_stream(stdin, &in)) return false;
    *text = te_strip_final_newline(in);
    return true;
}

int te_cmd_add(te_add_args& a) {
    if (te_is_json_form(a)) {
        if (*a.folder_given || *a.apps_given || a.settings.given())
            return te_usage_error("add", "--folder, --apps and the settings go with the TRIGGER TEXT form, not with "
                                         "JSON (give them in it)");
        if (!te_snippet_add(a.trigger.c_str())) return te_fail("add");
        te_json_object added(a.trigger.c_str());
        te_note_overlaps("add", {added.str("trigger")});
        return TE_EXIT_OK;
    }
    if (!*a.text_given && !te_text_from_stdin(&a.text)) return te_fail_with("add", "cannot read standard input");
    std::string json = te_snippet_object(a.trigger, a.text, *a.folder_given ? &a.folder : nullptr,
                                         *a.apps_given ? &a.apps : nullptr);
    if (!json.empty()) json = te_snippet_changed(json, nullptr, a.settings);
    if (json.empty()) return te_fail_with("add", "the trigger, text, folder, apps or locale is not valid UTF-8");
    if (!te_snippet_add(json.c_str())) return te_fail("add");
    te_note_overlaps("add", {a.trigger});
    return TE_EXIT_OK;
}

// A failure that comes from JSON that is no snippet also says how to
// change a text alone.
int te_cmd_update(const std::string& trigger, const std::string& json) {
    if (te_snippet_update(trigger.c_str(), json.c_str())) {
        te_note_overlaps("update", {te_json_object(json.c_str()).str("trigger")});
        return TE_EXIT_OK;
    }
    std::string message = te_plain_words(te_last_error());
    if (!te_json_object(json.c_str()).valid()) message += " To change only its text: te edit '" + trigger + "'.";
    return te_fail_with("update", message);
}

void te_add_add_command(te_cli& cli) {
    auto a = std::make_shared<te_add_args>();
    CLI::App* sub = cli.command("add", "Add a snippet (TEXT from standard input when left out)", TE_STORE_QUIET,
                                [a] { return te_cmd_add(*a); });
    sub->add_option("TRIGGER", a->trigger, "The trigger, e.g. '>>sig' (or a whole snippet as a JSON object)")
        ->required();
    a->text_given = sub->add_option("TEXT", a->text, "The text it expands to; {date} {time} {year} {clipboard} "
                                                     "{random6} and the forms below are filled in");
    a->folder_given = sub->add_option("--folder", a->folder, "A folder to group it under")->type_name("NAME");
    a->apps_given = sub->add_option("--apps", a->apps, "Programs it works in, comma-separated (default: all)")
                        ->type_name("LIST");
    te_add_settings_options(sub, a->settings, false);
    sub->footer("Text from standard input loses one final newline, nothing else:\n"
                "  xclip -o | te add '>>x'        te add '>>x' <<'EOF' ... EOF\n"
                "The text may hold {cursor}, {date:%A %-d %B}, {date+14d}, {time+90m:%H:%M} and {snippet:TRIGGER}.");
}

}  // namespace

void te_add_snippet_commands(te_cli& cli) {
    cli.command("count", "Print the number of snippets", TE_STORE_SHOWN, [] {
        std::printf("%d\n", te_snippet_count());
        return TE_EXIT_OK;
    });

    auto field = std::make_shared<std::pair<int, std::string>>();
    CLI::App* sub = cli.command("field", "Print one field of the snippet at INDEX", TE_STORE_SHOWN, [field] {
        return te_print_result("field", te_snippet_field(field->first, field->second.c_str()));
    });
    sub->add_option("INDEX", field->first, "Position in the table, from 0")->required();
    sub->add_option("NAME", field->second, "trigger, text, folder or apps")->required();

    te_add_add_command(cli);

    auto update = std::make_shared<std::pair<std::string, std::string>>();
    sub = cli.command("update", "Replace the snippet TRIGGER (JSON object; may rename it)", TE_STORE_QUIET,
                      [update] { return te_cmd_update(update->first, update->second); });
    sub->add_option("TRIGGER", update->first, "The snippet to replace")->required();
    sub->add_option("JSON", update->second, "The new snippet as a JSON object")->required();

    auto trigger = std::make_shared<std::string>();
    sub = cli.command("delete", "Delete the snippet TRIGGER", TE_STORE_QUIET, [trigger] {
        return te_snippet_delete(trigger->c_str()) ? TE_EXIT_OK : te_fail("delete");
    });
    sub->add_option("TRIGGER", *trigger, "The snippet to delete")->required();

    sub = cli.command("show", "Print the snippet TRIGGER as JSON", TE_STORE_SHOWN,
                      [trigger] { return te_print_result("show", te_snippet_json(trigger->c_str())); });
    sub->add_option("TRIGGER", *trigger, "The snippet to show")->required();
}
