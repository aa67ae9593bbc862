// te edit TRIGGER: the snippet's text in the user's editor.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli.h"
#include "input_text.h"
#include "json_text.h"
#include "settings_options.h"
#include "textexpander.h"

namespace {

// $VISUAL, else $EDITOR, else vi. It may carry arguments ("code --wait").
std::string te_editor(void) {
    for (const char* name : {"VISUAL", "EDITOR"}) {
        const char* v = std::getenv(name);
        if (v && v[0]) return v;
    }
    return "vi";
}

// A new file holding `text`, readable by the user alone, in
// $XDG_RUNTIME_DIR when set (private to the user, and so are the swap and
// backup files editors put beside it), else $TMPDIR or /tmp. Its path, or
// "" with errno set.
std::string te_make_edit_file(const std::string& text) {
    const char* dir = nullptr;
    for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
        const char* v = std::getenv(name);
        if (!dir && v && v[0]) dir = v;
    }
    std::string name = std::string(dir ? dir : "/tmp") + "/te-edit-XXXXXX.txt";
    int fd = mkstemps(&name[0], 4);  // created exclusively, mode 0600
    if (fd < 0) return "";
    bool ok = fchmod(fd, 0600) == 0 && write(fd, text.data(), text.size()) == (ssize_t)text.size();
    int err = errno;
    if (close(fd) != 0 || !ok) {
        unlink(name.c_str());
        errno = ok ? errno : err;
        return "";
    }
    return name;
}

// Runs the editor on `path` through the shell, as other tools do, and waits.
// Ctrl-C belongs to the editor meanwhile. The editor's exit status, or -1.
int te_run_editor(const std::string& path) {
    struct sigaction ignore = {}, old_int, old_quit;
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGINT, &ignore, &old_int);
    sigaction(SIGQUIT, &ignore, &old_quit);
    pid_t pid = fork();
    if (pid == 0) {
        sigaction(SIGINT, &old_int, nullptr);
        sigaction(SIGQUIT, &old_quit, nullptr);
        std::string command = te_editor() + " \"$1\"";
        execl("/bin/sh", "sh", "-c", command.c_str(), "sh", path.c_str(), (char*)nullptr);
        _exit(127);
    }
    int status = 0;
    while (pid > 0 && waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    sigaction(SIGINT, &old_int, nullptr);
    sigaction(SIGQUIT, &old_quit, nullptr);
    return pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The edit was not applied: the edited file stays, and the user is told
// where.
int te_keep_edit(const std::string& path, const std::string& why) {
    return te_fail_with("edit", why + "; your text is kept in " + path);
}

// Edits `before` (the snippet's JSON) in the editor and updates the text
// alone, unless the snippet changed meanwhile. The edited file goes once
// the text is stored, or when it holds nothing new.
int te_edit_snippet(const std::string& trigger, const std::string& before) {
    te_json_object snippet(before.c_str());
    std::string text = snippet.str("text");
    // Editors end a saved file with a newline; one is given and taken away.
    std::string path = te_make_edit_file(text + "\n"), saved;
    if (path.empty()) return te_fail_with("edit", std::string("cannot make a temporary file: ") + std::strerror(errno));
    int status = te_run_editor(path);
    if (!te_read_text_file(path.c_str(), &saved)) return te_keep_edit(path, "cannot read the edited text back");
    std::string edited = te_strip_final_newline(saved);
    bool nothing_new = edited.empty() || edited == text;
    if (nothing_new) unlink(path.c_str());
    if (status != 0) {
        std::string why = te_editor() + " failed (status " + std::to_string(status) + "); nothing changed";
        return nothing_new ? te_fail_with("edit", why) : te_keep_edit(path, why);
    }
    if (nothing_new) {
        std::fprintf(stderr, "te edit: %s, nothing changed\n", edited.empty() ? "empty text" : "text unchanged");
        return TE_EXIT_OK;
    }
    // The text alone changes: folder, apps and settings stay as they are,
    // and only if the snippet is still `before`: the library compares under
    // the store's lock, so a change made elsewhere meanwhile is never lost.
    std::string update = te_snippet_changed(before, &edited, te_settings_options());
    if (!update.empty()) update = te_json_with_member(update, "if_unchanged", before);
    if (update.empty()) return te_keep_edit(path, "the edited text is not valid UTF-8");
    if (!te_snippet_update(trigger.c_str(), update.c_str())) {
        std::string why = te_last_error();
        const char* now = te_snippet_json(trigger.c_str());
        return te_keep_edit(path, !now || before != now ? trigger + " changed while it was being edited" : why);
    }
    unlink(path.c_str());
    return TE_EXIT_OK;
}

// Changes the snippet's settings alone, without the editor.
int te_edit_settings(const std::string& trigger, const std::string& before, const te_settings_options& o) {
    std::string update = te_snippet_changed(before, nullptr, o);
    if (update.empty()) return te_fail_with("edit", "the locale is not valid UTF-8");
    update = te_json_with_member(update, "if_unchanged", before);
    return te_snippet_update(trigger.c_str(), update.c_str()) ? TE_EXIT_OK : te_fail("edit");
}

int te_cmd_edit(const std::string& trigger, const te_settings_options& o) {
    const char* json = te_snippet_json(trigger.c_str());
    if (!json) return te_fail("edit");
    return o.given() ? te_edit_settings(trigger, json, o) : te_edit_snippet(trigger, json);
}

struct te_edit_args {
    std::string trigger;
    te_settings_options settings;
};

}  // namespace

void te_add_edit_command(te_cli& cli) {
    auto a = std::make_shared<te_edit_args>();
    CLI::App* sub = cli.command("edit", "Edit a snippet's text in $VISUAL or $EDITOR (else vi), or its settings",
                                TE_STORE_SHOWN, [a] { return te_cmd_edit(a->trigger, a->settings); });
    sub->add_option("TRIGGER", a->trigger, "The snippet to edit")->required();
    te_add_settings_options(sub, a->settings, true);
    sub->footer("Saving the text unchanged, or empty, changes nothing. When the snippet changed elsewhere\n"
                "meanwhile, or it cannot be stored, nothing changes and the edited file is kept.\n"
                "With --propagate-case, --word-triggers or --locale only those settings change (no editor).");
}
