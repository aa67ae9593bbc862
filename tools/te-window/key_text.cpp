#include "key_text.h"

#include "utf8_codec.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

// Code point of a Latin-1 or Unicode keysym, 0 for any other.
unsigned long te_keysym_code_point(KeySym ks) {
    if ((ks >= 0x20 && ks <= 0x7E) || (ks >= 0xA0 && ks <= 0xFF)) return ks;
    if (ks >= 0x1000100 && ks <= 0x110FFFF) return ks - 0x1000000;
    return 0;
}

bool te_is_control(const char* s, int n) {
    unsigned char c = (unsigned char)s[0];
    return n == 1 && (c < 0x20 || c == 0x7F);
}

}  // namespace

std::string te_key_text(XIC ic, XKeyEvent* ev) {
    char buf[64];
    KeySym ks = NoSymbol;
    Status status = XLookupNone;
    int n = 0;
    if (ic) n = Xutf8LookupString(ic, ev, buf, sizeof buf, &ks, &status);
    else n = XLookupString(ev, buf, sizeof buf, &ks, nullptr);
    if (ks == XK_Return || ks == XK_KP_Enter) return "\n";
    if (ks == XK_Tab) return "\t";
    if (ks == XK_BackSpace) return "\b";
    bool chars = ic && (status == XLookupChars || status == XLookupBoth) && n > 0;
    if (chars) return te_is_control(buf, n) ? std::string() : std::string(buf, (size_t)n);
    std::string out;
    unsigned long cp = te_keysym_code_point(ks);
    if (cp) te_utf8_append(out, (std::uint32_t)cp);
    return out;
}
