// The instance lock on Windows: LockFileEx on a file in the user's local
// application data, one per logon session. The holder's status is only in
// the status file beside it: the locked byte keeps others from reading the
// lock file itself.
#include "instance.h"

#include <windows.h>

#include <cstdio>

#include "instance_status.h"
#include "private_file.h"
#include "text_convert.h"

namespace {

const int TE_ACQUIRE_TRIES = 5;
const int TE_ACQUIRE_RETRY_MS = 10;

std::wstring te_wide(const std::string& s) {
    std::wstring out;
    te_utf8_to_wide(s.c_str(), out);
    return out;
}

std::string te_env_utf8(const wchar_t* name) {
    const wchar_t* v = _wgetenv(name);
    char out[4096];
    return v && v[0] && te_wide_to_utf8(v, out, (int)sizeof out) ? out : "";
}

std::string te_parent_folder(const std::string& path) {
    std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? "." : path.substr(0, cut == 0 ? 1 : cut);
}

std::string te_read_all(const std::string& path) {
    std::string out;
    FILE* f = _wfopen(te_wide(path).c_str(), L"rb");
    if (!f) return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    std::fclose(f);
    return out;
}

te_instance_info te_holder_info(const std::string& lock_path) {
    te_instance_info info;
    te_instance_status_parse(te_read_all(lock_path + ".json"), &info);
    return info;
}

HANDLE te_open_lock_file(const std::string& path, DWORD disposition) {
    return CreateFileW(te_wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The first byte, exclusively for the holder, shared for a probe (so two
// probes never see each other as a holder). False with GetLastError set.
bool te_lock_byte(HANDLE h, bool exclusive) {
    OVERLAPPED at = {};
    DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    return LockFileEx(h, flags, 0, 1, 0, &at) != 0;
}

void te_unlock_byte(HANDLE h) {
    OVERLAPPED at = {};
    UnlockFileEx(h, 0, 1, 0, &at);
}

// A probe by another process holds the byte for a moment: a start that
// meets one tries again.
bool te_try_lock(HANDLE h) {
    for (int i = 0; i < TE_ACQUIRE_TRIES; i++) {
        if (te_lock_byte(h, true)) return true;
        if (GetLastError() != ERROR_LOCK_VIOLATION) return false;
        Sleep(TE_ACQUIRE_RETRY_MS);
    }
    SetLastError(ERROR_LOCK_VIOLATION);
    return false;
}

}  // namespace

std::string te_instance_dir(const std::string& store_path) {
    std::string local = te_env_utf8(L"LOCALAPPDATA");
    return local.empty() ? te_parent_folder(store_path) : local + "\\Wrenfold";
}

std::string te_instance_lock_path(const std::string& store_path) {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return te_instance_dir(store_path) + "\\velmora-te-session" + std::to_string((unsigned long)session) + ".lock";
}

bool te_instance_lock::acquire(const std::string& store_path, std::string* error) {
    if (held()) return true;
    std::string path = te_instance_lock_path(store_path);
    te_make_parent_dirs(path);
    HANDLE h = te_open_lock_file(path, OPEN_ALWAYS);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) *error = "cannot open " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    if (!te_try_lock(h)) {
        DWORD err = GetLastError();
        if (error)
            *error = err == ERROR_LOCK_VIOLATION ? te_instance_refusal(path, te_holder_info(path))
                                                 : "cannot lock " + path + " (error " + std::to_string(err) + ")";
        CloseHandle(h);
        return false;
    }
    DeleteFileW(te_wide(path + ".json").c_str());  // an earlier holder's, if it was killed
    handle_ = (std::intptr_t)h;
    path_ = path;
    return true;
}

void te_instance_lock::publish(const te_instance_info& info) {
    if (held()) te_replace_private(path_ + ".json", te_instance_status_json(info), nullptr);
}

void te_instance_lock::release() {
    if (!held()) return;
    DeleteFileW(te_wide(path_ + ".json").c_str());
    HANDLE h = (HANDLE)handle_;
    te_unlock_byte(h);
    CloseHandle(h);
    handle_ = -1;
}

te_instance_lock::~te_instance_lock() { release(); }

bool te_instance_query(const std::string& store_path, te_instance_info* out) {
    std::string path = te_instance_lock_path(store_path);
    HANDLE h = te_open_lock_file(path, OPEN_EXISTING);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool held = !te_lock_byte(h, false) && GetLastError() == ERROR_LOCK_VIOLATION;
    if (!held) te_unlock_byte(h);
    CloseHandle(h);
    if (held && out) *out = te_holder_info(path);
    return held;
}

void te_instance_refresh(const std::string&, int) {}

int te_instance_stop(const std::string& store_path, int, std::string* error) {
    te_instance_info info;
    if (!te_instance_query(store_path, &info)) return 0;
    if (error) *error = te_instance_refusal(te_instance_lock_path(store_path), info) + ": stop it from its own window";
    return -1;
}
