// The status file's JSON form (see instance.h), shared by the writer and
// the readers.
#ifndef TE_TOOLS_INSTANCE_STATUS_H
#define TE_TOOLS_INSTANCE_STATUS_H

#include <string>

#include "instance.h"

std::string te_instance_status_json(const te_instance_info& info);
// Fills *out from the members present; false when `text` is not a JSON
// object.
bool te_instance_status_parse(const std::string& text, te_instance_info* out);

// What a host that finds the lock taken is told: "te is already running
// (pid 42, te run)", or which lock file is taken when the holder is not
// known yet.
std::string te_instance_refusal(const std::string& lock_path, const te_instance_info& holder);

#endif
