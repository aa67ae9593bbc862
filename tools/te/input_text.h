// Text that comes in from files, standard input and editors.
#ifndef TE_TOOL_INPUT_TEXT_H
#define TE_TOOL_INPUT_TEXT_H

#include <cstdio>
#include <string>

// The whole content of a file, or false.
bool te_read_text_file(const char* path, std::string* out);
// Everything left on the stream, or false on a read error.
bool te_read_stream(std::FILE* in, std::string* out);
// The text without one final line ending ("\n" or "\r\n"), which shells,
// here-documents and editors add: the only change made to typed-in text.
std::string te_strip_final_newline(const std::string& text);

#endif
