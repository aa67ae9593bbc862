// A seeded, repeatable run of snippet changes: adds, updates (some of them
// renames), deletes, imports and a few calls that must fail. Each step
// looks at the table as it is, so the same seed applied to the same table
// makes the same calls with the same results, in any process.
#ifndef TE_CHANGE_SCRIPT_H
#define TE_CHANGE_SCRIPT_H

#include <cstdint>
#include <string>

class change_script {
public:
    explicit change_script(std::uint64_t seed);

    // Makes the next call. True when it returned 1, that is when it changed
    // the table and stored it (an import adds exactly one new snippet, so
    // its count is 1 too).
    bool apply_next();

private:
    std::uint64_t next_random();
    std::string new_trigger();
    std::string some_trigger();
    std::string snippet_json(const std::string& trigger);
    bool add();
    bool update();
    bool remove();
    bool import();
    bool refused();

    std::uint64_t state_;
    std::uint64_t seed_;
    int step_ = 0;
};

#endif
