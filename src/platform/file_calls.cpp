// The file calls in force: the backend's own, or a table a test put in
// (files_seam.h).
#include <atomic>

#include "files_seam.h"

namespace {

std::atomic<const te_file_calls*> te_swapped_calls{nullptr};

}  // namespace

const te_file_calls& te_files(void) {
    const te_file_calls* calls = te_swapped_calls.load(std::memory_order_acquire);
    return calls ? *calls : te_files_system();
}

const te_file_calls* te_files_swap(const te_file_calls* calls) {
    return te_swapped_calls.exchange(calls, std::memory_order_acq_rel);
}
