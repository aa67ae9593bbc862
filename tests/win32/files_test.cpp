// File access through UTF-8 paths on the wide-character APIs.
#include "edit_window.h"
#include "platform.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace {

// A fresh folder under the temporary folder whose name holds non-ASCII
// characters, removed with everything in it afterwards.
class Files : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root = std::wstring(temp) + L"te-files-\x00FC\x20AC-" + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    }
    void TearDown() override { te_remove_tree(root); }

    std::string path(const std::wstring& tail) const { return te_utf8(root + tail); }
    bool exists(const std::wstring& tail) const {
        return GetFileAttributesW((root + tail).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool is_directory(const std::wstring& tail) const {
        DWORD a = GetFileAttributesW((root + tail).c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }
    static void te_remove_tree(const std::wstring& dir) {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = fd.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring full = dir + L"\\" + name;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    te_remove_tree(full);
                else
                    DeleteFileW(full.c_str());
            } while (FindNextFileW(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryW(dir.c_str());
    }

    std::wstring root;
};

// Writes `content` to a temporary file beside `path` and puts it in place.
void te_write(const std::string& path, const std::string& content, te_file_stamp* stamp = nullptr) {
    char temp[1024];
    FILE* f = te_files().create_temp(path.c_str(), temp, sizeof temp);
    ASSERT_NE(nullptr, f);
    ASSERT_EQ(content.size(), std::fwrite(content.data(), 1, content.size(), f));
    ASSERT_EQ(0, te_files().commit_close(f, stamp));
    ASSERT_EQ(0, te_files().replace(temp, path.c_str()));
}

std::string te_read(const std::string& path) {
    te_open_status status;
    FILE* f = te_files().open_read(path.c_str(), &status, nullptr);
    if (!f) return status == TE_OPEN_NOT_FOUND ? "<missing>" : "<failed>";
    std::string s;
    char buf[256];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    std::fclose(f);
    return s;
}

TEST_F(Files, NonAsciiPathRoundTrip) {
    std::string p = path(L"\\sn\x00EFppets \x65E5\x672C.json");
    te_write(p, "[1,\n2]\r\n");
    EXPECT_TRUE(exists(L"\\sn\x00EFppets \x65E5\x672C.json"));  // the name the user sees
    EXPECT_EQ("[1,\n2]\r\n", te_read(p));                      // binary: no newline translation
}

TEST_F(Files, ReplaceOverAnExistingFileKeepsWhatWasWritten) {
    std::string target = path(L"\\snippets.json");
    te_file_stamp written, now;
    te_write(target, "old");
    te_write(target, "new", &written);
    EXPECT_EQ("new", te_read(target));
    ASSERT_EQ(0, te_files().stamp(target.c_str(), &now));
    EXPECT_TRUE(now.exists && written.index == now.index && written.mtime_nsec == now.mtime_nsec);
}

TEST_F(Files, ReplaceWhenTheTargetDoesNotExistYet) {
    std::string target = path(L"\\\x00E9t\x00E9.json");
    te_write(target, "first");
    EXPECT_EQ("first", te_read(target));
}

TEST_F(Files, FailedReplaceLeavesBothFiles) {
    std::string target = path(L"\\kept.json");
    te_write(target, "kept");
    EXPECT_NE(0, te_files().replace(path(L"\\absent.tmp").c_str(), target.c_str()));
    EXPECT_EQ("kept", te_read(target));
}

TEST_F(Files, RemoveDeletesTheFile) {
    std::string p = path(L"\\gone-\x00E9.json");
    te_write(p, "x");
    EXPECT_EQ(0, te_files().remove(p.c_str()));
    EXPECT_FALSE(exists(L"\\gone-\x00E9.json"));
    EXPECT_NE(0, te_files().remove(p.c_str()));
}

TEST_F(Files, ParentDirectoriesWithMixedSeparators) {
    te_files().make_parent_dirs(path(L"\\W\x00E9nfold/a\\b/snippets.json").c_str());
    EXPECT_TRUE(is_directory(L"\\W\x00E9nfold"));
    EXPECT_TRUE(is_directory(L"\\W\x00E9nfold\\a"));
    EXPECT_TRUE(is_directory(L"\\W\x00E9nfold\\a\\b"));
    EXPECT_FALSE(exists(L"\\W\x00E9nfold\\a\\b\\snippets.json"));
    te_files().make_parent_dirs(path(L"\\W\x00E9nfold/a\\b/snippets.json").c_str());  // existing: no harm
    te_write(path(L"/W\x00E9nfold\\a/b\\snippets.json"), "ok");
    EXPECT_EQ("ok", te_read(path(L"\\W\x00E9nfold\\a\\b\\snippets.json")));
}

TEST_F(Files, OnlyNothingThereOpensAsNotFound) {
    EXPECT_EQ("<missing>", te_read(path(L"\\nothing.json")));
    EXPECT_EQ("<missing>", te_read(path(L"\\no-such-dir\\x.json")));
    std::string p = path(L"\\busy.json");
    te_write(p, "x");
    HANDLE h = CreateFileW((root + L"\\busy.json").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ("<failed>", te_read(p)) << "a sharing violation is no missing file";
    CloseHandle(h);
}

TEST_F(Files, ALockIsHeldAgainstOthersUntilLetGo) {
    std::string p = path(L"\\snippets.json");  // the lock guarding it: snippets.json.lock
    te_file_lock first, second;
    ASSERT_EQ(TE_LOCK_TAKEN, te_files().lock(p.c_str(), 0, &first));
    EXPECT_EQ(TE_LOCK_BUSY, te_files().lock(p.c_str(), 50, &second));
    te_files().unlock(first);
    ASSERT_EQ(TE_LOCK_TAKEN, te_files().lock(p.c_str(), 0, &second));
    te_files().unlock(second);
}

// A path that is not UTF-8 ("Jos" and a Latin-1 e-acute) names no file: it
// is refused with the reason, and nothing is made under another name.
TEST_F(Files, APathThatIsNotUtf8IsRefused) {
    std::string p = path(L"") + "\\Jos\xE9\\snippets.json";
    te_files().make_parent_dirs(p.c_str());
    te_file_lock lock;
    errno = 0;
    EXPECT_EQ(TE_LOCK_UNAVAILABLE, te_files().lock(p.c_str(), 0, &lock));
    EXPECT_EQ(EILSEQ, errno);
    EXPECT_EQ("<failed>", te_read(p));
    EXPECT_FALSE(exists(L"\\Jos\xFFFD")) << "a folder was made under another name";
}

class StorePath : public ::testing::Test {
protected:
    void TearDown() override { SetEnvironmentVariableW(L"APPDATA", nullptr); }
};

TEST_F(StorePath, UnderAppDataInUtf8) {
    SetEnvironmentVariableW(L"APPDATA", L"C:\\Users\\Zo\x00EB\\AppData\\Roaming");
    char out[260];
    ASSERT_NE(0, default_store_path(out, sizeof out));
    EXPECT_STREQ("C:\\Users\\Zo\xC3\xAB\\AppData\\Roaming\\Wrenfold\\snippets.json", out);
}

TEST_F(StorePath, NoneWhenAppDataIsUnsetOrEmpty) {
    char out[260] = "stale";
    SetEnvironmentVariableW(L"APPDATA", nullptr);
    EXPECT_EQ(0, default_store_path(out, sizeof out));
    SetEnvironmentVariableW(L"APPDATA", L"");
    EXPECT_EQ(0, default_store_path(out, sizeof out));
}

TEST_F(StorePath, NoneWhenItDoesNotFit) {
    SetEnvironmentVariableW(L"APPDATA", L"C:\\A");  // C:\A\Wrenfold\snippets.json: 27 bytes + NUL
    char out[40];
    std::memset(out, 'g', sizeof out);
    EXPECT_EQ(0, default_store_path(out, 27));
    EXPECT_EQ('g', out[0]);
    EXPECT_NE(0, default_store_path(out, 28));
    EXPECT_STREQ("C:\\A\\Wrenfold\\snippets.json", out);
    EXPECT_EQ('g', out[28]);
}

}  // namespace
