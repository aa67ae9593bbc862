// The compositor's windows (zwlr_foreign_toplevel_management_v1): which
// one is activated, that is has the keyboard, and its app_id.
#ifndef TE_WL_TOPLEVELS_H
#define TE_WL_TOPLEVELS_H

#include <string>

struct te_wl;

// With te_wl_lock held: starts following the toplevels.
void te_wl_toplevels_start(te_wl* c);
// With te_wl_lock held: frees them, for a connection being dropped.
void te_wl_toplevels_forget();

// With te_wl_lock held: 1 and the app_id of the activated toplevel (may be
// empty), 0 when none is activated; -1 when the compositor does not tell.
int te_wl_front_app_id(std::string* out);

// Any thread, no lock: a number that changes whenever another toplevel
// is activated.
unsigned te_wl_front_serial();

// Any thread, no lock: 1 while a toplevel is activated, 0 while none is
// (the keyboard is with a lock screen, a launcher, or nothing), -1 when
// the compositor does not tell.
int te_wl_front_state();

#endif
