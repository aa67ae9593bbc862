// How a text is split between keys and pastes on a desktop that can only
// press the keys of the user's layout. Keys stay the first choice; the
// characters the layout lacks are pasted. Each paste costs a round trip to
// the program in front (the clipboard is set, the paste chord pressed, the
// program asks for the text), so nearby pastes are merged with the keys
// between them: a text mixing scripts costs a few pastes, never hundreds.
#ifndef TE_PASTE_PLAN_H
#define TE_PASTE_PLAN_H

#include <cstddef>
#include <cstdint>
#include <vector>

// Runs of typeable characters shorter than this between two characters
// the layout lacks are pasted with them.
enum { TE_PASTE_MIN_TYPED_RUN = 64 };

struct te_paste_step {
    bool paste = false;
    std::size_t from = 0, to = 0;  // the characters [from, to) of the text
};

// The steps for a text of `count` characters whose i-th can be typed when
// typeable[i] is set, in order; empty for an empty text.
std::vector<te_paste_step> te_paste_plan(const std::vector<bool>& typeable);

#endif
