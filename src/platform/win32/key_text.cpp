#include "key_text.h"

#include "platform.h"
#include "win32_desktop.h"

#include <cwchar>

namespace {

// ToUnicodeEx leaves the keyboard state (and so a pending dead key) as it
// is when this flag is set (Windows 10 1607 and later).
const UINT TE_KEEP_KEYBOARD_STATE = 0x4;

struct te_accent {
    wchar_t spacing;
    wchar_t combining;
};

// Spacing accents that dead keys report, and the combining mark each adds.
const te_accent te_accents[] = {
    {L'`', 0x300},   {0xB4, 0x301},  {L'\'', 0x301}, {L'^', 0x302},  {L'~', 0x303},  {0xAF, 0x304},
    {0x2D8, 0x306},  {0x2D9, 0x307}, {0xA8, 0x308},  {L'"', 0x308},  {0x2DA, 0x30A}, {0xB0, 0x30A},
    {0x2DD, 0x30B},  {0x2C7, 0x30C}, {0xB8, 0x327},  {0x2DB, 0x328},
};

wchar_t te_combining_of(wchar_t accent) {
    for (const te_accent& a : te_accents)
        if (a.spacing == accent) return a.combining;
    return 0;
}

void te_key_state(BYTE state[256]) {
    const int held[] = {VK_SHIFT, VK_LSHIFT, VK_RSHIFT, VK_CONTROL, VK_LCONTROL, VK_RCONTROL, VK_MENU, VK_LMENU,
                        VK_RMENU};
    for (int vk : held) state[vk] = te_win32_key_is_down(vk) ? 0x80 : 0;
    state[VK_CAPITAL] = (GetKeyState(VK_CAPITAL) & 1) ? 0x01 : 0;
}

HKL te_front_layout(void) {
    HWND front = GetForegroundWindow();
    DWORD thread = front ? GetWindowThreadProcessId(front, nullptr) : 0;
    return GetKeyboardLayout(thread);
}

}  // namespace

int te_key_text_of(const KBDLLHOOKSTRUCT& key, wchar_t out[8]) {
    BYTE state[256] = {0};
    te_key_state(state);
    out[0] = 0;
    int n = ToUnicodeEx(key.vkCode, key.scanCode, state, out, 7, TE_KEEP_KEYBOARD_STATE, te_front_layout());
    if (n < 0) {
        out[1] = 0;
        return -1;
    }
    out[n > 0 ? n : 0] = 0;
    return n;
}

void te_key_text_compose(wchar_t accent, const wchar_t* text, wchar_t out[8]) {
    wchar_t combining = te_combining_of(accent);
    if (text[0] == L' ' && !text[1]) {
        out[0] = accent;
        out[1] = 0;
        return;
    }
    if (combining && text[0] && !text[1]) {
        wchar_t pair[3] = {text[0], combining, 0};
        int n = NormalizeString(NormalizationC, pair, 2, out, 7);
        if (n == 1) {
            out[1] = 0;
            return;
        }
    }
    out[0] = accent;
    std::wcsncpy(out + 1, text, 6);
    out[7] = 0;
}
