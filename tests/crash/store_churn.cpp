// The process the crash-safety test kills: applies the change script of the
// seed given as its argument as fast as it can, for ever, against the store
// under $APPDATA. After every call that returned 1 it writes that call's
// step number (4 bytes) to standard output, which is a pipe to the test.
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

#include "change_script.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    change_script script(std::strtoull(argv[1], nullptr, 10));
    for (std::uint32_t step = 1;; step++) {
        if (!script.apply_next()) continue;
        if (write(1, &step, sizeof step) != (ssize_t)sizeof step) return 1;
    }
}
