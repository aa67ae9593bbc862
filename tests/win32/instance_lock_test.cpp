// The desktop hosts' instance lock on Windows: one holder per user and
// logon session, seen by other processes, let go when its holder ends
// however it ends. Other processes are copies of this program:
//   te_win32_instance_tests --hold          takes the lock and waits for its end
//   te_win32_instance_tests --try FILE      tries to take it; exit 0 taken, 1 not;
//                                           the refusal goes into FILE
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "instance.h"

namespace {

const char* const kStore = "C:\\users\\te\\snippets.json";

std::wstring own_path(void) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// A copy of this program with `args`; its process handle.
HANDLE start_copy(const std::wstring& args) {
    std::wstring line = L"\"" + own_path() + L"\" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

// Runs `--try` in another process: its exit code and what it was told.
int try_elsewhere(std::string* refusal) {
    wchar_t temp[MAX_PATH], file[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    GetTempFileNameW(temp, L"te", 0, file);
    HANDLE p = start_copy(std::wstring(L"--try \"") + file + L"\"");
    if (!p) return -1;
    WaitForSingleObject(p, 30000);
    DWORD code = 99;
    GetExitCodeProcess(p, &code);
    CloseHandle(p);
    FILE* f = _wfopen(file, L"rb");
    char buf[512] = {};
    if (f) {
        std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
        buf[n] = 0;
        std::fclose(f);
    }
    DeleteFileW(file);
    *refusal = buf;
    return (int)code;
}

bool query_within(bool held, int ms) {
    for (int waited = 0; waited < ms; waited += 20) {
        if (te_instance_query(kStore, nullptr) == held) return true;
        Sleep(20);
    }
    return false;
}

int child_main(int argc, wchar_t** argv) {
    te_instance_lock lock;
    std::string error;
    bool taken = lock.acquire(kStore, &error);
    if (std::wcscmp(argv[1], L"--hold") == 0) {
        if (!taken) return 1;
        te_instance_info info;
        info.pid = (long)GetCurrentProcessId();
        info.host = "velmora-manager";
        lock.publish(info);
        Sleep(INFINITE);
    }
    FILE* f = argc > 2 ? _wfopen(argv[2], L"wb") : nullptr;
    if (f) {
        std::fwrite(error.data(), 1, error.size(), f);
        std::fclose(f);
    }
    return taken ? 0 : 1;
}

TEST(InstanceLock, OneHolderAtATimeSeenByOthers) {
    te_instance_lock lock;
    std::string error, refusal;
    ASSERT_TRUE(lock.acquire(kStore, &error)) << error;
    te_instance_info info;
    info.pid = (long)GetCurrentProcessId();
    info.mode = "clipboard";
    info.store = kStore;
    info.host = "velmora-manager";
    lock.publish(info);
    EXPECT_EQ(try_elsewhere(&refusal), 1);
    EXPECT_EQ(refusal, "te is already running (pid " + std::to_string(info.pid) + ", velmora-manager)");
    te_instance_info seen;
    EXPECT_TRUE(te_instance_query(kStore, &seen));
    EXPECT_EQ(seen.pid, info.pid);
    EXPECT_EQ(seen.store, kStore);
    lock.release();
    EXPECT_FALSE(te_instance_query(kStore, nullptr));
    EXPECT_EQ(try_elsewhere(&refusal), 0) << refusal;
}

TEST(InstanceLock, AHolderThatIsKilledLetsGo) {
    HANDLE holder = start_copy(L"--hold");
    ASSERT_NE(holder, nullptr);
    bool held = query_within(true, 10000);
    te_instance_lock lock;
    std::string error;
    EXPECT_TRUE(held && !lock.acquire(kStore, &error));
    EXPECT_NE(error.find("velmora-manager"), std::string::npos) << error;
    TerminateProcess(holder, 9);
    WaitForSingleObject(holder, 10000);
    CloseHandle(holder);
    EXPECT_TRUE(query_within(false, 5000));
    EXPECT_TRUE(lock.acquire(kStore, &error)) << error;
}

TEST(InstanceLock, OnePerLogonSessionInTheUsersLocalFolder) {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    std::string path = te_instance_lock_path(kStore);
    std::string tail = "\\Wrenfold\\velmora-te-session" + std::to_string((unsigned long)session) + ".lock";
    ASSERT_GE(path.size(), tail.size());
    EXPECT_EQ(path.substr(path.size() - tail.size()), tail);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // A local application-data folder of this run's own.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    if (argc < 2 || argv[1][0] != L'-' || argv[1][1] != L'-' || std::wcsncmp(argv[1], L"--gtest", 7) == 0) {
        std::wstring local = std::wstring(temp) + L"te-instance-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(local.c_str(), nullptr);
        SetEnvironmentVariableW(L"LOCALAPPDATA", local.c_str());
        _wputenv_s(L"LOCALAPPDATA", local.c_str());
        testing::InitGoogleTest(&argc, argv);
        return RUN_ALL_TESTS();
    }
    return child_main(argc, argv);
}
