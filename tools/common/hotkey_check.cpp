// The chord check, with the parse the engine itself uses (src/platform).
#include "hotkey_check.h"

#include "hotkey_chord.h"

bool te_hotkey_check(const std::string& chord, std::string* error) {
    te_chord parsed;
    if (te_chord_parse(chord.c_str(), &parsed)) return true;
    const char* example = "a chord such as CTRL+SHIFT+E";
    *error = chord.empty() ? std::string("hotkey mode needs ") + example
                           : "hotkey " + chord + " names no key (" + example + ")";
    return false;
}
