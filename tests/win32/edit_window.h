// A real top-level window holding one multi-line EDIT control, brought to
// the front with the keyboard focus in the EDIT, so that typed keystrokes
// land there exactly as they would in a user's text field.
#ifndef TE_WIN32_TEST_EDIT_WINDOW_H
#define TE_WIN32_TEST_EDIT_WINDOW_H

#include <string>
#include <windows.h>

class te_edit_window {
public:
    te_edit_window();
    ~te_edit_window();
    te_edit_window(const te_edit_window&) = delete;
    te_edit_window& operator=(const te_edit_window&) = delete;

    // True once the window is in front and the EDIT has the focus.
    bool ready() const;
    HWND top() const { return top_; }

    // Pumps this thread's messages until the EDIT holds at least
    // `expected_units` UTF-16 units and nothing more arrives, or a few
    // seconds have passed, and returns its text.
    std::wstring text_after_typing(size_t expected_units);
    std::wstring text() const;
    void clear();

private:
    HWND top_ = nullptr;
    HWND edit_ = nullptr;
};

// Dispatches every message waiting in this thread's queue, translating key
// messages into WM_CHAR as a normal message loop does.
void te_pump_messages(void);

// Pumps messages for about `ms` milliseconds.
void te_pump_for(DWORD ms);

// Presses or releases the key with this virtual-key code through SendInput
// and waits until GetAsyncKeyState shows it.
void te_send_key(int vk, bool down);

// Presses the key that types `c` on the current layout, with Shift when the
// layout needs it, as a person would (no Unicode keystrokes).
void te_press_char(wchar_t c);

// UTF-16 to UTF-8 and back, for assertions.
std::string te_utf8(const std::wstring& wide);
std::wstring te_wide(const std::string& utf8);

#endif
