#include "error_mark.h"

#include <atomic>
#include <chrono>

#include "textexpander.h"

namespace {

std::atomic<unsigned long> te_marks_made{0};

// A trigger no snippet has: a control character no one types, the time and
// a count of this process's marks.
std::string te_mark_trigger(void) {
    long long now = (long long)std::chrono::steady_clock::now().time_since_epoch().count();
    return "\x1f" "te-mark-" + std::to_string(now) + "-" + std::to_string(++te_marks_made);
}

}  // namespace

te_error_mark::te_error_mark() {
    std::string trigger = te_mark_trigger();
    te_snippet_json(trigger.c_str());
    mark_ = te_last_error();
}

bool te_error_mark::failed() const { return mark_ != te_last_error(); }

std::string te_error_mark::message() const { return te_last_error(); }
