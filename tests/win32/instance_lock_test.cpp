// The desktop hosts' instance lock on Windows: one holder per user and
// logon session, and every other taker (LockFileEx keeps out every other
// handle, in this process or another) is refused and told who holds it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "instance.h"

namespace {

const char* const kStore = "C:\\users\\te\\snippets.json";

TEST(InstanceLock, OneHolderAtATimeSeenByOthers) {
    te_instance_lock holder, other;
    std::string error;
    ASSERT_TRUE(holder.acquire(kStore, &error)) << error;
    te_instance_info info;
    info.pid = (long)GetCurrentProcessId();
    info.mode = "clipboard";
    info.store = kStore;
    info.host = "velmora-manager";
    holder.publish(info);
    EXPECT_FALSE(other.acquire(kStore, &error));
    EXPECT_EQ(error, "te is already running (pid " + std::to_string(info.pid) + ", velmora-manager)");
    te_instance_info seen;
    EXPECT_TRUE(te_instance_query(kStore, &seen));
    EXPECT_EQ(seen.store, kStore);
    holder.release();
    EXPECT_FALSE(te_instance_query(kStore, nullptr));
    EXPECT_TRUE(other.acquire(kStore, &error)) << error;
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

int main(int argc, char** argv) {
    // A local application-data folder of this run's own.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring local = std::wstring(temp) + L"te-instance-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(local.c_str(), nullptr);
    _wputenv_s(L"LOCALAPPDATA", local.c_str());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
