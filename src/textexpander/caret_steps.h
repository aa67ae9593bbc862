// How far the caret moves over a typed text.
#ifndef TE_CARET_STEPS_H
#define TE_CARET_STEPS_H

#include <cstddef>

// The number of Left presses that take the caret back over text[0..len)
// once it is typed: one per character as text fields count them. A line
// break is one ("\r\n" included); control characters that are not typed
// count none; a combining mark, a variation selector, an emoji modifier,
// what a zero-width joiner joins and the second of a pair of regional
// indicators (a flag) go with the character before them.
std::size_t te_caret_steps(const char* text, std::size_t len);

#endif
