// UTF-8 text as a terminal shows it: character cells, one-line forms and
// case-insensitive comparison.
#ifndef TE_TOOL_TEXT_CELLS_H
#define TE_TOOL_TEXT_CELLS_H

#include <string>

// Makes the C library's character classes Unicode-aware: the user's locale
// when it is UTF-8, else C.UTF-8. Only LC_CTYPE changes.
void te_use_utf8_ctype(void);

// The text on one line, safe to print: a line break becomes "⏎", a tab a
// space, other control characters and bytes that are not UTF-8 "?".
std::string te_one_line(const std::string& text);
// Terminal cells the text takes (wide characters two, combining marks none).
int te_cell_width(const std::string& text);
// The text cut to at most `cells` cells, never inside a character; a text
// that had to be cut ends with "…".
std::string te_fit_cells(const std::string& text, int cells);
// The text lower-cased character by character, for comparing without
// regard to case.
std::string te_fold_case(const std::string& text);

#endif
