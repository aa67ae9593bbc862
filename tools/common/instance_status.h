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

#endif
