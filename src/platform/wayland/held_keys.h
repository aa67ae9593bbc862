// The keys held down on the physical keyboards, asked of the devices
// themselves (no event is read), for the hotkey chord and for the typing's
// wait until the user has let go of every key.
#ifndef TE_WL_HELD_KEYS_H
#define TE_WL_HELD_KEYS_H

// 1 while any key of a physical keyboard is down; 0 also when the
// keyboards cannot be read.
int te_wl_any_key_held(void* unused);

#endif
