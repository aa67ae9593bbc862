// Helpers for the benchmarks: a private store folder and snippet texts.
#ifndef TE_BENCH_SUPPORT_H
#define TE_BENCH_SUPPORT_H

#include <string>

namespace te_bench {

// A fresh folder for the store, made APPDATA for this process.
std::string use_private_appdata();
// A JSON array of `n` snippet objects with triggers "<prefix>0".. and
// texts of `text_len` bytes.
std::string snippet_array(int n, const std::string& prefix, int text_len);
// Empties the engine's table (first use applied).
void clear_table();
// Resident memory of this process in bytes.
long resident_bytes();

}  // namespace te_bench

#endif
