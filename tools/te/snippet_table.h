// Snippets as an aligned table for the terminal.
#ifndef TE_TOOL_SNIPPET_TABLE_H
#define TE_TOOL_SNIPPET_TABLE_H

#include <string>
#include <vector>

struct te_table_row {
    std::string trigger;
    std::string folder;
    std::string apps;
    std::string text;
};

// The columns of a terminal on standard output (TIOCGWINSZ), else $COLUMNS,
// else 80.
int te_terminal_width(void);

// A header line and one line per row, columns aligned by character cells;
// each line fits `width` cells (the text column takes what is left, at
// least a few cells). Every field is shown on one line (te_one_line).
std::vector<std::string> te_table_lines(const std::vector<te_table_row>& rows, int width);

#endif
