#include "vk_keysyms.h"

#include <xkbcommon/xkbcommon-keysyms.h>

namespace {

struct te_vk_keysyms {
    int vk;
    std::uint32_t syms[TE_VK_MAX_KEYSYMS];
};

const te_vk_keysyms te_named_keys[] = {
    {16, {XKB_KEY_Shift_L, XKB_KEY_Shift_R}},
    {17, {XKB_KEY_Control_L, XKB_KEY_Control_R}},
    {18, {XKB_KEY_Alt_L, XKB_KEY_Alt_R, XKB_KEY_Meta_L, XKB_KEY_Meta_R}},
    {91, {XKB_KEY_Super_L}},
    {92, {XKB_KEY_Super_R}},
    {32, {XKB_KEY_space}},
    {9, {XKB_KEY_Tab, XKB_KEY_ISO_Left_Tab}},
    {13, {XKB_KEY_Return, XKB_KEY_KP_Enter}},
    {27, {XKB_KEY_Escape}},
    {8, {XKB_KEY_BackSpace}},
    {45, {XKB_KEY_Insert}},
    {46, {XKB_KEY_Delete}},
    {36, {XKB_KEY_Home}},
    {35, {XKB_KEY_End}},
    {33, {XKB_KEY_Prior}},
    {34, {XKB_KEY_Next}},
    {37, {XKB_KEY_Left}},
    {38, {XKB_KEY_Up}},
    {39, {XKB_KEY_Right}},
    {40, {XKB_KEY_Down}},
    {188, {XKB_KEY_comma}},
    {190, {XKB_KEY_period}},
};

}  // namespace

int te_vk_to_keysyms(int vk, std::uint32_t out[TE_VK_MAX_KEYSYMS]) {
    if (vk >= 'A' && vk <= 'Z') {
        out[0] = XKB_KEY_a + (std::uint32_t)(vk - 'A');
        out[1] = XKB_KEY_A + (std::uint32_t)(vk - 'A');
        return 2;
    }
    if (vk >= '0' && vk <= '9') {
        out[0] = XKB_KEY_0 + (std::uint32_t)(vk - '0');
        return 1;
    }
    if (vk >= 112 && vk <= 123) {
        out[0] = XKB_KEY_F1 + (std::uint32_t)(vk - 112);
        return 1;
    }
    for (const te_vk_keysyms& k : te_named_keys) {
        if (k.vk != vk) continue;
        int n = 0;
        while (n < TE_VK_MAX_KEYSYMS && k.syms[n] != 0) n++;
        for (int i = 0; i < n; i++) out[i] = k.syms[i];
        return n;
    }
    return 0;
}
