// The name of the program that owns the window in front.
#include "edit_window.h"
#include "platform.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {

std::wstring te_own_path(void) {
    wchar_t path[1024];
    DWORD n = GetModuleFileNameW(nullptr, path, 1024);
    return std::wstring(path, n);
}

std::wstring te_directory_of(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::string te_ascii_upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
    return s;
}

TEST(ForegroundName, OwnWindowInFrontGivesOwnExecutableUpperCased) {
    te_edit_window window;
    ASSERT_TRUE(window.ready());
    std::wstring path = te_own_path();
    std::string expected = te_ascii_upper(te_utf8(path.substr(path.find_last_of(L'\\') + 1)));
    char out[256];
    EXPECT_EQ(out, foreground_process_name(out, sizeof out));
    EXPECT_EQ(expected, out);
}

TEST(ForegroundName, NameThatDoesNotFitGivesNullAndEmptyOut) {
    te_edit_window window;
    ASSERT_TRUE(window.ready());
    char out[8] = "stale";
    EXPECT_EQ(nullptr, foreground_process_name(out, sizeof out));
    EXPECT_STREQ("", out);
}

TEST(ForegroundName, SizeZeroOrOneLeavesOutUntouched) {
    te_edit_window window;
    char out[4] = {'k', 'e', 'e', 'p'};
    EXPECT_EQ(nullptr, foreground_process_name(out, 0));
    EXPECT_EQ(nullptr, foreground_process_name(out, 1));
    EXPECT_EQ(0, std::memcmp(out, "keep", 4));
}

// A program named café.exe in front: only the ASCII letters change case,
// the two bytes of é stay as they are.
class CafeInFront : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        cafe = std::wstring(temp) + L"te-fg-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(cafe.c_str(), nullptr);
        cafe += L"caf\x00E9.exe";
        std::wstring child = te_directory_of(te_own_path()) + L"\\te_foreground_child.exe";
        ASSERT_TRUE(CopyFileW(child.c_str(), cafe.c_str(), FALSE));
    }
    void TearDown() override {
        if (process.hProcess) {
            TerminateProcess(process.hProcess, 0);
            WaitForSingleObject(process.hProcess, 5000);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        DeleteFileW(cafe.c_str());
        RemoveDirectoryW(te_directory_of(cafe).c_str());
    }
    // Starts café.exe and waits until its window is in front.
    bool start_in_front() {
        std::wstring event_name = L"te-fg-ready-" + std::to_wstring(GetCurrentProcessId());
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, event_name.c_str());
        std::wstring cmd = L"\"" + cafe + L"\" " + event_name;
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        bool ok = CreateProcessW(cafe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                                 &process) &&
                  WaitForSingleObject(ready, 10000) == WAIT_OBJECT_0;
        CloseHandle(ready);
        return ok;
    }
    std::wstring cafe;
    PROCESS_INFORMATION process = {};
};

TEST_F(CafeInFront, NonAsciiBytesStayAndAsciiIsUpperCased) {
    ASSERT_TRUE(start_in_front());
    char out[256];
    ASSERT_EQ(out, foreground_process_name(out, sizeof out));
    EXPECT_EQ(std::string("CAF\xC3\xA9.EXE"), out);
}

}  // namespace
