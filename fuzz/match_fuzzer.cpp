// A text, a trigger and a program name from the input (NUL-separated).
// A match must point at the trigger's bytes inside the text, followed only
// by white space and preceded by a non-word byte; a watch pass with that
// trigger in the table must expand exactly when it matches.
#include <cstring>
#include <string>
#include <vector>

#include "engine.h"
#include "fake_desktop.h"
#include "fuzz_env.h"
#include "textexpander.h"

using te_fuzz::check;

namespace {

bool is_word_byte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool only_space(const char* s) { return std::strspn(s, " \t\r\n") == std::strlen(s); }

void check_match(const std::string& text, const std::string& trigger, const char* at) {
    if (!at) return;
    check(!trigger.empty(), "an empty trigger matched");
    check(at >= text.c_str() && at + trigger.size() <= text.c_str() + text.size(), "a match outside the text");
    check(std::memcmp(at, trigger.data(), trigger.size()) == 0, "a match at other bytes than the trigger");
    check(only_space(at + trigger.size()), "a match followed by more than white space");
    check(at == text.c_str() || !is_word_byte((unsigned char)at[-1]), "a match preceded by a word byte");
}

// The table holds the seeds and, when the trigger could be stored, it.
bool put_trigger(const std::string& trigger) {
    if (trigger.empty() || trigger.size() > 255 || !te_utf8_valid(trigger.data(), trigger.size())) return false;
    te_engine_guard g(te_engine_lock);
    if (te_snippet_find(trigger.c_str()) >= 0) return true;
    static TeSnippet rec;
    te_copy_cut(rec.trigger, TE_TRIGGER_CAP, trigger.c_str());
    te_copy_cut(rec.text, TE_TEXT_CAP, "expanded");
    rec.folder[0] = 0;
    te_copy_cut(rec.apps, TE_APPS_CAP, "*");
    te_snippet_put(E.snippet_count++, &rec);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> p = te_fuzz::split(data, size, 3);
    const std::string& text = p[0];
    const std::string& trigger = p[1];
    const char* at = te_match_trailing_trigger(text.c_str(), trigger.c_str());
    check_match(text, trigger, at);
    te_fuzz::reset_tables();
    fake::reset();
    {
        te_engine_guard g(te_engine_lock);
        E.dry_run = 1;  // nothing is typed
    }
    bool stored = put_trigger(trigger);
    int r = te_watch_pass_text(text.c_str(), p[2].empty() ? nullptr : p[2].c_str());
    check(r >= -1 && r <= 1, "a watch pass returned an unknown result");
    if (stored && at && p[2].empty()) check(r == 1, "a matching trigger was not expanded");
    return 0;
}
