// Text that comes in from files, standard input and editors.
#include "input_text.h"

bool te_read_text_file(const char* path, std::string* out) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    bool ok = te_read_stream(f, out);
    std::fclose(f);
    return ok;
}

bool te_read_stream(std::FILE* in, std::string* out) {
    out->clear();
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) out->append(chunk, n);
    return !std::ferror(in);
}

std::string te_strip_final_newline(const std::string& text) {
    std::size_t n = text.size();
    if (n > 0 && text[n - 1] == '\n') n--;
    if (n > 0 && n < text.size() && text[n - 1] == '\r') n--;
    return text.substr(0, n);
}
