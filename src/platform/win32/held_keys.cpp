#include "held_keys.h"

#include "key_hook.h"
#include "key_release.h"
#include "platform.h"
#include "win32_desktop.h"

namespace {

// VK_BACK: the codes below it are the mouse buttons and VK_CANCEL.
const int TE_FIRST_KEY_VK = 0x08;
const int TE_LAST_KEY_VK = 0xFE;
const int TE_KEY_VK_COUNT = TE_LAST_KEY_VK - TE_FIRST_KEY_VK + 1;

int te_any_key_held(void* ctx) {
    (void)ctx;
    for (int vk = TE_FIRST_KEY_VK; vk <= TE_LAST_KEY_VK; vk++)
        if (te_win32_key_is_down(vk)) return 1;
    return 0;
}

}  // namespace

void te_let_go_of_keys(te_send_input_fn send_input) {
    if (te_key_hook_let_go_in_hold()) return;
    if (te_wait_keys_released(te_any_key_held, nullptr)) return;
    INPUT ups[TE_KEY_VK_COUNT] = {};
    UINT n = 0;
    for (int vk = TE_FIRST_KEY_VK; vk <= TE_LAST_KEY_VK; vk++) {
        if (!te_win32_key_is_down(vk)) continue;
        ups[n].type = INPUT_KEYBOARD;
        ups[n].ki.wVk = (WORD)vk;
        ups[n].ki.dwFlags = KEYEVENTF_KEYUP;
        ups[n].ki.dwExtraInfo = (ULONG_PTR)GetMessageExtraInfo();
        n++;
    }
    if (n) send_input(n, ups, (int)sizeof(INPUT));
}
