#include "paste_plan.h"

namespace {

void te_add(std::vector<te_paste_step>& steps, bool paste, std::size_t from, std::size_t to) {
    if (from == to) return;
    if (!steps.empty() && steps.back().paste == paste) {
        steps.back().to = to;
        return;
    }
    te_paste_step s;
    s.paste = paste;
    s.from = from;
    s.to = to;
    steps.push_back(s);
}

}  // namespace

std::vector<te_paste_step> te_paste_plan(const std::vector<bool>& typeable) {
    std::vector<te_paste_step> steps;
    std::size_t n = typeable.size(), i = 0;
    while (i < n) {
        std::size_t end = i;
        while (end < n && typeable[end] == typeable[i]) end++;
        // A short typeable run between two pasted ones goes with them.
        bool between = i > 0 && end < n;
        bool paste = !typeable[i] || (between && end - i < TE_PASTE_MIN_TYPED_RUN);
        te_add(steps, paste, i, end);
        i = end;
    }
    return steps;
}
