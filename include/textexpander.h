/*
 * velmora-textexpander: a personal text-expansion engine.
 *
 * The host loads the library and drives it through the 21 functions below.
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
 * Threads: every function may be called from any thread at any time. The
 * engine serialises access to its tables internally; long work (rendering,
 * reading the clipboard, typing) runs outside that serialisation, so a host
 * thread is never blocked by an expansion being typed.
 *
 * Typing: an expansion is typed once the user has let go of every key (in
 * hotkey mode, the chord). The typing waits up to about a second for that,
 * then releases what is still held; it never presses a key for the user,
 * so no modifier is left down afterwards. A text this desktop cannot type
 * (on X11, a character the keyboard layout lacks when no spare keycode is
 * left to lend it) fails with nothing typed and the message
 * "SendInput failed".
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
 * "poll_ms" (integer, at least 20), "dry_run" (boolean), "store" (path of
 * the snippet store file, read at once). Returns 1 when the worker
 * started, 0 on failure (already running, bad configuration, keys mode on
 * a desktop that cannot watch the keyboard: "keys mode: this desktop
 * cannot watch the keyboard"), with nothing of the configuration applied.
 * Keys mode expands a trigger the moment its last character is typed, in
 * any program: the trigger is erased with one BackSpace per character and
 * the snippet typed in its place; rules, "apps" lists, dry_run and the
 * statistics work as in the other modes. Privacy: what the user types is
 * kept only in the worker's memory, never more of it than the longest
 * trigger, and is wiped when the worker stops; it is never logged, stored,
 * or returned by any function here.
 * In clipboard mode the worker looks at the clipboard as soon as the
 * desktop reports a change (X11 with XFixes, Windows); "poll_ms" then only
 * bounds each wait. Without such reports, and in hotkey mode, it polls
 * every "poll_ms" milliseconds. */
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

/* Renders a template: {date} YYYY-MM-DD, {time} HH:MM:SS, {year} YYYY,
 * {clipboard} the clipboard text, {random6} six digits. Result in the
 * calling thread's result buffer (at most 69631 bytes), or null for a null
 * template. */
TE_API const char* te_render(const char* tmpl);

/* ---- Snippets ------------------------------------------------------------ */

/* Number of snippets in the table. */
TE_API int te_snippet_count(void);

/* Field "trigger", "text", "folder" or "apps" of snippet `index`: a pointer
 * into the snippet table itself, valid until the next change of the table
 * (an add, update, delete, import, or a start that switches the store).
 * Null on failure. */
TE_API const char* te_snippet_field(int index, const char* field);

/* Adds one snippet given as a JSON object {"trigger","text","folder","apps"}
 * and rewrites the store file. 1 added and stored, 0 failed (a change whose
 * store write failed stays in memory). */
TE_API int te_snippet_add(const char* json);

/* Replaces the snippet with `trigger` (may rename it) and rewrites the
 * store. 1 replaced and stored, 0 failed. */
TE_API int te_snippet_update(const char* trigger, const char* json);

/* Removes the snippet with `trigger` and rewrites the store. 1 removed and
 * stored, 0 failed. */
TE_API int te_snippet_delete(const char* trigger);

/* One snippet as a compact JSON object, in the calling thread's result
 * buffer, or null. */
TE_API const char* te_snippet_json(const char* trigger);

/* The whole table as {"snippets":[...]}, byte for byte the store file's
 * form, in the calling thread's result buffer, or null. */
TE_API const char* te_snippets_json(void);

/* Merges a JSON array of snippet objects: existing triggers are replaced,
 * new ones appended. Writes the store once. Returns the number of snippets
 * added (0 also on failure: see te_last_error). */
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
