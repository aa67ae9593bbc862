// Telling a failure from "nothing" after a call whose result cannot show
// it: te_snippet_import returns 0 both when it failed and when every
// snippet it took replaced one of the same trigger. The library's last
// error is never cleared, and failures quote no fixed set of messages, so
// a host puts a mark of its own into the last error before the call and
// looks after it: the mark is gone exactly when a failure left a message
// since (the method include/textexpander.h describes under "Errors").
#ifndef TE_TOOLS_ERROR_MARK_H
#define TE_TOOLS_ERROR_MARK_H

#include <string>

class te_error_mark {
public:
    // Puts the mark: a failing lookup of a trigger no one has, unique to
    // this mark ("no such trigger: ..."). Like te_snippet_json, it re-reads
    // a store another process replaced.
    te_error_mark();

    // True when a failure left its message since the mark: the call's own,
    // or, rarely, one on another thread of this process meanwhile (the
    // worker's), which is then reported in its place. Never true when no
    // failure happened.
    bool failed() const;
    // The last error now.
    std::string message() const;

private:
    std::string mark_;
};

#endif
