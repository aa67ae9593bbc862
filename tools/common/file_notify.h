// Being told that a file may have changed, instead of looking at it over
// and over: a descriptor that becomes readable when something changes in
// the folder that holds the file, or in the folder of the file a link at
// its path names (a rules file linked into a dotfiles repository). Other
// files of those folders wake it too: the caller then compares the file's
// stamp (file_watch.h) to tell.
#ifndef TE_TOOLS_FILE_NOTIFY_H
#define TE_TOOLS_FILE_NOTIFY_H

#include <string>

class te_file_notify {
public:
    explicit te_file_notify(const std::string& path);
    ~te_file_notify();
    te_file_notify(const te_file_notify&) = delete;
    te_file_notify& operator=(const te_file_notify&) = delete;

    // The descriptor to wait on (poll for reading); -1 when this system or
    // folder cannot be watched: the caller then looks now and then.
    int fd() const { return fd_; }
    // Takes the notifications that arrived, so the descriptor waits again.
    void drain();

private:
    int fd_ = -1;
};

#endif
