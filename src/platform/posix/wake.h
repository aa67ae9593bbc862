// The wake-up channel of the POSIX desktops: a pipe that te_wake_send()
// writes a byte into, polled by the waiting thread beside whatever else it
// watches. Made on first use and kept for the life of the process; one
// for every desktop of the process (only one watches at a time).
#ifndef TE_POSIX_WAKE_H
#define TE_POSIX_WAKE_H

// Every desktop's watch_wake: ends the current, or else the next,
// te_wake_poll at once.
void te_wake_send(void);

enum { TE_WAKE_TIMEOUT = 0, TE_WAKE_WOKEN = 1, TE_WAKE_READY = 2 };

// Waits up to `ms` for a wake-up or for `fd` (-1: none) to be readable.
// TE_WAKE_WOKEN when woken (the wake-up is consumed), TE_WAKE_READY when
// only `fd` is, TE_WAKE_TIMEOUT when neither came (also early, on a signal).
int te_wake_poll(int fd, int ms);

#endif
