#include "clipboard_read.h"

#include "fd_io.h"

#include <unistd.h>

const char* const te_clip_text_types[5] = {"text/plain;charset=utf-8", "text/plain", "UTF8_STRING", "TEXT", "STRING"};

namespace {

// How long an owner may stay silent while its content is read.
const int TE_PIPE_WAIT_MS = 1000;

// X11 selection targets that describe a clipboard rather than hold it.
const char* const TE_META_TYPES[] = {"TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS", "DELETE"};

bool te_is_meta(const std::string& type) {
    for (const char* m : TE_META_TYPES)
        if (type == m) return true;
    return false;
}

bool te_is_text(const std::string& type) {
    for (const char* t : te_clip_text_types)
        if (type == t) return true;
    return false;
}

}  // namespace

int te_clip_read(const std::vector<std::string>& types, int (*open)(const char* type), te_clip_contents* out) {
    out->clear();
    for (const std::string& type : types) {
        if (te_is_meta(type)) continue;
        int fd = open(type.c_str());
        te_clip_item item;
        item.type = type;
        int ok = fd >= 0 && te_fd_read_all(fd, &item.data, TE_PIPE_WAIT_MS, TE_CLIP_ITEM_CAP);
        if (fd >= 0) close(fd);
        if (!ok && te_is_text(type)) return 0;
        if (ok) out->push_back(item);
    }
    return 1;
}
