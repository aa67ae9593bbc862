#include "typed_buffer.h"

#include <cstring>

#include "memory_wipe.h"

namespace {

bool te_is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Drops the first `n` bytes, moved forward to a character boundary.
void te_typed_drop_front(te_typed_buffer* b, std::size_t n) {
    while (n < b->len && te_is_continuation((unsigned char)b->bytes[n])) n++;
    if (n == 0) return;
    b->word_before = te_is_word_byte((unsigned char)b->bytes[n - 1]);
    std::memmove(b->bytes, b->bytes + n, b->len - n);
    b->len -= n;
    b->bytes[b->len] = 0;
}

}  // namespace

void te_typed_reset(te_typed_buffer* b) {
    b->len = 0;
    b->bytes[0] = 0;
    b->word_before = 0;
}

void te_typed_add(te_typed_buffer* b, const char* text) {
    std::size_t n = std::strlen(text);
    if (n >= sizeof b->bytes) return;
    te_typed_keep_last(b, sizeof b->bytes - 1 - n);
    std::memcpy(b->bytes + b->len, text, n + 1);
    b->len += n;
}

void te_typed_backspace(te_typed_buffer* b) {
    if (b->len == 0) {
        b->word_before = 0;  // what is erased now was never seen
        return;
    }
    std::size_t n = b->len - 1;
    while (n > 0 && te_is_continuation((unsigned char)b->bytes[n])) n--;
    b->len = n;
    b->bytes[n] = 0;
}

void te_typed_keep_last(te_typed_buffer* b, std::size_t max_bytes) {
    if (b->len > max_bytes) te_typed_drop_front(b, b->len - max_bytes);
}

te_text_end te_typed_end(const te_typed_buffer* b) {
    te_text_end t;
    t.text = b->bytes;
    t.len = b->len;
    t.trimmed = b->len;
    t.tail = te_tail_key(b->bytes + b->len, b->len);
    t.fold = te_fold_key(b->bytes + b->len, b->len);
    t.word_before = b->word_before;
    return t;
}

void te_typed_wipe(te_typed_buffer* b) { te_wipe(b, sizeof *b); }
