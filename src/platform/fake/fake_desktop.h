// The in-process desktop the tests drive. Linked into test executables in
// place of a real backend; every setter is safe from any thread.
#ifndef TE_FAKE_DESKTOP_H
#define TE_FAKE_DESKTOP_H

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace fake {

// Back to an empty desktop: no clipboard, no program in front, no keys,
// injection working, real clock, empty keystroke log.
void reset();

void set_clipboard_text(const std::string& utf8);
void set_clipboard_none();       // nothing on the clipboard
void set_clipboard_non_text();   // a picture: no text format
int clipboard_reads();           // how many clipboard reads were made
int clipboard_sequence_queries();  // how many times a poller asked for a change

void set_foreground(const std::string& exe_name);  // e.g. "notepad.exe"
// The program in front is the test process itself (a window of the host's
// own), or not (at first).
void set_foreground_own(bool own);
void set_no_foreground();

void set_key(int vk, bool down);

// Batch number `n` (1-based) of every later typing call is refused; 0 turns
// the failure off.
void fail_injection_at_batch(int n);
// Called before each batch is accepted, with the batch's UTF-16 units.
void on_batch(std::function<void(const std::vector<std::uint16_t>&)> hook);

// Every accepted batch, in order, as UTF-16 units.
std::vector<std::vector<std::uint16_t>> batches();
// Everything typed since the last reset, as UTF-8.
std::string typed_text();
int type_calls();

// Erasures: how many characters type_replacing was asked to erase, in
// all, since the last reset (dry runs and calls with no window excluded).
int erased();

// The key watch. It is there unless taken away (a desktop that cannot
// watch the keyboard). press() queues one event per character of `keys`:
// '\b' is BackSpace, '\n' a reset that types nothing (a click, an arrow),
// '\r' Enter and '\t' Tab (resets that type a line break and a tab),
// anything else the UTF-8 of one typed character.
void set_key_watch(bool available);
// The TE_WATCH_* bits the last watch_open asked for.
int watch_asked();
void press(const std::string& keys);

// The window in front, as far as keys reach it: the characters pressed
// (BackSpace erases one, a reset types nothing) and what the engine types,
// in the order they arrive.
std::string window_text();
// The same with a '|' where the caret is (the engine's Left presses move
// it back by one character each, Delete removes the character after it).
std::string window_with_caret();
// What keys_hold_begin answers (TE_HOLD_ON unless set): while a hold is
// on, pressed keys wait and reach the window and the key watch only when
// it ends.
void set_hold_result(int result);

// A fixed clock; set_real_clock() goes back to the system's.
void set_local_time(const std::tm& t);
void set_millis(std::uint64_t ms);
void set_real_clock();

}  // namespace fake

#endif
