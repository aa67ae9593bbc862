// Snippets as an aligned table for the terminal.
#include "snippet_table.h"

#include <algorithm>
#include <cstdlib>
#include <sys/ioctl.h>
#include <unistd.h>

#include "text_cells.h"

namespace {

const char* const TE_GAP = "  ";
const int TE_GAP_CELLS = 2;
// Widest the trigger, folder and apps columns grow; the text column gets
// the rest of the line, but never fewer than TE_MIN_TEXT cells.
const int TE_MAX_COLUMN[3] = {24, 16, 20};
const int TE_MIN_TEXT = 10;

// The cell as shown: on one line, cut to `cells`, padded to `cells` unless
// it is the last column.
std::string te_cell(const std::string& value, int cells, bool pad) {
    std::string shown = te_fit_cells(te_one_line(value), cells);
    if (pad) shown.append((std::size_t)(cells - te_cell_width(shown)), ' ');
    return shown;
}

std::string te_line(const te_table_row& r, const int widths[3], int text_cells) {
    return te_cell(r.trigger, widths[0], true) + TE_GAP + te_cell(r.folder, widths[1], true) + TE_GAP +
           te_cell(r.apps, widths[2], true) + TE_GAP + te_cell(r.text, text_cells, false);
}

}  // namespace

int te_terminal_width(void) {
    struct winsize ws;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
    const char* columns = std::getenv("COLUMNS");
    int n = columns ? std::atoi(columns) : 0;
    return n > 0 ? n : 80;
}

std::vector<std::string> te_table_lines(const std::vector<te_table_row>& rows, int width) {
    const te_table_row header{"TRIGGER", "FOLDER", "APPS", "TEXT"};
    int widths[3];
    const std::string te_table_row::*fields[3] = {&te_table_row::trigger, &te_table_row::folder,
                                                  &te_table_row::apps};
    for (int col = 0; col < 3; col++) {
        int widest = te_cell_width(header.*fields[col]);
        for (const te_table_row& r : rows) widest = std::max(widest, te_cell_width(te_one_line(r.*fields[col])));
        widths[col] = std::min(widest, TE_MAX_COLUMN[col]);
    }
    int text_cells = std::max(TE_MIN_TEXT, width - widths[0] - widths[1] - widths[2] - 3 * TE_GAP_CELLS);
    std::vector<std::string> lines{te_line(header, widths, text_cells)};
    for (const te_table_row& r : rows) lines.push_back(te_line(r, widths, text_cells));
    return lines;
}
