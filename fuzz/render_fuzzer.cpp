// A template and a clipboard text from the input (NUL-separated). The
// result is never longer than the result limit, stays valid UTF-8 when its
// sources are, and a template without '{' comes back unchanged. Three
// snippets that put one another in (a cycle among them) are in the table
// for {snippet:...}.
#include <cstring>
#include <string>
#include <vector>

#include "engine.h"
#include "fake_desktop.h"
#include "fuzz_env.h"
#include "textexpander.h"

using te_fuzz::check;

namespace {

const std::size_t RENDER_MAX = 69631;

bool valid(const std::string& s) { return te_utf8_valid(s.data(), s.size()) == 1; }

void add_nesting_snippets(void) {
    static bool added = false;
    if (added) return;
    added = true;
    te_snippet_add("{\"trigger\":\"n1\",\"text\":\"<{snippet:n2}|{cursor}>\"}");
    te_snippet_add("{\"trigger\":\"n2\",\"text\":\"{date:%A %B}{snippet:n1}{snippet:n3}\"}");
    te_snippet_add("{\"trigger\":\"n3\",\"text\":\"{time+90m:%H:%M}{clipboard}{random6}\"}");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    add_nesting_snippets();
    std::vector<std::string> p = te_fuzz::split(data, size, 2);
    const std::string& tmpl = p[0];
    if (p[1].empty())
        fake::set_clipboard_none();
    else
        fake::set_clipboard_text(p[1]);
    const char* out = te_render(tmpl.c_str());
    check(out != nullptr, "a template rendered to null");
    std::string r = out;
    check(r.size() <= RENDER_MAX, "a rendered text is longer than the limit");
    if (valid(tmpl) && valid(p[1])) check(valid(r), "valid sources rendered invalid UTF-8");
    if (tmpl.find('{') == std::string::npos && tmpl.size() <= RENDER_MAX)
        check(r == tmpl, "a template without placeholders changed");
    return 0;
}
