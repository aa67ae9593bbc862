// Mutter's remote desktop (org.gnome.Mutter.RemoteDesktop): one session
// for the process, made on first use on the session bus (session_bus.h),
// started without a screen cast, with the clipboard enabled. Through it
// keys are pressed by keysym (Mutter picks the key of the user's layout
// and the level's modifiers), the clipboard is read and set, and every
// change of the clipboard's owner is signalled.
//
// Everything here is called with te_bus_lock held and guarded by it.
#ifndef TE_GNOME_REMOTE_DESKTOP_H
#define TE_GNOME_REMOTE_DESKTOP_H

#include <cstdint>
#include <string>
#include <vector>

struct sd_bus;
struct sd_bus_message;

// The session's object path, made and started on first use (or again
// after the connection or the session went away); empty when Mutter
// refuses one, in which case *error (may be null) says why.
std::string te_gnome_session(sd_bus* bus, std::string* error);

// Presses (pressed true) or releases a keysym. `wait`: for Mutter's answer
// (and so for every request sent before); otherwise none is asked for.
// 0 when the request could not be sent or Mutter refused it.
int te_gnome_keysym(sd_bus* bus, const std::string& session, std::uint32_t sym, bool pressed, bool wait);

// The formats of the clipboard as last signalled; *known is false, and the
// list empty, when no other program owns it: Mutter tells a new session
// of the owner there is while it enables the clipboard, so once that
// answer is handled, no word means no owner. The session's own clipboard
// (a paste, or the empty one) counts as none.
std::vector<std::string> te_gnome_selection_types(bool* known);
// A count of changes of the clipboard's owner (never 0 once a session
// exists), leaving out the session's own and those made while muted.
std::uint32_t te_gnome_selection_count();
void te_gnome_selection_mute(bool on);

// A descriptor to read the clipboard's content in `type` from, -1 when
// Mutter refused the read (te_gnome_open_clipboard tries again).
int te_gnome_selection_read(sd_bus* bus, const std::string& session, const char* type);

// Makes the session the clipboard's owner offering `text` in the text
// formats; each program that asks is answered with it. 0 when refused.
int te_gnome_selection_offer(sd_bus* bus, const std::string& session, const std::string& text);
// Leaves the clipboard holding nothing. Mutter 43 offers no way to let go
// of it: after DisableClipboard a session cannot enable it again and hears
// of no change, a selection without formats is refused, and an unset one
// is taken over by Mutter's own copy of the last text owned (the engine's
// paste). So the session owns it offering one format no program pastes;
// Mutter then keeps no copy, and once this process ends the clipboard is
// empty.
int te_gnome_clipboard_empty(sd_bus* bus, const std::string& session);
// How many times the offered text was handed to a program.
std::uint64_t te_gnome_selection_served();

// Waits for an answer to everything sent so far, handling what arrives.
int te_gnome_sync(sd_bus* bus, const std::string& session);

// ---- Parts the keeper process uses on a bus and session of its own ----------
// Makes a started session with the clipboard enabled; its path, or empty.
std::string te_gnome_new_session(sd_bus* bus, std::string* error);
// Makes the session the clipboard's owner offering `types`.
int te_gnome_set_selection(sd_bus* bus, const std::string& session, const std::vector<std::string>& types);
// Reads the options of a SelectionOwnerChanged signal: the formats
// offered and whether the session itself is the owner.
void te_gnome_read_owner(sd_bus_message* m, std::vector<std::string>* types, int* is_owner);
// Answers a SelectionTransfer with `data`.
void te_gnome_answer_transfer(sd_bus* bus, const std::string& session, std::uint32_t serial, const std::string& data);

#endif
