// Program rules kept for the desktop hosts.
//
// The library keeps its program rules only while it is loaded, and has no
// call that removes one. So the hosts (te, the snippet manager window) keep
// the rules that have an effect in "rules.json" beside the snippet store: a
// JSON array of {"process","allow","prefix"}, mode 0600. A host sets them
// at start and again whenever the file changes (te_file_watch), so a rule
// set with `te rule` or in the window reaches a running `te run`. A rule that allows expansion
// and asks for no prefix has no effect: it stands for "no rule" and is
// never kept in the file.
#ifndef TE_TOOLS_RULES_FILE_H
#define TE_TOOLS_RULES_FILE_H

#include <string>

// The rules file that goes with a store file.
std::string te_rules_file_path(const std::string& store_path);

// Sets every rule of the file with te_rule_set, and turns every rule the
// library holds that the file no longer has into one without effect. A
// missing file holds no rule. A file that is there but cannot be read
// ("cannot read PATH: reason"), or that is not an array of whole rules
// ("PATH: rule 2: \"allow\" must be true or false"), is never taken as
// empty: nothing is set, the library keeps the rules it has, false with
// *error. False too with the first message of a rule the library refused.
bool te_rules_file_apply(const std::string& path, std::string* error);

// Changes the rule of `process` in the file, with the discipline of the
// store: under the file's lock ("<path>.lock", waited for up to about 3
// seconds) the file is read again and its rules set, the change is made
// with te_rule_set(process, settings) (null settings: "{}"), and the rules
// that have an effect are written back in one step (te_replace_private),
// so rules set side by side by several hosts are all kept. False with
// *error (the lock, a file that cannot be read or taken, or the library's
// message for a refused rule) when nothing was kept.
bool te_rules_file_set(const std::string& path, const std::string& process, const char* settings,
                       std::string* error);

// What a host says when a rule is set while it serves `desktop` (the
// settled desktop's name), or null: on GNOME no program in front is known,
// so a rule names programs under Xwayland alone.
const char* te_rule_desktop_note(const std::string& desktop);

#endif
