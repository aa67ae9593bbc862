// The options of `te run`.
#include "run_options.h"

#include "json_text.h"

void te_add_run_options(CLI::App* sub, te_run_options& o) {
    sub->add_option("--mode", o.mode,
                    "What to watch: keys (typed triggers: the default where the desktop lets te watch the "
                    "keyboard), clipboard (the default elsewhere) or hotkey")
        ->check(CLI::IsMember({"clipboard", "hotkey", "keys"}))
        ->type_name("MODE");
    sub->add_option("--hotkey", o.hotkey, "Chord for hotkey mode, e.g. CTRL+SHIFT+E")->type_name("CHORD");
    sub->add_option("--poll-ms", o.poll_ms, "Milliseconds between two looks (at least 20)")
        ->check(CLI::Range(1, 3600000))
        ->type_name("MS");
    sub->add_flag("--dry-run", o.dry_run, "Never type: only count and report expansions");
    sub->add_flag("--synthetic-keys", o.synthetic_keys,
                  "Keys mode: watch keys other programs inject too (on-screen keyboards, remote desktops)");
    sub->add_option("--desktop", o.desktop,
                    "Serve this desktop: x11 (also programs under Xwayland), wayland (wlroots), kde, gnome "
                    "or none; by default the session's")
        ->check(CLI::IsMember({"x11", "wayland", "kde", "gnome", "none"}))
        ->type_name("DESKTOP");
    sub->add_flag("--quiet,-q", o.quiet, "Print no line per expansion");
    sub->add_flag("--propagate-case", o.propagate_case,
                  "A trigger typed as Btw or BTW gives its text with a first capital or in capitals");
    sub->add_flag("--word-triggers", o.word_triggers,
                  "Keys mode: a trigger expands only once a space, punctuation, Enter or Tab follows it");
    sub->add_flag("--no-undo-backspace", o.no_undo_backspace,
                  "Keys mode: a BackSpace right after an expansion does not take it back");
    sub->add_option("--locale", o.locale, "Month and day names of {date:...}, e.g. de_DE (default: yours)")
        ->type_name("LOCALE");
}

std::string te_run_config(const te_run_options& o, const std::string& store) {
    te_json_builder b;
    if (!o.mode.empty()) b.add("mode", o.mode);
    if (!o.hotkey.empty()) b.add("hotkey", o.hotkey);
    if (o.poll_ms > 0) b.add("poll_ms", o.poll_ms);
    if (o.dry_run) b.add("dry_run", true);
    if (o.synthetic_keys) b.add("synthetic_keys", true);
    if (!store.empty()) b.add("store", store);
    if (o.propagate_case) b.add("propagate_case", true);
    if (o.word_triggers) b.add("word_triggers", true);
    if (o.no_undo_backspace) b.add("undo_backspace", false);
    if (!o.locale.empty()) b.add("locale", o.locale);
    return b.text();
}

std::vector<std::string> te_run_arguments(const te_run_options& o, const std::string& store) {
    std::vector<std::string> args{"run"};
    if (!o.mode.empty()) args.insert(args.end(), {"--mode", o.mode});
    if (!o.hotkey.empty()) args.insert(args.end(), {"--hotkey", o.hotkey});
    if (o.poll_ms > 0) args.insert(args.end(), {"--poll-ms", std::to_string(o.poll_ms)});
    if (o.dry_run) args.push_back("--dry-run");
    if (o.synthetic_keys) args.push_back("--synthetic-keys");
    if (!o.desktop.empty()) args.insert(args.end(), {"--desktop", o.desktop});
    if (o.quiet) args.push_back("--quiet");
    if (o.propagate_case) args.push_back("--propagate-case");
    if (o.word_triggers) args.push_back("--word-triggers");
    if (o.no_undo_backspace) args.push_back("--no-undo-backspace");
    if (!o.locale.empty()) args.insert(args.end(), {"--locale", o.locale});
    if (!store.empty()) args.insert(args.end(), {"--store", store});
    return args;
}
