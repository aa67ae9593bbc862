// The module this code is linked into: the library's DLL, or the program
// itself when the library is linked in statically.
#ifndef TE_WIN32_OWN_MODULE_H
#define TE_WIN32_OWN_MODULE_H

#include <windows.h>

// Found by the address of a function of ours; the module's reference count
// is left as it is.
HMODULE te_own_module(void);

#endif
