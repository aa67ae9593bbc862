// te edit TRIGGER: the snippet's text in the user's editor.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

#include "cli.h"
#include "input_text.h"
#include "json_text.h"
#include "private_file.h"
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

// A new empty file for the text, readable by the user alone, or "".
std::string te_make_edit_file(void) {
    const char* dir = std::getenv("TMPDIR");
    std::string name = std::string(dir && dir[0] ? dir : "/tmp") + "/te-edit-XXXXXX.txt";
    int fd = mkstemps(&name[0], 4);
    if (fd < 0) return "";
    close(fd);
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

// The text after editing, or an exit status on failure.
int te_edit_text(const std::string& text, std::string* edited) {
    std::string path = te_make_edit_file(), error;
    if (path.empty()) return te_fail_with("edit", std::string("cannot make a temporary file: ") + std::strerror(errno));
    // Editors end a saved file with a newline; one is given and taken away.
    bool ok = te_write_private(path, text + "\n", &error);
    int status = ok ? te_run_editor(path) : 0;
    std::string saved;
    ok = ok && status == 0 && te_read_text_file(path.c_str(), &saved);
    unlink(path.c_str());
    if (status != 0) return te_fail_with("edit", te_editor() + " failed (status " + std::to_string(status) + "); nothing changed");
    if (!ok) return te_fail_with("edit", error.empty() ? "cannot read the edited text back" : error);
    *edited = te_strip_final_newline(saved);
    return TE_EXIT_OK;
}

int te_cmd_edit(const std::string& trigger) {
    const char* json = te_snippet_json(trigger.c_str());
    if (!json) return te_fail("edit");
    te_json_object snippet(json);
    std::string text = snippet.str("text"), folder = snippet.str("folder"), apps = snippet.str("apps");
    std::string edited;
    if (int status = te_edit_text(text, &edited)) return status;
    if (edited.empty() || edited == text) {
        std::fprintf(stderr, "te edit: %s, nothing changed\n", edited.empty() ? "empty text" : "text unchanged");
        return TE_EXIT_OK;
    }
    std::string update = te_snippet_object(trigger, edited, &folder, &apps);
    if (update.empty()) return te_fail_with("edit", "the edited text is not valid UTF-8");
    return te_snippet_update(trigger.c_str(), update.c_str()) ? TE_EXIT_OK : te_fail("edit");
}

}  // namespace

void te_add_edit_command(te_cli& cli) {
    auto trigger = std::make_shared<std::string>();
    CLI::App* sub = cli.command("edit", "Edit a snippet's text in $VISUAL or $EDITOR (else vi)", TE_STORE_QUIET,
                                [trigger] { return te_cmd_edit(*trigger); });
    sub->add_option("TRIGGER", *trigger, "The snippet to edit")->required();
    sub->footer("Saving the text unchanged, or empty, changes nothing.");
}
