#include "import_plan.h"

#include <cstdlib>
#include <cstring>
#include <set>

#include <yyjson.h>

#include "error_mark.h"
#include "textexpander.h"

namespace {

// The library's bounds for one snippet (include/textexpander.h).
const std::size_t TE_TRIGGER_MAX = 255;
const std::size_t TE_TEXT_MAX = 65535;
const std::size_t TE_TABLE_MAX = 4096;

// A member's string as the library reads it: up to its first NUL; null
// when the member is missing or not a string.
const char* te_member_text(yyjson_val* obj, const char* key) {
    yyjson_val* v = yyjson_obj_get(obj, key);
    return yyjson_is_str(v) ? yyjson_get_str(v) : nullptr;
}

// Why the library would refuse this element, or "".
std::string te_element_fault(yyjson_val* el) {
    if (!yyjson_is_obj(el)) return "is not a JSON object";
    const char* trigger = te_member_text(el, "trigger");
    if (!trigger || !trigger[0]) return "has no trigger";
    if (std::strlen(trigger) > TE_TRIGGER_MAX) return "has a trigger longer than 255 bytes";
    const char* text = te_member_text(el, "text");
    if (text && std::strlen(text) > TE_TEXT_MAX) return "has a text longer than 65535 bytes";
    return "";
}

// What an import takes, said after what the file is not.
const char* const TE_IMPORT_TAKES = "Import takes a file that Export (te export) wrote, or a JSON array of snippets "
                                    "such as [{\"trigger\":\">>hi\",\"text\":\"Hello\"}].";

// "it is not JSON (<reason> at line L, column C). Import takes ..."
std::string te_not_json(const std::string& text, const yyjson_read_err& err) {
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < err.pos && i < text.size(); i++) {
        if (text[i] == '\n') {
            line++;
            column = 1;
        } else if (((unsigned char)text[i] & 0xC0) != 0x80) {
            column++;
        }
    }
    return std::string("it is not JSON (") + err.msg + " at line " + std::to_string(line) + ", column " +
           std::to_string(column) + "). " + TE_IMPORT_TAKES;
}

// The array of an import file: the root array, or an export file's
// "snippets". Null otherwise.
yyjson_val* te_import_array(yyjson_doc* doc) {
    yyjson_val* root = yyjson_doc_get_root(doc);
    if (yyjson_is_arr(root)) return root;
    yyjson_val* list = yyjson_obj_get(root, "snippets");
    return yyjson_is_arr(list) ? list : nullptr;
}

// The triggers the table holds now. False when it cannot be listed.
bool te_table_triggers(std::set<std::string>* out, std::size_t* count) {
    const char* json = te_snippets_json();
    yyjson_doc* doc = json ? yyjson_read(json, std::strlen(json), 0) : nullptr;
    yyjson_val* list = te_import_array(doc);
    yyjson_val* el;
    yyjson_arr_iter it = yyjson_arr_iter_with(list);
    while ((el = yyjson_arr_iter_next(&it)))
        if (const char* trigger = te_member_text(el, "trigger")) out->insert(trigger);
    *count = yyjson_arr_size(list);
    yyjson_doc_free(doc);
    return list != nullptr;
}

void te_add_once(std::vector<std::string>* list, const std::string& trigger) {
    for (const std::string& t : *list)
        if (t == trigger) return;
    list->push_back(trigger);
}

std::string te_joined(const std::vector<std::string>& items, const char* between) {
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : between) + item;
    return out;
}

// Sorts one valid element into the plan; true when it goes to the library.
bool te_plan_element(const std::string& trigger, bool keep_existing, const std::set<std::string>& existing,
                     std::set<std::string>* added, std::size_t* count, te_import_plan* plan) {
    if (existing.count(trigger)) {
        te_add_once(keep_existing ? &plan->kept : &plan->replaced, trigger);
        return !keep_existing;
    }
    if (added->count(trigger)) return true;  // a later copy in the file replaces the earlier
    if (*count >= TE_TABLE_MAX) {
        te_add_once(&plan->left_out, trigger);
        return false;
    }
    added->insert(trigger);
    plan->added.push_back(trigger);
    ++*count;
    return true;
}

}  // namespace

bool te_plan_import(const std::string& file_text, bool keep_existing, te_import_plan* plan, std::string* error) {
    *plan = te_import_plan();
    yyjson_read_err err;
    yyjson_doc* doc = yyjson_read_opts(const_cast<char*>(file_text.data()), file_text.size(), 0, nullptr, &err);
    if (!doc) {
        *error = te_not_json(file_text, err);
        return false;
    }
    yyjson_val* list = te_import_array(doc);
    std::set<std::string> existing, added;
    std::size_t count = 0;
    if (!list || !te_table_triggers(&existing, &count)) {
        *error = list ? "the snippets in the table cannot be listed" : std::string("it holds no snippets. ") + TE_IMPORT_TAKES;
        yyjson_doc_free(doc);
        return false;
    }
    yyjson_mut_doc* out = yyjson_mut_doc_new(nullptr);
    yyjson_mut_val* array = yyjson_mut_arr(out);
    yyjson_mut_doc_set_root(out, array);
    yyjson_val* el;
    yyjson_arr_iter it = yyjson_arr_iter_with(list);
    for (std::size_t n = 1; (el = yyjson_arr_iter_next(&it)); n++) {
        std::string fault = te_element_fault(el);
        if (!fault.empty()) plan->refused.push_back("snippet " + std::to_string(n) + " " + fault);
        else if (te_plan_element(te_member_text(el, "trigger"), keep_existing, existing, &added, &count, plan))
            yyjson_mut_arr_append(array, yyjson_val_mut_copy(out, el));
    }
    char* text = yyjson_mut_write(out, 0, nullptr);
    plan->array = text ? text : "[]";
    std::free(text);
    yyjson_mut_doc_free(out);
    yyjson_doc_free(doc);
    return true;
}

int te_run_import(const te_import_plan& plan, std::string* error) {
    if (plan.added.empty() && plan.replaced.empty()) return 0;
    // Only elements the library takes are handed over: a message left
    // since the mark is a failure of the import itself.
    te_error_mark mark;
    int added = te_snippet_import(plan.array.c_str());
    if (added == 0 && mark.failed()) {
        *error = mark.message();
        return -1;
    }
    return added;
}

std::string te_import_summary(const te_import_plan& plan, bool keep_existing) {
    const std::vector<std::string>& other = keep_existing ? plan.kept : plan.replaced;
    std::string out = std::to_string(plan.added.size()) + " added, " + std::to_string(other.size()) +
                      (keep_existing ? " kept" : " replaced");
    return other.empty() ? out : out + ": " + te_joined(other, ", ");
}

std::string te_import_problems(const te_import_plan& plan) {
    std::vector<std::string> parts;
    if (!plan.refused.empty())
        parts.push_back(std::to_string(plan.refused.size()) + " refused: " + te_joined(plan.refused, "; "));
    if (!plan.left_out.empty())
        parts.push_back(std::to_string(plan.left_out.size()) + " left out, the table is full (4096 snippets): " +
                        te_joined(plan.left_out, ", "));
    return te_joined(parts, "; ");
}
