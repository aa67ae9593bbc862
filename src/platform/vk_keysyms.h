// Which keysyms stand for a Windows virtual-key code of a hotkey chord
// (hotkey_chord.h), for the desktops that tell held keys by their keysyms.
#ifndef TE_VK_KEYSYMS_H
#define TE_VK_KEYSYMS_H

#include <cstdint>

enum { TE_VK_MAX_KEYSYMS = 4 };

// The keysyms that stand for vk into out; returns how many (0: none).
int te_vk_to_keysyms(int vk, std::uint32_t out[TE_VK_MAX_KEYSYMS]);

#endif
