// Windows: no background instance lock yet. Every call reports that
// nothing runs, and taking the lock fails with a message saying so.
#include "instance.h"

namespace {
const char* const TE_UNSUPPORTED = "running in the background is not supported on this system";
}

bool te_instance_lock::acquire(const std::string&, std::string* error) {
    if (error) *error = TE_UNSUPPORTED;
    return false;
}

void te_instance_lock::publish(const te_instance_info&) {}

void te_instance_lock::release() {}

te_instance_lock::~te_instance_lock() {}

bool te_instance_query(const std::string&, te_instance_info*) { return false; }

int te_instance_stop(const std::string&, int, std::string*) { return 0; }
