// Export and import of snippets as JSON.
#include <string>

#include <gtest/gtest.h>

#include "test_support.h"
#include "textexpander.h"

using namespace te_test;

namespace {

std::string array_of(int from, int to, const std::string& text = "x") {
    std::string els;
    for (int i = from; i < to; i++) els += (i > from ? "," : "") + snippet("t" + std::to_string(i), text);
    return "[" + els + "]";
}

}  // namespace

TEST(SnippetExport, SeedsExactly) {
    EXPECT_STREQ(te_snippets_json(),
                 "{\"snippets\":[{\"trigger\":\">>addr\",\"text\":\"123 Example Street\\nAuckland 1010\\nNew "
                 "Zealand\",\"folder\":\"Home\",\"apps\":\"*\"},{\"trigger\":\">>email\",\"text\":\"you@example.com\","
                 "\"folder\":\"Work\",\"apps\":\"*\"},{\"trigger\":\">>signoff\",\"text\":\"Kind regards,\\nName\","
                 "\"folder\":\"Work\",\"apps\":\"*\"}]}");
    EXPECT_EQ(te_snippet_json(nullptr), nullptr);
    EXPECT_STREQ(te_last_error(), "no such trigger: ");
}

TEST(SnippetExport, LargeTablesComeBackWholeAndReimport) {
    ASSERT_EQ(te_snippet_import(array_of(3, 4096, std::string(300, 'y')).c_str()), 4093);
    std::string all = te_snippets_json();
    EXPECT_GT(all.size(), 69632u);
    EXPECT_EQ(all, read_file(store_path()));
    EXPECT_EQ(all.substr(all.size() - 2), "]}");
    // Its "snippets" array goes back in whole, as replacements.
    std::string arr = all.substr(12, all.size() - 13);
    EXPECT_EQ(te_snippet_import(arr.c_str()), 0);
    EXPECT_EQ(te_snippets_json(), all);
}

TEST(SnippetImport, MergesReplacesAndStopsAtCapacity) {
    std::string mix = "[" + snippet("new1", "a") + ",{\"text\":\"no trigger\"}," + snippet(">>addr", "replaced") +
                      "," + snippet("new1", "second") + "]";
    EXPECT_EQ(te_snippet_import(mix.c_str()), 1);
    EXPECT_STREQ(te_last_error(), "snippet missing 'trigger'");
    EXPECT_STREQ(te_snippet_field(0, "text"), "replaced");
    EXPECT_STREQ(te_snippet_field(3, "text"), "second");
    EXPECT_EQ(te_snippet_import(array_of(0, 4091).c_str()), 4091);  // 4095 in all
    std::string three = "[" + snippet("n1") + "," + snippet("n2") + "," + snippet("t0", "late") + "]";
    EXPECT_EQ(te_snippet_import(three.c_str()), 1);
    EXPECT_EQ(te_snippet_count(), 4096);
    EXPECT_STREQ(te_snippet_json("t0"), "{\"trigger\":\"t0\",\"text\":\"x\",\"folder\":\"\",\"apps\":\"*\"}");
    EXPECT_EQ(te_snippet_json("n2"), nullptr);
}

TEST(SnippetImport, RefusalsAndEmptyArray) {
    EXPECT_EQ(te_snippet_import(""), 0);
    EXPECT_STREQ(te_last_error(), "import: empty json");
    EXPECT_EQ(te_snippet_import("{\"snippets\":[]}"), 0);
    EXPECT_STREQ(te_last_error(), "import: expected JSON array");
    EXPECT_EQ(te_snippet_import("nonsense"), 0);
    EXPECT_STREQ(te_last_error(), "import: bad json array");
    EXPECT_FALSE(file_exists(store_path()));
    EXPECT_EQ(te_snippet_import("[]"), 0);
    EXPECT_STREQ(te_last_error(), "import: bad json array") << "an empty array sets no message";
    EXPECT_TRUE(file_exists(store_path())) << "but still writes the store";
}

TEST(SnippetImport, TenThousandMixedElements) {
    std::string els;
    for (int i = 0; i < 10000; i++) {
        if (i % 3 == 0) els += snippet("dup" + std::to_string(i % 50), std::to_string(i));
        else if (i % 3 == 1) els += "{\"trigger\":" + std::to_string(i) + "}";
        else els += snippet("u" + std::to_string(i));
        els += i + 1 < 10000 ? "," : "";
    }
    EXPECT_EQ(te_snippet_import(("[" + els + "]").c_str()), 50 + 3333);
    EXPECT_EQ(te_snippet_count(), 3 + 50 + 3333);
    EXPECT_EQ(read_file(store_path()), te_snippets_json());
}
