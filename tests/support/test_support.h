// Helpers shared by the engine tests.
#ifndef TE_TEST_SUPPORT_H
#define TE_TEST_SUPPORT_H

#include <string>

namespace te_test {

// A fresh temporary directory, removed with everything in it.
class scoped_dir {
public:
    explicit scoped_dir(const char* tag);
    ~scoped_dir();
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The default store path the engine derives from APPDATA.
std::string store_path();
// The n-th temporary file this process writes beside `target`.
std::string temp_path(const std::string& target, int n);
std::string read_file(const std::string& path);  // "" when missing
bool file_exists(const std::string& path);
void write_file(const std::string& path, const std::string& data);
// A snippet object with these fields, JSON-escaped.
std::string snippet(const std::string& trigger, const std::string& text = "",
                    const std::string& folder = "", const char* apps = nullptr);
std::string json_escape(const std::string& s);

}  // namespace te_test

#endif
