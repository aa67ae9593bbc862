// A copying program for the benchmarks, inside the benchmark itself: the
// code that serves the user's clipboard after a paste (a remote desktop
// session on GNOME, data control on KDE), on a connection and thread of
// its own.
#ifndef TE_BENCH_COPIER_H
#define TE_BENCH_COPIER_H

#include <string>

// Owns the clipboard with the text `text` until another copy takes it;
// the moment it was set, -1 when it could not be within five seconds.
long long te_bench_copy(const std::string& text);

#endif
