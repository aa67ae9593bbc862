#include "file_watch.h"

#include "files_seam.h"

struct te_file_watch::stamp {
    te_file_stamp value;
};

namespace {

te_file_stamp te_stamp_now(const std::string& path) {
    te_file_stamp now = {};
    if (te_files_system().stamp(path.c_str(), &now) != 0) now.size = -1;  // cannot be told: differs from any file
    return now;
}

}  // namespace

te_file_watch::te_file_watch(std::string path) : path_(std::move(path)), seen_(new stamp{}) {}

te_file_watch::~te_file_watch() { delete seen_; }

bool te_file_watch::changed() {
    te_file_stamp now = te_stamp_now(path_);
    bool differs = !looked_ || !te_file_stamp_equal(now, seen_->value);
    looked_ = true;
    seen_->value = now;
    return differs;
}

void te_file_watch::mark_seen() {
    seen_->value = te_stamp_now(path_);
    looked_ = true;
}
