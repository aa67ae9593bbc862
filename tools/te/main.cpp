// te: the text expander from the command line and in the background.
#include "cli.h"
#include "text_cells.h"

int main(int argc, char** argv) {
    te_use_utf8_ctype();
    te_cli cli;
    te_add_snippet_commands(cli);
    te_add_browse_commands(cli);
    te_add_edit_command(cli);
    te_add_transfer_commands(cli);
    te_add_expansion_commands(cli);
    te_add_run_command(cli);
    te_add_background_commands(cli);
    te_add_autostart_command(cli);
    te_add_kwin_command(cli);
    return cli.run(argc, argv);
}
