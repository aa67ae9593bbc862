// Program rules kept for the desktop hosts.
//
// The library keeps its program rules only while it is loaded, and has no
// call that removes one. So the hosts (te, the snippet manager window) keep
// the rules that have an effect in "rules.json" beside the snippet store: a
// JSON array of {"process","allow","prefix"}, mode 0600. A host sets them
// at start and again whenever the file changes, so a rule set with `te rule`
// or in the window reaches a running `te run`. A rule that allows expansion
// and asks for no prefix has no effect: it stands for "no rule" and is
// never kept in the file.
#ifndef TE_TOOLS_RULES_FILE_H
#define TE_TOOLS_RULES_FILE_H

#include <string>

// The rules file that goes with a store file.
std::string te_rules_file_path(const std::string& store_path);

// Sets every rule of the file with te_rule_set, and turns every rule the
// library holds that the file no longer has into one without effect. A
// missing file holds no rule. False with *error (the file's fault, or the
// first message of a refused rule) when something could not be applied.
bool te_rules_file_apply(const std::string& path, std::string* error);

// Writes the library's rules that have an effect (te_rules_json) to the
// file, replacing it in one step. False with *error on failure.
bool te_rules_file_save(const std::string& path, std::string* error);

// Notices changes of one rules file: changed() is true the first time and
// whenever the file's size, time stamp or presence differ from the last look.
class te_rules_file_watch {
public:
    explicit te_rules_file_watch(std::string path) : path_(std::move(path)) {}
    bool changed();

private:
    std::string path_;
    std::string seen_;
    bool looked_ = false;
};

#endif
