// Adding, replacing and removing snippets, and what reaches the file.
#include <string>

#include <gtest/gtest.h>

#include "test_support.h"
#include "textexpander.h"

using namespace te_test;

TEST(SnippetAdd, DuplicatesAndCaseDistinctTriggers) {
    std::string before = te_snippets_json();
    EXPECT_EQ(te_snippet_add(snippet(">>addr", "other").c_str()), 0);
    EXPECT_STREQ(te_last_error(), "trigger already exists: >>addr");
    EXPECT_EQ(te_snippets_json(), before);
    EXPECT_FALSE(file_exists(store_path()));
    EXPECT_EQ(te_snippet_add(snippet(">>ADDR", "upper").c_str()), 1);
    EXPECT_EQ(te_snippet_count(), 4);
    EXPECT_EQ(read_file(store_path()), te_snippets_json());
}

TEST(SnippetAdd, FullTableReportsExistingBeforeLimit) {
    std::string els;
    for (int i = 3; i < 4096; i++) els += (i > 3 ? "," : "") + snippet("t" + std::to_string(i));
    ASSERT_EQ(te_snippet_import(("[" + els + "]").c_str()), 4093);
    EXPECT_EQ(te_snippet_add(snippet("new").c_str()), 0);
    EXPECT_STREQ(te_last_error(), "snippet limit reached");
    EXPECT_EQ(te_snippet_add(snippet("t5").c_str()), 0);
    EXPECT_STREQ(te_last_error(), "trigger already exists: t5");
    EXPECT_EQ(te_snippet_count(), 4096);
}

TEST(SnippetUpdate, ReplacesWholeRecordInPlaceAndRenames) {
    ASSERT_EQ(te_snippet_update(">>email", "{\"trigger\":\">>email\"}"), 1);
    EXPECT_STREQ(te_snippet_field(1, "text"), "");
    EXPECT_STREQ(te_snippet_field(1, "folder"), "");
    EXPECT_STREQ(te_snippet_field(1, "apps"), "*");
    ASSERT_EQ(te_snippet_update(">>email", snippet(">>mail", "m").c_str()), 1);
    EXPECT_STREQ(te_snippet_field(1, "trigger"), ">>mail");
    EXPECT_EQ(te_snippet_json(">>email"), nullptr);
    EXPECT_EQ(te_snippet_update(">>mail", snippet(">>addr").c_str()), 0);
    EXPECT_STREQ(te_last_error(), "trigger already exists: >>addr");
    EXPECT_EQ(read_file(store_path()), te_snippets_json());
}

TEST(SnippetUpdate, ChecksInOrder) {
    EXPECT_EQ(te_snippet_update("", "{"), 0);
    EXPECT_STREQ(te_last_error(), "update: null trigger");
    EXPECT_EQ(te_snippet_update("nope", "not json"), 0);
    EXPECT_STREQ(te_last_error(), "no such trigger: nope");
    EXPECT_EQ(te_snippet_update(">>addr", ""), 0);
    EXPECT_STREQ(te_last_error(), "update: empty json");
    EXPECT_EQ(te_snippet_update(">>addr", "not json"), 0);
    EXPECT_STREQ(te_last_error(), "snippet json parse failed");
    EXPECT_EQ(te_snippet_update(">>addr", "{\"trigger\":\"\"}"), 0);
    EXPECT_STREQ(te_last_error(), "snippet missing 'trigger'");
    EXPECT_STREQ(te_snippet_field(0, "folder"), "Home");
}

TEST(SnippetDelete, KeepsOrderAndLookupsStayRight) {
    EXPECT_EQ(te_snippet_delete(""), 0);
    EXPECT_STREQ(te_last_error(), "no such trigger: ");
    ASSERT_EQ(te_snippet_delete(">>email"), 1);
    EXPECT_STREQ(te_snippet_field(0, "trigger"), ">>addr");
    EXPECT_STREQ(te_snippet_field(1, "trigger"), ">>signoff");
    EXPECT_STREQ(te_snippet_field(1, "text"), "Kind regards,\nName");
    // The moved snippet is found at its new position.
    ASSERT_EQ(te_snippet_update(">>signoff", snippet(">>signoff", "Bye").c_str()), 1);
    EXPECT_STREQ(te_snippet_field(1, "text"), "Bye");
    EXPECT_EQ(te_snippet_count(), 2);
}
