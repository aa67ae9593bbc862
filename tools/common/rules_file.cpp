#include "rules_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include <yyjson.h>

#include "files_seam.h"
#include "private_file.h"
#include "textexpander.h"

namespace {

struct te_rule_entry {
    std::string process;
    bool allow;
    std::string prefix;
};

bool te_has_effect(const te_rule_entry& r) { return !r.allow || !r.prefix.empty(); }

std::string te_str(yyjson_val* obj, const char* key) {
    const char* s = yyjson_get_str(yyjson_obj_get(obj, key));
    return s ? s : "";
}

// The rules te_rules_json lists ("allow" a number).
void te_parse_library_rules(const char* json, std::vector<te_rule_entry>* out) {
    yyjson_doc* doc = yyjson_read(json, std::strlen(json), 0);
    yyjson_val* el;
    yyjson_arr_iter it = yyjson_arr_iter_with(yyjson_doc_get_root(doc));
    while ((el = yyjson_arr_iter_next(&it)))
        out->push_back(te_rule_entry{te_str(el, "process"), yyjson_get_int(yyjson_obj_get(el, "allow")) != 0,
                                     te_str(el, "prefix")});
    yyjson_doc_free(doc);
}

// What is wrong with one entry of the file, or "" for a whole rule:
// {"process": a name, "allow": true or false, "prefix": text (may be left
// out)}. Nothing is guessed: an entry without "allow" is no block rule.
std::string te_rule_fault(yyjson_val* el) {
    if (!yyjson_is_obj(el)) return "not a JSON object";
    yyjson_val* process = yyjson_obj_get(el, "process");
    if (!yyjson_is_str(process) || !yyjson_get_len(process)) return "\"process\" must name a program";
    if (!yyjson_is_bool(yyjson_obj_get(el, "allow"))) return "\"allow\" must be true or false";
    yyjson_val* prefix = yyjson_obj_get(el, "prefix");
    if (prefix && !yyjson_is_str(prefix)) return "\"prefix\" must be text";
    return "";
}

// The rules of the file's text; false with *error for a text that is not
// an array of whole rules.
bool te_parse_rules_file(const std::string& path, const std::string& text, std::vector<te_rule_entry>* out,
                         std::string* error) {
    yyjson_doc* doc = yyjson_read(text.data(), text.size(), 0);
    yyjson_val* root = yyjson_doc_get_root(doc);
    if (!yyjson_is_arr(root)) *error = path + ": not a JSON array of rules";
    yyjson_val* el;
    yyjson_arr_iter it = yyjson_arr_iter_with(root);
    for (std::size_t n = 1; error->empty() && (el = yyjson_arr_iter_next(&it)); n++) {
        std::string fault = te_rule_fault(el);
        if (!fault.empty()) *error = path + ": rule " + std::to_string(n) + ": " + fault;
        else out->push_back(te_rule_entry{te_str(el, "process"), yyjson_get_bool(yyjson_obj_get(el, "allow")),
                                          te_str(el, "prefix")});
    }
    yyjson_doc_free(doc);
    return error->empty();
}

std::vector<te_rule_entry> te_library_rules() {
    std::vector<te_rule_entry> rules;
    const char* json = te_rules_json();
    if (json) te_parse_library_rules(json, &rules);
    return rules;
}

// Sets one rule; false with the library's message.
bool te_set(const te_rule_entry& r, std::string* error) {
    yyjson_mut_doc* doc = yyjson_mut_doc_new(nullptr);
    yyjson_mut_val* obj = yyjson_mut_obj(doc);
    yyjson_mut_doc_set_root(doc, obj);
    yyjson_mut_obj_add_bool(doc, obj, "allow", r.allow);
    yyjson_mut_obj_add_strncpy(doc, obj, "prefix", r.prefix.data(), r.prefix.size());
    char* json = yyjson_mut_write(doc, 0, nullptr);
    yyjson_mut_doc_free(doc);
    bool ok = json && te_rule_set(r.process.c_str(), json) == 1;
    std::free(json);
    if (!ok && error->empty()) *error = r.process + ": " + te_last_error();
    return ok;
}

bool te_in(const std::vector<te_rule_entry>& rules, const std::string& process) {
    for (const te_rule_entry& r : rules)
        if (r.process == process) return true;
    return false;
}

}  // namespace

