// What an import file will do to the snippet table, worked out before the
// import so a host can say it (and ask about it) in full: te_snippet_import
// only returns how many it added, replaces existing triggers without a
// word, and leaves just the last refused element's message. The hosts (te
// import, the manager window) look at the table first, hand the library
// only the elements it can store, and report what the plan says.
#ifndef TE_TOOLS_IMPORT_PLAN_H
#define TE_TOOLS_IMPORT_PLAN_H

#include <string>
#include <vector>

struct te_import_plan {
    std::string array;                  // the JSON array handed to te_snippet_import
    std::vector<std::string> added;     // triggers new to the table, in file order
    std::vector<std::string> replaced;  // triggers whose snippet the import replaces
    std::vector<std::string> kept;      // triggers left as they are (keep_existing)
    std::vector<std::string> refused;   // why, one per element: "snippet 2 has no trigger"
    std::vector<std::string> left_out;  // new triggers a full table cannot take
};

// Plans the import of `file_text`: a JSON array of snippet objects, or an
// export file ({"snippets":[...]}). With keep_existing, snippets whose
// trigger the table holds are left as they are, not replaced. Elements are
// checked as the library checks them (an object with a non-empty
// "trigger" of at most 255 bytes and a "text" of at most 65535). False
// with *error ("it is not JSON (... at line L, column C). Import takes
// ...", or "it holds no snippets. ...": what the file is and what would
// do) when there is nothing to import from.
bool te_plan_import(const std::string& file_text, bool keep_existing, te_import_plan* plan, std::string* error);

// Hands the plan's elements to te_snippet_import (nothing when there are
// none). The number it added, or -1 with *error when the import failed.
int te_run_import(const te_import_plan& plan, std::string* error);

// "N added, M replaced: >>a, >>b" (M kept, with keep_existing).
std::string te_import_summary(const te_import_plan& plan, bool keep_existing);
// What was not imported: "K refused: ...; K left out, the table is full
// (4096 snippets): >>x, >>y", or "" when everything was.
std::string te_import_problems(const te_import_plan& plan);

#endif
