// Noticing that a file was replaced or changed, the way the library notices
// that another process replaced its store: by the file's stamp (device,
// inode or file index, size, time of the last change to the nanosecond),
// so a file replaced within one second by one of equal size still counts.
#ifndef TE_TOOLS_FILE_WATCH_H
#define TE_TOOLS_FILE_WATCH_H

#include <string>

class te_file_watch {
public:
    explicit te_file_watch(std::string path);
    ~te_file_watch();
    te_file_watch(const te_file_watch&) = delete;
    te_file_watch& operator=(const te_file_watch&) = delete;

    // True the first time, and whenever the file's stamp (or its presence)
    // differs from the last look.
    bool changed();
    // Takes the file as it is now as seen, without reporting it: after a
    // write of the host's own.
    void mark_seen();
    const std::string& path() const { return path_; }

private:
    struct stamp;
    std::string path_;
    stamp* seen_;
    bool looked_ = false;
};

#endif
