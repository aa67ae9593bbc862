// ASCII-only case handling for program names and rule keys: only the
// letters a-z and A-Z change, so every byte of a multi-byte UTF-8 character
// stays as it is.
#ifndef TE_ASCII_CASE_H
#define TE_ASCII_CASE_H

// Upper-cases the ASCII letters of the NUL-terminated text in place.
void te_ascii_upper(char* s);

// Compares two NUL-terminated texts with ASCII letters folded to upper
// case; <0, 0 or >0 as strcmp.
int te_ascii_casecmp(const char* a, const char* b);

#endif
