/*
 * velmora-textexpander: a personal text-expansion engine.
 *
 * The host loads the library and drives it through the 22 functions below.
 * No call order is required: any call may come first.
 *
 * Strings: every argument is a NUL-terminated UTF-8 text; null is accepted
 * everywhere and treated as the function says.
 *
 * Results: functions that act return an int, 1 (or a count) for success and
 * 0 for failure (the watch passes return 1, 0 or -1). Functions that return
 * text return a const pointer that the host must not free:
 *   - most point into the calling thread's result buffer. The text stays
 *     valid until the next call on the same thread that returns text in the
 *     result buffer; calls on other threads never touch it. The buffer grows
 *     to fit, so a JSON result is always complete.
 *   - te_snippet_field points into the snippet table, te_last_error at a
 *     per-thread copy of the error text and te_match_trailing_trigger into
 *     the text it was given; each says how long it stays valid.
 *
 * Errors: a failure leaves a short lower-case message that te_last_error
 * returns. Success never clears it.
 *
 * Telling a failure from "nothing": te_snippet_import returns 0 both when it
 * failed and when it added nothing new, and no fixed list of messages names
 * every failure. A host that must tell them apart marks the last error
 * first, with a call that fails with a text no other failure can leave:
 * te_snippet_json of a trigger made up for the purpose and unique to this
 * mark (a control character, the time, a count), which leaves "no such
 * trigger: <that trigger>". Right after the call it reads te_last_error
 * again: a text other than the mark means a failure left its message since,
 * the mark itself means none did. A failure on another thread in between
 * (the worker's) also replaces the mark, so the check may report a failure
 * that was not the call's, never a success that was a failure. The same
 * works for any call whose result does not show failure.
 *
 * Threads: every function may be called from any thread at any time. The
 * engine serialises access to its tables internally; long work (rendering,
 * reading the clipboard, typing) runs outside that serialisation, so a host
 * thread is never blocked by an expansion being typed.
 *
 * Typing: an expansion is typed once the user has let go of every key (in
 * hotkey mode, the chord). The typing waits up to about a second for that,
 * then releases what is still held; it never presses a key for the user,
 * so no modifier is left down afterwards. (Keys mode holds the user's keys
 * instead: see te_start.) A text this desktop cannot type (on X11, a
 * character the keyboard layout lacks when no spare keycode is left to
 * lend it) fails with nothing typed and the message "SendInput failed". On
 * Windows, a program in front that runs at a higher integrity level than
 * the host (an elevated one) would drop the keystrokes unseen: the
 * expansion fails with nothing typed, is not counted, and the message is
 * "the program in front runs at a higher integrity level: typed keys
 * cannot reach it".
 *
 * Desktop: on Linux the library serves one desktop, chosen the first time
 * a call needs it and kept for the life of the process: the one the
 * environment variable TE_DESKTOP names ("x11", "wayland" or "none") when
 * it is set; else Wayland when WAYLAND_DISPLAY is set and its compositor
 * answers; else X11 when DISPLAY is set (X11 serves the programs under
 * Xwayland too); else "none", which has no clipboard, no program in front
 * and nothing to type into. te_start fails with a message saying what is
 * missing when the desktop cannot serve the mode (a Wayland compositor
 * without the virtual keyboard and data control protocols; a desktop
 * TE_DESKTOP names that this build lacks). A host that shows which desktop
 * it serves sets TE_DESKTOP itself before its first call (the `te` host
 * and the manager window do). Windows has one desktop.
 *
 * Linking: hosts of the shared library include this header as it is; a
 * program that links the engine statically defines TE_STATIC first.
 */
#ifndef VELMORA_TEXTEXPANDER_H
#define VELMORA_TEXTEXPANDER_H

#if defined(TE_STATIC)
#  define TE_API
#elif defined(_WIN32)
#  if defined(TE_BUILDING_LIBRARY)
#    define TE_API __declspec(dllexport)
#  else
#    define TE_API __declspec(dllimport)
#  endif
#elif defined(TE_BUILDING_LIBRARY)
#  define TE_API __attribute__((visibility("default")))
#else
#  define TE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Run control ------------------------------------------------------- */

