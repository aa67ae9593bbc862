// A chord text and the keys held (NUL-separated; each byte of the second
// part is a held virtual-key code). A press is reported once, only for a
// chord that parses and whose key and modifiers are all held.
#include <string>
#include <vector>

#include "fake_desktop.h"
#include "fuzz_env.h"
#include "hotkey_chord.h"
#include "platform.h"

using te_fuzz::check;

namespace {

bool modifiers_held(int mods) {
    if ((mods & TE_MOD_CTRL) && !key_is_down(17)) return false;
    if ((mods & TE_MOD_ALT) && !key_is_down(18)) return false;
    if ((mods & TE_MOD_SHIFT) && !key_is_down(16)) return false;
    if ((mods & TE_MOD_WIN) && !key_is_down(91) && !key_is_down(92)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> p = te_fuzz::split(data, size, 2);
    const char* chord = p[0].c_str();
    te_chord c;
    int parsed = te_chord_parse(chord, &c);
    check(c.vk >= 0 && c.vk <= 255 && c.mods >= 0 && c.mods <= 15, "a chord out of range");
    fake::reset();
    check(hotkey_pressed_now(chord) == 0, "a press reported with no key held");
    for (unsigned char k : p[1]) fake::set_key(k, true);
    int first = hotkey_pressed_now(chord);
    int held = parsed && key_is_down(c.vk) && modifiers_held(c.mods);
    check(first == held, "a fresh press reported wrongly");
    check(hotkey_pressed_now(chord) == 0, "one press reported twice");
    return 0;
}
