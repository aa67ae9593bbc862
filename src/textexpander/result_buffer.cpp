// The per-thread result buffer. It starts at 69632 bytes and grows to fit
// the text, so a result is never cut; a pointer into it stays valid until
// the next call on the same thread that writes it.
#include <cstdlib>
#include <cstring>

#include "engine.h"

namespace {

struct te_result_buffer {
    char* data = nullptr;
    std::size_t cap = 0;
    ~te_result_buffer() { std::free(data); }

    // A buffer of at least `need` bytes, or null when memory is exhausted.
    char* reserve(std::size_t need) {
        if (need <= cap) return data;
        std::size_t want = cap ? cap : (std::size_t)TE_RESULT_CAP;
        while (want < need) want *= 2;
        char* p = static_cast<char*>(std::realloc(data, want));
        if (!p) return nullptr;
        data = p;
        cap = want;
        return data;
    }
};

thread_local te_result_buffer tl_buf;

}  // namespace

char* te_tb_internal_n(const char* text, std::size_t len) {
    char* out = tl_buf.reserve(len + 1);
    if (!out) return nullptr;
    if (len) std::memmove(out, text, len);
    out[len] = 0;
    return out;
}

char* te_tb_internal(const char* text) {
    return te_tb_internal_n(text ? text : "", text ? std::strlen(text) : 0);
}

const char* te_tb_take_internal(char* written, std::size_t len) {
    if (!written) return nullptr;
    const char* out = te_tb_internal_n(written, len);
    std::free(written);
    return out;
}