/* Applies a JSON configuration object (may be null or empty) and starts the
 * background worker. Members: "mode" ("clipboard", "hotkey" or "keys";
 * anything else is clipboard), "hotkey" (chord such as "CTRL+SHIFT+E"),
 * "poll_ms" (integer, at least 20), "dry_run" (boolean), "synthetic_keys"
 * (boolean, false at first), "store" (path of the snippet store file, read
 * at once). A member of another type is left out; settings stay as set
 * for later starts. The settings for all snippets are strict: a member of
 * another type, or an unknown locale, refuses the start with a message
 * ("propagate_case must be true or false", "unknown locale: xx_YY"):
 *   - "propagate_case" (false at first): a trigger typed with a first
 *     capital ("Btw" for "btw") gives its text with a first capital, typed
 *     in capitals ("BTW") gives it in capitals, letters of every script
 *     with case; a trigger without letters is not affected. Any mode.
 *   - "word_triggers" (false at first), keys mode: a trigger expands only
 *     once a word separator follows it (a space, punctuation, Enter, Tab),
 *     and the separator is typed after the text as the user typed it: "btw "
 *     expands, "btwixt" does not. Otherwise it expands at its last character.
 *   - "undo_backspace" (true at first), keys mode: a BackSpace pressed as the
 *     very next key after an expansion takes it back: the text is erased and
 *     the trigger (and its separator) as typed returns, and does not expand
 *     again. Not after another key, a click or another program in front, nor
 *     after an expansion with nothing before its {cursor}.
 *   - "locale": month and day names of {date:...} and {time:...}, e.g.
 *     "de_DE" or "de-DE"; "" (at first) the user's (LC_ALL, LC_TIME, LANG on
 *     POSIX; the user's locale on Windows; English when none is known).
 *   - "skip_own_windows" (false at first): while a window of the host's
 *     own process is in front (its main window, a dialog, a picker), the
 *     worker expands nothing there, in any mode, whatever the rules say,
 *     and counts nothing; te_watch_pass does the same. A host with windows
 *     of its own sets it, so a trigger typed into its fields stays as
 *     typed. On X11 and Windows the window's process tells it; a Wayland
 *     compositor names no process, so there the activated window's app_id
 *     must equal the host's executable name, ignoring case (a Qt host
 *     names it with QGuiApplication::setDesktopFileName; on KDE Plasma
 *     the active window's class, which is that app_id). GNOME names no
 *     window in front to other programs: there it cannot be told, and the
 *     host's windows are treated as any other.
 * A snippet may have its own "propagate_case", "word_triggers" and
 * "locale" (see te_snippet_add). Returns 1 when the worker started, 0 on
 * failure (already running, bad configuration, keys mode on a desktop that
 * cannot watch the keyboard: "keys mode: this desktop cannot watch the
 * keyboard"; a display that refuses the connection is tried again for
 * about two seconds first), with nothing of the configuration applied.
 * Keys mode expands a trigger the moment its last character is typed, in
 * any program: the trigger is erased with one BackSpace per character and
 * the snippet typed in its place; rules, "apps" lists, dry_run and the
 * statistics work as in the other modes.
 *   - What the user goes on typing meanwhile lands after the expansion, in
 *     the order typed: from the moment the expansion is decided until it
 *     is typed, the user's keys are held back from the window and then
 *     given to it (for at most about a second: a longer typing gets the
 *     keys typed after that second among its characters). On Wayland the
 *     keys cannot be held back: the expansion waits until no key is down
 *     (at most about a second) and is then typed at once, so only a key
 *     pressed during that typing (a few milliseconds) can land among its
 *     characters. Characters that
 *     reached the window before the hold took effect are erased with the
 *     trigger and typed again after the expansion. A key among those that
 *     moves the caret or the focus (Enter, Tab, Escape, the arrows,
 *     Home/End/PageUp/PageDown, a click, a shortcut with Ctrl, Alt or
 *     Super), or a BackSpace reaching into the trigger, calls that
 *     expansion off: nothing is erased or typed.
 *   - While another program holds the keyboard (on X11 a keyboard grab: a
 *     password prompt, a screen locker), nothing is watched (what was typed
 *     is wiped) and nothing is typed or counted.
 *   - Only the user's own keyboards and mice are watched: what other
 *     programs inject (XTest on X11, input flagged as injected on Windows,
 *     virtual input devices and virtual keyboards on Wayland: a password
 *     manager's auto-type, xdotool, te_expand in another process) is left
 *     out, so an auto-typed password that contains a trigger is never
 *     changed. "synthetic_keys": true watches injected keys too, for
 *     on-screen keyboards, remote desktops and tests; those are never held
 *     back on X11 (the engine types through the same XTest device). On
 *     Wayland that takes in virtual input devices (uinput); keys typed
 *     through a compositor's virtual keyboard never reach the engine.
 * Privacy: what the user types is kept only in the worker's memory, never
 * more of it than the longest trigger and the keys typed during one
 * expansion (and, until the next key, the trigger and separator of the last
 * expansion, for "undo_backspace"), and is wiped when the worker stops; it is never logged,
 * stored, or returned by any function here.
 * In clipboard mode the worker looks at the clipboard as soon as the
 * desktop reports a change (X11 with XFixes, Windows); "poll_ms" then only
 * bounds each wait. Without such reports, and in hotkey mode, it polls
 * every "poll_ms" milliseconds.
 * Choosing a store: "worker": false applies the configuration and starts
 * nothing; the desktop is not touched, so it works on any desktop or none.
 * It returns 1 when applied (0 when already running or the configuration
 * is refused). A host that works on a store other than the default one
 * names it this way before any other call; a configuration without
 * "worker" (or with true) starts the worker as above.
 * The store at first use: when the first call of the process is te_start
 * and its configuration names a "store", that store is the one read (even
 * if the start then fails); the default store is never read. A later
 * te_start that names another store reads it at once: its snippets replace
 * the table; a store with none (or missing) leaves the table as it was. */
