// The clipboard through the compositor's data control protocol: every
// change of the selection arrives as an event with an offer listing the
// text's formats (MIME types), and the text is read from a pipe the
// offering program writes into.
//
// zwlr_data_control_manager_v1 is what the wlroots family offers today;
// ext_data_control_v1 is its standard successor with the same requests and
// events. Adding it means one more binding in wl_connection.cpp and a
// second set of listeners here feeding the same record.
#ifndef TE_WL_DATA_CONTROL_H
#define TE_WL_DATA_CONTROL_H

#include <cstdint>
#include <string>
#include <vector>

struct te_wl;
struct zwlr_data_control_source_v1;

// With te_wl_lock held: starts following the seat's selection.
void te_wl_data_control_start(te_wl* c);
// With te_wl_lock held: frees the device and offers of a connection being
// dropped.
void te_wl_data_control_forget();

// With te_wl_lock held: a count of selection changes (never 0), or 0 when
// the compositor reports none.
std::uint32_t te_wl_selection_count();

// With te_wl_lock held: asks the selection's owner for its text in the
// best text format it offers; the read end of the pipe it will write into
// and close, or -1 when the selection holds no text.
int te_wl_selection_receive(te_wl* c);

// For the desktops that paste through the clipboard (GNOME's and KDE's
// paste path), all with te_wl_lock held:
// the formats the selection offers (empty when it holds nothing);
std::vector<std::string> te_wl_selection_types();
// as te_wl_selection_receive, in the format `type`;
int te_wl_selection_receive_type(te_wl* c, const char* type);
// makes `source` (null: nothing) the selection;
void te_wl_selection_set(te_wl* c, zwlr_data_control_source_v1* source);
// while muted, changes of the selection are not counted: the engine's own
// paste and the restoring of the user's clipboard are no copies.
void te_wl_selection_mute(bool on);

#endif
