// Replacing private files with the library's own file calls.
#include "private_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "files_seam.h"

namespace {

bool te_fail(const std::string& path, const char* what, int err, std::string* error) {
    if (error) *error = path + ": " + what + (err ? std::string(" (") + std::strerror(err) + ")" : "");
    return false;
}

}  // namespace

bool te_replace_private(const std::string& path, const std::string& text, std::string* error) {
    const te_file_calls& files = te_files_system();
    std::vector<char> tmp(path.size() + 4096);
    errno = 0;
    FILE* f = files.create_temp(path.c_str(), tmp.data(), (int)tmp.size());
    if (!f) return te_fail(path, "cannot create a file beside it", errno, error);
    bool wrote = text.empty() || std::fwrite(text.data(), 1, text.size(), f) == text.size();
    int err = errno;
    if (files.commit_close(f, nullptr) != 0 || !wrote) {
        files.remove(tmp.data());
        return te_fail(path, "cannot write its new version", wrote ? errno : err, error);
    }
    errno = 0;
    if (files.replace(tmp.data(), path.c_str()) != 0) {
        err = errno;
        files.remove(tmp.data());
        return te_fail(path, "cannot replace it", err, error);
    }
    if (files.sync_folder(path.c_str()) != 0) return te_fail(path, "written, but its folder cannot be synced", errno, error);
    return true;
}

int te_read_file(const std::string& path, std::string* text, std::string* error) {
    te_open_status status;
    errno = 0;
    FILE* f = te_files_system().open_read(path.c_str(), &status, nullptr);
    int err = errno;
    if (f) {
        char chunk[1 << 14];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
            if (text) text->append(chunk, n);
        err = std::ferror(f) ? (errno ? errno : EIO) : 0;
        std::fclose(f);
        if (!err) return 1;
    } else if (status == TE_OPEN_NOT_FOUND) {
        return 0;
    }
    *error = "cannot read " + path + ": " + (err ? std::strerror(err) : "it cannot be opened");
    return -1;
}

void te_make_parent_dirs(const std::string& path) { te_files_system().make_parent_dirs(path.c_str()); }
