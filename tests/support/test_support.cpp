#include "test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace te_test {

scoped_dir::scoped_dir(const char* tag) {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && base[0] ? base : "/tmp") + "/te-" + tag + "-XXXXXX";
    char* p = mkdtemp(&tmpl[0]);
    path_ = p ? p : "";
}

scoped_dir::~scoped_dir() {
    if (path_.empty()) return;
    std::string cmd = "rm -rf '" + path_ + "'";
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", path_.c_str());
}

std::string store_path() { return std::string(std::getenv("APPDATA")) + "/Wrenfold/snippets.json"; }

std::string temp_path(const std::string& target, int n) {
    return target + "." + std::to_string(getpid()) + "-" + std::to_string(n) + ".tmp";
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool file_exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

void write_file(const std::string& path, const std::string& data) {
    std::string dir = path.substr(0, path.rfind('/'));
    std::string cmd = "mkdir -p '" + dir + "'";
    if (std::system(cmd.c_str()) != 0) return;
    std::ofstream out(path, std::ios::binary);
    out << data;
}

std::string json_escape(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += (char)c;
        }
    }
    return out;
}

std::string snippet(const std::string& trigger, const std::string& text, const std::string& folder,
                    const char* apps) {
    std::string s = "{\"trigger\":\"" + json_escape(trigger) + "\",\"text\":\"" + json_escape(text) +
                    "\",\"folder\":\"" + json_escape(folder) + "\"";
    if (apps) s += ",\"apps\":\"" + json_escape(apps) + "\"";
    return s + "}";
}

}  // namespace te_test
