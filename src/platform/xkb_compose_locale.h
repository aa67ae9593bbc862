// The compose sequences (dead keys) that apply to the user: those of the
// user's locale, unless that is the plain C locale, then the usual UTF-8
// ones.
#ifndef TE_XKB_COMPOSE_LOCALE_H
#define TE_XKB_COMPOSE_LOCALE_H

struct xkb_context;
struct xkb_compose_table;

// A new compose table, null when no locale has one.
xkb_compose_table* te_xkb_compose_table(xkb_context* ctx);

#endif
