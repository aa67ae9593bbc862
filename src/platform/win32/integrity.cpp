#include "integrity.h"

namespace {

// The integrity level of a process token (its mandatory label's last
// sub-authority: 0x2000 medium, 0x3000 high...), or -1.
long te_token_level(HANDLE token) {
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    if (size == 0) return -1;
    HLOCAL buffer = LocalAlloc(LMEM_FIXED, size);
    if (!buffer) return -1;
    long level = -1;
    if (GetTokenInformation(token, TokenIntegrityLevel, buffer, size, &size)) {
        PSID sid = static_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
        UCHAR count = *GetSidSubAuthorityCount(sid);
        if (count > 0) level = (long)*GetSidSubAuthority(sid, count - 1);
    }
    LocalFree(buffer);
    return level;
}

long te_process_level(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return -1;
    long level = te_token_level(token);
    CloseHandle(token);
    return level;
}

}  // namespace

int te_runs_above_us(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == 0 || pid == GetCurrentProcessId()) return 0;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return 0;
    long theirs = te_process_level(process);
    CloseHandle(process);
    long ours = te_process_level(GetCurrentProcess());
    return theirs >= 0 && ours >= 0 && theirs > ours ? 1 : 0;
}
