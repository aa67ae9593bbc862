// Reading the store file at first use.
#include <string>

#include <gtest/gtest.h>

#include "test_support.h"
#include "textexpander.h"

using namespace te_test;

namespace {

std::string store_of(const std::string& elements) { return "{\"snippets\":[" + elements + "]}"; }

}  // namespace

TEST(StoreRead, TakesTheFileInFileOrderWithLooseFormatting) {
    write_file(store_path(),
               " { \"other\" : 1 ,\n \"snippets\" : [ {\"apps\":\"x\",\"trigger\":\"b\",\"extra\":[1]},\n"
               "{\"trigger\":\"a\",\"text\":\"A\"} ] } ");
    EXPECT_EQ(te_snippet_count(), 2);
    EXPECT_STREQ(te_snippet_field(0, "trigger"), "b");
    EXPECT_STREQ(te_snippet_field(0, "apps"), "x");
    EXPECT_STREQ(te_snippet_field(1, "text"), "A");
    EXPECT_STREQ(te_snippet_field(1, "apps"), "*");
}

class UnusableStore : public testing::TestWithParam<const char*> {};

TEST_P(UnusableStore, GivesTheSeedsAndStaysUntouched) {
    write_file(store_path(), GetParam());
    EXPECT_EQ(te_snippet_count(), 3);
    EXPECT_STREQ(te_snippet_field(0, "trigger"), ">>addr");
    EXPECT_EQ(read_file(store_path()), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnusableStore,
    testing::Values("",                                                   // empty
                    "\xEF\xBB\xBF{\"snippets\":[{\"trigger\":\"a\"}]}",          // byte-order mark
                    "{\"snippets\":5,\"snippets\":[{\"trigger\":\"a\"}]}",        // first member decides
                    "{\"snippets\":[{\"trigger\":\"\"},{\"text\":\"x\"}]}",       // only refused elements
                    "[{\"trigger\":\"a\"}]",                                   // root not an object
                    "{\"snippets\":[{\"trigger\":\"a\"}],}",                    // trailing comma
                    "{\"snippets\":[]}"));                                     // empty table

TEST(StoreRead, RefusedElementIsSkippedAndReported) {
    write_file(store_path(), store_of("{\"trigger\":\"a\"},{\"trigger\":7},{\"trigger\":\"c\"}"));
    EXPECT_EQ(te_snippet_count(), 2);
    EXPECT_STREQ(te_snippet_field(1, "trigger"), "c");
    EXPECT_STREQ(te_last_error(), "snippet missing 'trigger'");
}

TEST(StoreRead, DuplicateTriggersAreKeptAndTheFirstIsFound) {
    write_file(store_path(), store_of("{\"trigger\":\"a\",\"text\":\"1\"},{\"trigger\":\"a\",\"text\":\"2\"}"));
    EXPECT_EQ(te_snippet_count(), 2);
    EXPECT_STREQ(te_snippet_json("a"), "{\"trigger\":\"a\",\"text\":\"1\",\"folder\":\"\",\"apps\":\"*\"}");
}

TEST(StoreRead, FiveThousandElementsFillTheTableAndKeepTheFile) {
    std::string els;
    for (int i = 0; i < 5000; i++) els += (i ? "," : "") + snippet("t" + std::to_string(i), "x");
    std::string original = store_of(els);
    write_file(store_path(), original);
    EXPECT_EQ(te_snippet_count(), 4096);
    EXPECT_STREQ(te_snippet_field(4095, "trigger"), "t4095");
    // The file held more than the table can: the first write keeps it.
    ASSERT_EQ(te_snippet_delete("t0"), 1);
    EXPECT_EQ(read_file(store_path() + ".bak"), original);
}

TEST(StoreRead, LargeFilesUpToTheWriteLimitAreRead) {
    // 4096 snippets of 5000 bytes: about 20 MiB, beyond a 16 MiB read limit.
    std::string text(5000, 'x');
    std::string els;
    for (int i = 0; i < 4096; i++) els += (i ? "," : "") + snippet("t" + std::to_string(i), text);
    write_file(store_path(), store_of(els));
    EXPECT_EQ(te_snippet_count(), 4096);
    EXPECT_EQ(std::string(te_snippet_field(4095, "text")), text);
}

TEST(StoreRead, AnUnreadableFileIsKeptAsBackupBeforeItIsReplaced) {
    std::string typo = "{\"snippets\":[{\"trigger\":\"mine\",\"text\":\"precious\"},]}";
    write_file(store_path(), typo);
    EXPECT_EQ(te_snippet_count(), 3);  // the seeds
    EXPECT_EQ(read_file(store_path()), typo) << "left alone until a change";
    ASSERT_EQ(te_snippet_add(snippet("new", "n").c_str()), 1);
    EXPECT_EQ(read_file(store_path() + ".bak"), typo);
    // Only the first write keeps a copy: the .bak is not the seeds.
    ASSERT_EQ(te_snippet_add(snippet("new2", "n").c_str()), 1);
    EXPECT_EQ(read_file(store_path() + ".bak"), typo);
}

TEST(StoreRead, AWholeFileLeavesNoBackup) {
    write_file(store_path(), store_of(snippet("a", "1")));
    ASSERT_EQ(te_snippet_add(snippet("b", "2").c_str()), 1);
    EXPECT_FALSE(file_exists(store_path() + ".bak"));
}
