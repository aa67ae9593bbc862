#include "change_script.h"

#include "textexpander.h"

namespace {

const int TE_TABLE_TARGET = 24;  // the table hovers around this size

std::string json_quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

}  // namespace

change_script::change_script(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1), seed_(seed) {}

// splitmix64.
std::uint64_t change_script::next_random() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string change_script::new_trigger() {
    return ";r" + std::to_string(seed_) + "s" + std::to_string(step_) + "x" + std::to_string(next_random() % 1000);
}

std::string change_script::some_trigger() {
    int n = te_snippet_count();
    return te_snippet_field((int)(next_random() % (std::uint64_t)n), "trigger");
}

// Texts of up to a few KiB, so a store write takes long enough for kills to
// land inside it.
std::string change_script::snippet_json(const std::string& trigger) {
    std::size_t len = next_random() % 4000;
    std::string text(len, (char)('a' + next_random() % 26));
    if (len > 10) text[len / 2] = '\n';
    return "{\"trigger\":" + json_quote(trigger) + ",\"text\":" + json_quote(text) + ",\"folder\":\"step " +
           std::to_string(step_) + "\",\"apps\":\"*\"}";
}

bool change_script::add() { return te_snippet_add(snippet_json(new_trigger()).c_str()) == 1; }

bool change_script::update() {
    std::string old = some_trigger();
    std::string renamed = next_random() % 4 == 0 ? new_trigger() : old;
    return te_snippet_update(old.c_str(), snippet_json(renamed).c_str()) == 1;
}

bool change_script::remove() { return te_snippet_delete(some_trigger().c_str()) == 1; }

// One new snippet and, when there is one, a replaced existing one.
bool change_script::import() {
    std::string arr = "[" + snippet_json(new_trigger());
    if (te_snippet_count() > 0) arr += "," + snippet_json(some_trigger());
    return te_snippet_import((arr + "]").c_str()) == 1;
}

// Calls that fail and must leave the table and the file alone.
bool change_script::refused() {
    if (te_snippet_count() > 0 && next_random() % 2) return te_snippet_add(snippet_json(some_trigger()).c_str()) == 1;
    return te_snippet_update(";never", "{\"trigger\":\"x\"}") == 1;
}

bool change_script::apply_next() {
    step_++;
    int n = te_snippet_count();
    std::uint64_t r = next_random() % 100;
    if (n < 2 || (n < TE_TABLE_TARGET && r < 30)) return add();
    if (n > TE_TABLE_TARGET + 8 || r < 45) return remove();
    if (r < 75) return update();
    if (r < 93) return import();
    return refused();
}
