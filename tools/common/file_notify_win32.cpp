// No folder notifications here: the caller looks now and then.
#include "file_notify.h"

te_file_notify::te_file_notify(const std::string& path) { (void)path; }

te_file_notify::~te_file_notify() {}

void te_file_notify::drain() {}
