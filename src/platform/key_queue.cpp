#include "key_queue.h"

#include <cstring>

#include "memory_wipe.h"

void te_key_queue_push(te_key_queue* q, int kind, const char* text) {
    std::size_t n = text ? std::strlen(text) : 0;
    // Longer than one event holds (a long compose result): the buffer can
    // no longer follow the text exactly either.
    if (n >= sizeof q->items[0].text) kind = TE_KEY_RESET;
    if (kind == TE_KEY_BACKSPACE) n = 0;  // a reset's text names Enter or Tab
    if (q->count == TE_KEY_QUEUE_CAP) {
        te_key_queue_wipe(q);
        kind = TE_KEY_RESET;
        n = 0;
    }
    te_key_event& ev = q->items[(q->head + q->count) % TE_KEY_QUEUE_CAP];
    ev.kind = kind;
    if (n) std::memcpy(ev.text, text, n);
    ev.text[n] = 0;
    q->count++;
}

int te_key_queue_pop(te_key_queue* q, te_key_event* out) {
    if (q->count == 0) return 0;
    te_key_event& ev = q->items[q->head];
    *out = ev;
    std::memset(ev.text, 0, sizeof ev.text);
    q->head = (q->head + 1) % TE_KEY_QUEUE_CAP;
    q->count--;
    return 1;
}

void te_key_queue_wipe(te_key_queue* q) { te_wipe(q, sizeof *q); }
