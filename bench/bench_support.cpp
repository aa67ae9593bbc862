#include "bench_support.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "engine.h"
#include "textexpander.h"

namespace te_bench {

std::string use_private_appdata() {
    char tmpl[] = "/tmp/te-bench-XXXXXX";
    char* dir = mkdtemp(tmpl);
    setenv("APPDATA", dir, 1);
    return dir;
}

std::string snippet_array(int n, const std::string& prefix, int text_len) {
    std::string text(text_len, 'x');
    std::string out = "[";
    for (int i = 0; i < n; i++) {
        if (i) out += ",";
        out += "{\"trigger\":\"" + prefix + std::to_string(i) + "\",\"text\":\"" + text +
               "\",\"folder\":\"Work\",\"apps\":\"*\"}";
    }
    return out + "]";
}

void clear_table() {
    te_snippet_count();
    te_engine_guard g(te_engine_lock);
    E.snippet_count = 0;
}

long resident_bytes() {
    long pages = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return -1;
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = -1;
    std::fclose(f);
    return resident * sysconf(_SC_PAGESIZE);
}

}  // namespace te_bench