std::string te_rules_file_path(const std::string& store_path) {
    return (std::filesystem::path(store_path).parent_path() / "rules.json").string();
}

bool te_rules_file_apply(const std::string& path, std::string* error) {
    error->clear();
    std::vector<te_rule_entry> wanted;
    std::string text;
    int there = te_read_file(path, &text, error);
    if (there < 0 || (there && !te_parse_rules_file(path, text, &wanted, error))) return false;
    bool ok = true;
    for (const te_rule_entry& r : wanted) ok = te_set(r, error) && ok;
    // Program names compare without regard to case in the library, which
    // keeps them upper-cased; the file keeps them as the library lists them.
    for (te_rule_entry& r : te_library_rules()) {
        if (!te_has_effect(r) || te_in(wanted, r.process)) continue;
        ok = te_set(te_rule_entry{r.process, true, ""}, error) && ok;
    }
    return ok;
}

namespace {

const int TE_RULES_LOCK_WAIT_MS = 3000;

// The rules file's lock, held while it lives (when ok()).
class te_rules_lock {
public:
    explicit te_rules_lock(const std::string& path, std::string* error) {
        std::string lock_path = path + ".lock";
        te_make_parent_dirs(path);
        errno = 0;
        te_lock_status status = te_files_system().lock(path.c_str(), TE_RULES_LOCK_WAIT_MS, &lock_);
        held_ = status == TE_LOCK_TAKEN;
        if (status == TE_LOCK_BUSY) *error = "rules file is locked by another process: " + path;
        if (status == TE_LOCK_UNAVAILABLE)
            *error = "cannot lock " + lock_path + ": " + (errno ? std::strerror(errno) : "the lock file cannot be opened");
    }
    ~te_rules_lock() {
        if (held_) te_files_system().unlock(lock_);
    }
    te_rules_lock(const te_rules_lock&) = delete;
    te_rules_lock& operator=(const te_rules_lock&) = delete;
    bool ok() const { return held_; }

private:
    te_file_lock lock_ = 0;
    bool held_ = false;
};

// Writes the library's rules that have an effect to the file.
bool te_rules_file_save(const std::string& path, std::string* error) {
    yyjson_mut_doc* doc = yyjson_mut_doc_new(nullptr);
    yyjson_mut_val* arr = yyjson_mut_arr(doc);
    yyjson_mut_doc_set_root(doc, arr);
    std::vector<te_rule_entry> rules = te_library_rules();
    for (const te_rule_entry& r : rules) {
        if (!te_has_effect(r)) continue;
        yyjson_mut_val* obj = yyjson_mut_arr_add_obj(doc, arr);
        yyjson_mut_obj_add_strncpy(doc, obj, "process", r.process.data(), r.process.size());
        yyjson_mut_obj_add_bool(doc, obj, "allow", r.allow);
        yyjson_mut_obj_add_strncpy(doc, obj, "prefix", r.prefix.data(), r.prefix.size());
    }
    char* json = yyjson_mut_write(doc, 0, nullptr);
    yyjson_mut_doc_free(doc);
    if (!json) {
        *error = path + ": the rules could not be written";
        return false;
    }
    bool ok = te_replace_private(path, json, error);
    std::free(json);
    return ok;
}

}  // namespace

bool te_rules_file_set(const std::string& path, const std::string& process, const char* settings,
                       std::string* error) {
    error->clear();
    te_rules_lock lock(path, error);
    if (!lock.ok()) return false;
    if (!te_rules_file_apply(path, error)) return false;
    if (!te_rule_set(process.c_str(), settings)) {
        *error = te_last_error();
        return false;
    }
    return te_rules_file_save(path, error);
}

const char* te_rule_desktop_note(const std::string& desktop) {
    if (desktop != "gnome") return nullptr;
    return "on GNOME the program in front is unknown to other programs, so this rule applies only to programs "
           "under Xwayland (te run --desktop x11)";
}