TE_API int te_start(const char* config_json);

/* Stops the worker, waking it from its wait, and waits for it to finish its
 * current pass. Always 1.
 * Safe to call when not running and from several threads at once. */
TE_API int te_stop(void);

/* 1 while the worker runs, else 0. */
TE_API int te_status(void);

/* ---- Expansion ---------------------------------------------------------- */

/* When `text` ends with `trigger` (trailing spaces, tabs and line breaks
 * ignored) and the byte before the trigger is not a letter, digit or
 * underscore: a pointer into `text` at the trigger's first byte, valid as
 * long as `text` is. Otherwise null. Sets no error. */
TE_API const char* te_match_trailing_trigger(const char* text, const char* trigger);

/* Finds the first snippet whose trigger ends `text` and that the rules and
 * its "apps" list allow for `process` (an executable name such as
 * "NOTEPAD.EXE"; null skips rules and apps lists), renders it and types it.
 * Returns 1 expanded, 0 nothing to expand, -1 failed. */
TE_API int te_watch_pass_text(const char* text, const char* process);

/* te_watch_pass_text on the clipboard text and the program in front. */
TE_API int te_watch_pass(void);

/* Renders and types the snippet with this exact trigger, ignoring rules and
 * apps lists. Returns 1 expanded, 0 failed. */
TE_API int te_expand(const char* trigger);

/* The snippet with this exact trigger, expanded in the program in front as
 * if the user had typed its trigger there: what a host's snippet picker
 * calls once the program the user was in has the focus again. The rules
 * for that program and the snippet's "apps" list apply as in a watch pass
 * (te_watch_pass_text with that program's name); it is rendered, typed
 * with the caret put back at its {cursor}, and recorded with that program
 * as "last_app". Unlike a watch pass it never chooses another snippet whose
 * trigger ends this one. A program in front that cannot be told leaves the
 * rules and "apps" lists aside, as in te_watch_pass.
 * Returns 1 expanded; 0 not in that program, nothing typed, with the
 * message "snippets are blocked in %s", "%s is not for %s" (the trigger,
 * the program) or "triggers in %s begin with %s"; -1 failed: "expand: null
 * trigger", "no such trigger: %s", or the typing refused as in te_expand.
 * This is the 22nd export; the other 21 behave as they always did. */
TE_API int te_expand_in_front(const char* trigger);

