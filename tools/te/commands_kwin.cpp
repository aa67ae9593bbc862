// te kwin-trust [PROGRAM...]: lets KWin (KDE Plasma on Wayland) take the
// typing of this te, and of the programs named, by writing the desktop
// file it asks for; and the offer made when KWin refuses te's typing.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "cli.h"
#include "desktop_settle.h"
#include "kwin_trust.h"

namespace {

int te_cmd_kwin_trust(const std::vector<std::string>& programs) {
    std::vector<std::string> all{te_own_program_path()};
    for (const std::string& p : programs) {
        char real[PATH_MAX];
        if (!realpath(p.c_str(), real)) return te_fail_with("kwin-trust", "no such program: " + p);
        all.push_back(real);
    }
    for (const std::string& program : all) {
        if (te_kwin_trusts(program)) {
            std::printf("KWin already lets %s type\n", program.c_str());
            continue;
        }
        std::string path, error;
        if (!te_kwin_trust_write(program, &path, &error)) return te_fail_with("kwin-trust", error);
        std::printf("wrote %s: KWin lets %s type once it has read it (within a few seconds)\n", path.c_str(),
                    program.c_str());
    }
    return TE_EXIT_OK;
}

}  // namespace

int te_fail_typing(const char* what) {
    int status = te_fail(what);
    std::string self = te_own_program_path();
    if (te_desktop_settle("") == "kde" && !self.empty() && !te_kwin_trusts(self))
        std::fprintf(stderr, "te %s: KWin lets only the programs it trusts type, and no desktop file names %s: "
                             "`te kwin-trust` writes one\n", what, self.c_str());
    return status;
}

void te_add_kwin_command(te_cli& cli) {
    auto programs = std::make_shared<std::vector<std::string>>();
    CLI::App* sub = cli.command("kwin-trust", "Let KWin (KDE Plasma on Wayland) take the typing of this te",
                                TE_STORE_NONE, [programs] { return te_cmd_kwin_trust(*programs); });
    sub->add_option("PROGRAM", *programs, "Other programs to let type too, e.g. a velmora-manager built with te");
    sub->footer("Writes a desktop file for each into ~/.local/share/applications (XDG_DATA_HOME): KWin lets a\n"
                "program type through its fake input only when such a file names its path. Installed copies\n"
                "have theirs already.");
}
