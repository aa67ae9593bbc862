// The key events a watch has gathered and the worker has not taken yet.
// Used by one thread only (the worker's); it holds what the user typed, so
// it is wiped when the watch closes.
#ifndef TE_KEY_QUEUE_H
#define TE_KEY_QUEUE_H

#include <cstddef>

#include "platform.h"

enum { TE_KEY_QUEUE_CAP = 256 };

struct te_key_queue {
    te_key_event items[TE_KEY_QUEUE_CAP];
    std::size_t head;   // the oldest event
    std::size_t count;
};

// Adds an event (`text` may be null). A full queue (the worker stayed busy
// for hundreds of keys) is replaced by one reset: what was typed meanwhile
// can no longer be followed exactly.
void te_key_queue_push(te_key_queue* q, int kind, const char* text);
// 1 and the oldest event, 0 when the queue is empty.
int te_key_queue_pop(te_key_queue* q, te_key_event* out);
// Empties the queue and overwrites every byte it held.
void te_key_queue_wipe(te_key_queue* q);

#endif