/* Renders a template: {date} YYYY-MM-DD, {time} HH:MM:SS, {year} YYYY,
 * {clipboard} the clipboard text, {random6} six digits, and:
 *   {cursor}         where the caret goes: once the text is typed, the caret
 *                    is moved back there with Left presses (one per
 *                    character as text fields count them, line breaks
 *                    included). Renders to nothing; only the first counts,
 *                    a later one is text.
 *   {date:FORMAT}    the local date and time with strftime's conversions:
 *   {time:FORMAT}    %A %a %B %b (%OB: a month's name standing alone) %d %e
 *                    %m %Y %y %H %I %M %S %p %P %j %u %w %U %W %V %G %F %T
 *                    %R %D %%...; '-' drops the padding (%-d), '_' pads
 *                    with spaces, '^' writes capitals. Names in the locale
 *                    of te_start (or of the snippet).
 *   {date+14d} {date-1w:FORMAT}  the date moved by days, weeks, months (m)
 *                    or years (y): the end of a shorter month clamps
 *                    (31 January + 1m is 28 or 29 February).
 *   {time+90m} {time-2h:FORMAT}  the time moved by minutes or hours.
 *   {snippet:TRIGGER}  the rendered text of that snippet. One that is being
 *                    rendered (a cycle), more than 4 levels deep, or beyond
 *                    256 KiB of such snippets' text in one rendering is
 *                    written as it stands; rules and "apps" lists apply to
 *                    the outer snippet only.
 * Every other text between braces, these spellings with other letter case
 * or spacing ({Date}, {date }, {dates}, {}, {random66}, {clipboardx}, an
 * empty FORMAT) included, is copied unchanged. Result in the calling
 * thread's result buffer (at most 69631 bytes, cut at a character
 * boundary), or null for a null template. */
TE_API const char* te_render(const char* tmpl);

/* ---- Snippets ------------------------------------------------------------ */

/* The store file. The table is kept in one JSON file (the "store" path of
 * te_start, else Wrenfold/snippets.json in the user's application-data
 * folder), which several processes (a host and the te tool, say) may use
 * at once:
 *   - Every edit (add, update, delete, import) first re-reads the file when
 *     another process replaced it since this one last read or wrote it,
 *     then applies the change to what was read and rewrites the file whole.
 *     Writers in other processes are kept out for that time by a lock on
 *     "<store>.lock" (beside the file a symbolic link finally names, so
 *     every name of one store shares the lock); an edit that cannot have it within about 3 seconds
 *     fails with "store is locked by another process: <store>", and one
 *     whose lock file cannot be opened or locked at all (a folder in its
 *     place, no permission) fails with "cannot lock <store>.lock: <reason>";
 *     neither changes anything. That wait holds up only the edit itself:
 *     other calls and the worker go on.
 *     te_snippet_count, te_snippets_json, te_snippet_json and the worker
 *     (before each watch pass) re-read a file another process replaced.
 *     A re-read is a first use again: the table becomes the file's
 *     snippets, or the three seed snippets when it holds none or is gone;
 *     a file that does not parse leaves the table as it was.
 *   - The file is written through a temporary file of the write's own in
 *     the same folder, flushed to disk and put in place in one atomic step
 *     (the folder is synced after it on POSIX; when that fails the edit
 *     returns 0 with "sync failed: <store>", the new file in place), so any
 *     reader sees the old table or the new one, whole. The store, its
 *     temporary files and its backup are readable and writable by their
 *     user alone (mode 0600 on POSIX), and so is a folder made for it. On
 *     POSIX a store that is a symbolic link (into a dotfiles repository,
 *     say) is followed: the temporary file goes beside the file the link
 *     finally names and replaces that file, so the link stays.
 *   - A file that was read but could not be taken whole (it does not
 *     parse, or holds refused elements or more than 4096 snippets) is
 *     kept as "<store>.bak" by the first write that replaces it.
 *   - A file that is there but cannot be opened or read (too many open
 *     files, no permission, a sharing violation, an I/O error) is never
 *     written over: the table shows the seeds (at first use) or what it
 *     held, and every edit fails with "cannot read <store>: changes are
 *     refused until it can be read" until a read succeeds. Only a missing
 *     file or folder means "no snippets yet".
 * An edit that fails before its change is applied (bad arguments, the lock,
 * an unreadable file) changes nothing in memory. A change whose write fails
 * afterwards stays in memory, and the next successful write stores it,
 * unless another process replaces the file first (the re-read wins). */

/* Number of snippets in the table, re-read first when another process
 * changed the store file. */
TE_API int te_snippet_count(void);

/* Field "trigger", "text", "folder" or "apps" of snippet `index`: a pointer
 * into the snippet table itself, valid until the next change of the table
 * (an add, update, delete, import, a start that switches the store, or a
 * re-read of a store another process changed, which te_snippet_count,
 * te_snippets_json, te_snippet_json and every edit may do, and so may the
 * running worker before a watch pass). This call itself never re-reads:
 * a loop over the fields after one te_snippet_count sees one table as long
 * as nothing else runs meanwhile. Null on failure. */
