#include "ascii_case.h"

namespace {

int te_upper_byte(int c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

}  // namespace

void te_ascii_upper(char* s) {
    for (; *s; s++) *s = (char)te_upper_byte((unsigned char)*s);
}

int te_ascii_casecmp(const char* a, const char* b) {
    for (;; a++, b++) {
        int ca = te_upper_byte((unsigned char)*a), cb = te_upper_byte((unsigned char)*b);
        if (ca != cb || !ca) return ca - cb;
    }
}
