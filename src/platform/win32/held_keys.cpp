#include "held_keys.h"

#include "key_hook.h"
#include "key_release.h"
#include "platform.h"
#include "win32_desktop.h"

namespace {

const int TE_FIRST_KEY_VK = 0x08;
const int TE_LAST_KEY_VK = 0xFE;

int te_any_key_held(void* ctx) {
    (void)ctx;
    for (int vk = TE_FIRST_KEY_VK; vk <= TE_LAST_KEY_VK; vk++)
        if (te_win32_key_is_down(vk)) return 1;
    return 0;
}

// An either-side code whose side's own code is down: released through it.
bool te_side_is_down(int vk) {
    switch (vk) {
    case VK_SHIFT: return te_win32_key_is_down(VK_LSHIFT) || te_win32_key_is_down(VK_RSHIFT);
    case VK_CONTROL: return te_win32_key_is_down(VK_LCONTROL) || te_win32_key_is_down(VK_RCONTROL);
    case VK_MENU: return te_win32_key_is_down(VK_LMENU) || te_win32_key_is_down(VK_RMENU);
    default: return false;
    }
}

void te_release_of(int vk, ULONG_PTR extra, INPUT* up) {
    WORD scan = 0;
    bool extended = false;
    if (!te_key_hook_sent_as(vk, &scan, &extended)) {
        UINT layout = MapVirtualKeyW((UINT)vk, MAPVK_VK_TO_VSC_EX);
        scan = (WORD)(layout & 0xFF);
        extended = (layout & 0xFF00) != 0;
    }
    *up = INPUT();
    up->type = INPUT_KEYBOARD;
    up->ki.wVk = (WORD)vk;
    up->ki.wScan = scan;
    up->ki.dwFlags = KEYEVENTF_KEYUP | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    up->ki.dwExtraInfo = extra;
}

}  // namespace

int te_releases_of_keys_down(INPUT* ups, ULONG_PTR extra) {
    int n = 0;
    for (int vk = TE_FIRST_KEY_VK; vk <= TE_LAST_KEY_VK; vk++)
        if (te_win32_key_is_down(vk) && !te_side_is_down(vk)) te_release_of(vk, extra, &ups[n++]);
    return n;
}

void te_let_go_of_keys(te_send_input_fn send_input) {
    if (te_key_hook_let_go_in_hold(send_input)) return;
    if (te_wait_keys_released(te_any_key_held, nullptr)) return;
    INPUT ups[TE_KEY_RELEASES_CAP];
    int n = te_releases_of_keys_down(ups, (ULONG_PTR)GetMessageExtraInfo());
    if (n) send_input((UINT)n, ups, (int)sizeof(INPUT));
}
