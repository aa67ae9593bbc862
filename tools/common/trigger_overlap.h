// Triggers that begin one another. Typed, the shorter expands the moment
// its last character is typed, so the longer one can never be typed: with
// ">>sig" and ">>signoff", "X >>signoff" gives ">>sig"'s text and "noff".
// Both hosts (te add, update and import; the window's Save and Import)
// warn about it after a change, naming both, and say what helps.
#ifndef TE_TOOLS_TRIGGER_OVERLAP_H
#define TE_TOOLS_TRIGGER_OVERLAP_H

#include <string>
#include <vector>

struct te_overlap {
    std::string shorter;  // begins `longer`
    std::string longer;
};

// The pairs of the snippet table (te_snippets_json) in which one of
// `triggers` begins another trigger or another begins it, each pair once.
// A shorter trigger that waits for a space or punctuation (its own word
// triggers setting, or `word_triggers_for_all` when it has none) hides
// nothing and is left out.
std::vector<te_overlap> te_find_overlaps(const std::vector<std::string>& triggers, bool word_triggers_for_all);

// What to tell the user, one sentence per pair: ">>sig begins >>signoff,
// so >>signoff never expands: >>sig expands on the way. Give one of them a
// longer trigger, or have >>sig expand only after a space or punctuation
// (its word triggers setting)." "" for no pair.
std::string te_overlap_warning(const std::vector<te_overlap>& overlaps);

#endif
