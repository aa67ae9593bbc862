// The chord that pastes the clipboard in the program in front. Text fields
// paste the clipboard on Shift+Insert; terminals take Ctrl+V as a control
// character and many paste the primary selection on Shift+Insert, but all
// of them paste the clipboard on Ctrl+Shift+V.
#ifndef TE_PASTE_CHORD_H
#define TE_PASTE_CHORD_H

#include <vector>

// The evdev codes to press in order (and release in reverse) for the
// program whose window class or app_id is `program` (empty: unknown).
std::vector<int> te_paste_chord_for(const char* program);

#endif
