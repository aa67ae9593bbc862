// UTF-8 <-> UTF-16 conversions shared by the Windows backend.
#ifndef TE_WIN32_TEXT_CONVERT_H
#define TE_WIN32_TEXT_CONVERT_H

#include <string>
#include <windows.h>

// Converts the NUL-terminated UTF-16 text into out[size] as UTF-8 in two
// passes (size, then conversion). Returns 1 when the whole text with its NUL
// was written; 0 when it does not fit or cannot be converted, and then out
// is not written at all.
int te_wide_to_utf8(const wchar_t* text, char* out, int size);

// The same for the first `units` UTF-16 units of text, which need not be
// followed by a NUL; out gets the UTF-8 text and a NUL.
int te_wide_n_to_utf8(const wchar_t* text, int units, char* out, int size);

// Converts the text of a CF_UNICODETEXT memory block into out[size] as
// te_wide_to_utf8 does. A block from another program need not end in a
// NUL: the text ends at the first NUL or at the end of the block
// (GlobalSize), whichever comes first. The block is locked only meanwhile.
int te_unicode_block_to_utf8(HANDLE block, char* out, int size);

// Converts a NUL-terminated UTF-8 text to UTF-16. 0, errno EILSEQ and out
// untouched when the text is not UTF-8: a path with such bytes would
// otherwise name another file (each malformed byte becoming U+FFFD).
int te_utf8_to_wide(const char* text, std::wstring& out);

#endif