TE_API const char* te_snippet_field(int index, const char* field);

/* Adds one snippet given as a JSON object {"trigger","text","folder","apps"}
 * and rewrites the store file. 1 added and stored, 0 failed (see the store
 * file above for what failures leave behind).
 * A snippet's own settings: an optional member "settings", an object with
 * "propagate_case" and "word_triggers" (true or false: this snippet's
 * answer to te_start's setting of that name) and "locale" (its names of
 * months and days). A setting left out follows te_start's. The store and
 * the JSON texts hold the member after "apps", with the settings given in
 * this order, and only for a snippet that has some: a store without them
 * is byte for byte what it was before settings existed, and a library that
 * knows none still reads a store with them (it passes the member over, and
 * drops it when it writes the snippet again). An edit or an import refuses
 * an unknown setting or value with a message ("unknown snippet setting:
 * %s", "snippet setting 'word_triggers' must be true or false", "unknown
 * locale: %s"); reading the store file passes them over, so a store a newer
 * library wrote still loads. */
TE_API int te_snippet_add(const char* json);

/* Replaces the snippet with `trigger` (may rename it) and rewrites the
 * store. 1 replaced and stored, 0 failed.
 * Only if unchanged: `json` may carry "if_unchanged", a snippet object
 * holding the snippet as the host last saw it (te_snippet_json's text, say).
 * The update is then made only when the snippet stored under `trigger` has
 * exactly those four fields (missing members counting as their defaults),
 * compared after the store file was read again, under the store's lock, so
 * no other process can change it between the comparison and the write.
 * Otherwise it fails with "snippet changed meanwhile: <trigger>" and
 * changes nothing (a snippet deleted meanwhile: "no such trigger: ...").
 * "if_unchanged" that is not a valid snippet object fails with
 * "update: \"if_unchanged\" must be a snippet object". Without the member
 * the update is made whatever the snippet holds. */
TE_API int te_snippet_update(const char* trigger, const char* json);

/* Removes the snippet with `trigger` and rewrites the store. 1 removed and
 * stored, 0 failed. */
TE_API int te_snippet_delete(const char* trigger);

/* One snippet as a compact JSON object, in the calling thread's result
 * buffer, or null. Re-reads a store another process changed first. */
TE_API const char* te_snippet_json(const char* trigger);

/* The whole table as {"snippets":[...]}, byte for byte the store file's
 * form, in the calling thread's result buffer, or null. Re-reads a store
 * another process changed first. */
TE_API const char* te_snippets_json(void);

/* Merges a JSON array of snippet objects: existing triggers are replaced,
 * new ones appended. Writes the store once. Returns the number of snippets
 * added (0 also on failure: see te_last_error, and "Telling a failure from
 * "nothing"" above). A refused element is skipped and its message left;
 * the rest is merged. */
TE_API int te_snippet_import(const char* json);

/* ---- Rules ---------------------------------------------------------------- */

/* Adds or replaces the rule for a program name (case-insensitive), with
 * settings {"allow": bool, "prefix": string}; null settings mean "{}".
 * 1 set, 0 failed. */
TE_API int te_rule_set(const char* process, const char* json);

/* The rules as a JSON array [{"process","allow","prefix"}...], in the
 * calling thread's result buffer, or null. */
TE_API const char* te_rules_json(void);

/* ---- Statistics ----------------------------------------------------------- */

/* {"expanded","today","last_trigger","last_app","running","snippets"} in
 * the calling thread's result buffer, or null. */
TE_API const char* te_stats_json(void);

/* The rendered text of the most recent expansion ("" before the first), in
 * the calling thread's result buffer. Never null. */
TE_API const char* te_last_expanded(void);

/* ---- Errors --------------------------------------------------------------- */

/* The message of the most recent failure on any thread ("" if none), as it
 * stood at this call. The pointer is to a buffer of the calling thread,
 * valid until that thread calls te_last_error again; a failure on another
 * thread never changes it under the caller. Never null. */
TE_API const char* te_last_error(void);

#ifdef __cplusplus
}
#endif

#endif /* VELMORA_TEXTEXPANDER_H */
