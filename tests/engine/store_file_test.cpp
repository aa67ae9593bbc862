// Writing the store file: its exact form, the atomic replace, failures.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "files_seam.h"
#include "test_support.h"
#include "textexpander.h"

using namespace te_test;

TEST(StoreWrite, ExactFormMatchesTheExportAndCreatesFolders) {
    ASSERT_EQ(te_snippet_add(snippet("q\"\\/", "a\nb\t\x01", "F", "").c_str()), 1);
    std::string file = read_file(store_path());
    EXPECT_EQ(file, te_snippets_json());
    EXPECT_NE(file.find("{\"trigger\":\"q\\\"\\\\/\",\"text\":\"a\\nb\\t\\u0001\",\"folder\":\"F\",\"apps\":\"\"}"),
              std::string::npos)
        << file;
    EXPECT_EQ(file.substr(0, 13), "{\"snippets\":[");
    EXPECT_FALSE(file_exists(temp_path(store_path(), 1)));
}

TEST(StoreWrite, EmptyTableIsFifteenBytesAndStaysEmptyOnReload) {
    ASSERT_EQ(te_snippet_delete(">>addr"), 1);
    ASSERT_EQ(te_snippet_delete(">>email"), 1);
    ASSERT_EQ(te_snippet_delete(">>signoff"), 1);
    EXPECT_EQ(read_file(store_path()), "{\"snippets\":[]}");
    EXPECT_EQ(te_snippet_count(), 0);
    EXPECT_STREQ(te_snippets_json(), "{\"snippets\":[]}");
}

// The temporary file cannot be created (a full folder, say); the name of
// the file it would have been is given all the same.
FILE* refused_create_temp(const char* target, char* name, int size) {
    std::snprintf(name, (std::size_t)size, "%s", temp_path(target, 1).c_str());
    return nullptr;
}

TEST(StoreWrite, FailureKeepsTheChangeInMemoryAndTheOldFile) {
    write_file(store_path(), "{\"snippets\":[" + snippet("old", "0") + "]}");
    te_file_calls calls = te_files_system();
    calls.create_temp = refused_create_temp;
    te_files_swap(&calls);
    EXPECT_EQ(te_snippet_add(snippet("a", "1").c_str()), 0);
    te_files_swap(nullptr);
    EXPECT_EQ(std::string(te_last_error()), "cannot open " + temp_path(store_path(), 1) + " for write");
    EXPECT_EQ(te_snippet_count(), 2);
    EXPECT_EQ(read_file(store_path()), "{\"snippets\":[" + snippet("old", "0") + "]}");
}

TEST(StoreWrite, FailedReplaceKeepsTheNewestCopyInTheTemporaryFile) {
    // A folder where the store file should be: the replace cannot succeed.
    std::string path = store_path();
    ASSERT_EQ(std::system(("mkdir -p '" + path + "/inner'").c_str()), 0);
    EXPECT_EQ(te_snippet_add(snippet("a", "1").c_str()), 0);
    EXPECT_EQ(std::string(te_last_error()), "rename failed: " + temp_path(path, 1) + " -> " + path);
    std::string tmp = read_file(temp_path(path, 1));
    EXPECT_NE(tmp.find("\"trigger\":\"a\""), std::string::npos);
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode)) << "the old store is never removed first";
}

TEST(StoreWrite, CutFieldsStayWritable) {
    // 126 ASCII bytes and a two-byte character: a cut at 127 bytes would
    // split it and every later write would fail.
    std::string folder = std::string(126, 'f') + "\xC3\xA9";
    std::string apps = std::string(510, 'a') + "\xE2\x82\xAC";
    ASSERT_EQ(te_snippet_add(snippet("cut", "x", folder, apps.c_str()).c_str()), 1);
    EXPECT_EQ(std::string(te_snippet_field(3, "folder")), std::string(126, 'f'));
    EXPECT_EQ(std::string(te_snippet_field(3, "apps")), std::string(510, 'a'));
    EXPECT_NE(te_snippet_json("cut"), nullptr);
    ASSERT_EQ(te_snippet_add(snippet("next", "y").c_str()), 1);
}

TEST(StoreWrite, ExactCutsOfAsciiKeepTheirLength) {
    ASSERT_EQ(te_snippet_add(snippet("long", "x", std::string(200, 'f'), std::string(600, 'a').c_str()).c_str()), 1);
    EXPECT_EQ(std::string(te_snippet_field(3, "folder")).size(), 127u);
    EXPECT_EQ(std::string(te_snippet_field(3, "apps")).size(), 511u);
}
