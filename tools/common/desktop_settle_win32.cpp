#include "desktop_settle.h"

// The DLL has one desktop.
std::string te_desktop_settle(const std::string&) { return "win32"; }

std::string te_desktop_chosen(void) { return "win32"; }
