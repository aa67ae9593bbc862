// What every fuzz target shares: a private folder for the store, a table
// reset between inputs, and checks that stop the run on a broken property.
#ifndef TE_FUZZ_ENV_H
#define TE_FUZZ_ENV_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace te_fuzz {

// Run once before the first input (LLVMFuzzerInitialize does it).
// Creates the run's folder (under $TE_FUZZ_DIR, else /dev/shm, so store
// writes never reach the disk), points APPDATA at it, applies the first-use
// defaults and removes the folder at exit.
void setup();

// The folder setup() made.
const std::string& run_dir();

// The input as NUL-terminated text (cut at its first NUL byte, if any).
std::string text(const std::uint8_t* data, std::size_t size);

// The input split at NUL bytes into exactly `parts` texts; missing parts
// are empty and the last part keeps any further NUL-separated pieces cut.
std::vector<std::string> split(const std::uint8_t* data, std::size_t size, std::size_t parts);

// Back to the three seed snippets and no rules, in memory only.
void reset_tables();

// Ends the run with a message when `ok` is false.
void check(bool ok, const char* what);

// The file's content, or "" when it cannot be read.
std::string read_file(const std::string& path);

// The store file's content must be te_snippets_json() byte for byte.
void check_store_follows_table();

// Every trigger in the table is different from every other.
void check_triggers_unique();

}  // namespace te_fuzz

#endif
