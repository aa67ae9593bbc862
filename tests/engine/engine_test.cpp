// First use, the snippet accessors and the last-error text.
#include <cstdlib>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "test_support.h"
#include "textexpander.h"

using namespace te_test;

TEST(FirstUse, SeedsWhenNoStoreAndNothingIsWritten) {
    EXPECT_STREQ(te_last_error(), "");
    EXPECT_EQ(te_snippet_count(), 3);
    EXPECT_STREQ(te_snippet_field(0, "trigger"), ">>addr");
    EXPECT_STREQ(te_snippet_field(0, "text"), "123 Example Street\nAuckland 1010\nNew Zealand");
    EXPECT_STREQ(te_snippet_field(0, "folder"), "Home");
    EXPECT_STREQ(te_snippet_field(0, "apps"), "*");
    EXPECT_STREQ(te_snippet_field(1, "trigger"), ">>email");
    EXPECT_STREQ(te_snippet_field(2, "text"), "Kind regards,\nName");
    EXPECT_FALSE(file_exists(store_path())) << "seeds are not written until a change";
}

TEST(FirstUse, WithoutAppDataTheStoreIsInTheCurrentFolder) {
    scoped_dir cwd("cwd");
    ASSERT_EQ(chdir(cwd.path().c_str()), 0);
    setenv("APPDATA", "", 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    ASSERT_EQ(te_snippet_add(snippet("hi", "there").c_str()), 1);
    EXPECT_TRUE(file_exists(cwd.path() + "/snippets.json"));
}

TEST(FirstUse, AppDataPathTooLongFallsBackInsteadOfCutting) {
    scoped_dir cwd("cwd");
    ASSERT_EQ(chdir(cwd.path().c_str()), 0);
    setenv("APPDATA", (cwd.path() + "/" + std::string(1100, 'a')).c_str(), 1);
    ASSERT_EQ(te_snippet_add(snippet("hi", "there").c_str()), 1);
    EXPECT_TRUE(file_exists(cwd.path() + "/snippets.json"));
}

TEST(SnippetField, RefusalsInOrder) {
    EXPECT_EQ(te_snippet_field(-1, "trigger"), nullptr);
    EXPECT_STREQ(te_last_error(), "snippet index out of range: -1");
    EXPECT_EQ(te_snippet_field(3, nullptr), nullptr);
    EXPECT_STREQ(te_last_error(), "snippet index out of range: 3");
    EXPECT_EQ(te_snippet_field(0, nullptr), nullptr);
    EXPECT_STREQ(te_last_error(), "null field");
    EXPECT_EQ(te_snippet_field(0, "Trigger"), nullptr);
    EXPECT_STREQ(te_last_error(), "unknown field: Trigger");
    // Success does not clear the message.
    EXPECT_NE(te_snippet_field(0, "text"), nullptr);
    EXPECT_EQ(te_snippet_count(), 3);
    EXPECT_STREQ(te_last_error(), "unknown field: Trigger");
}

TEST(SnippetField, PointsIntoTheLiveTable) {
    const char* text = te_snippet_field(0, "text");
    ASSERT_EQ(te_snippet_update(">>addr", snippet(">>addr", "moved").c_str()), 1);
    EXPECT_STREQ(text, "moved");
}

TEST(LastError, LongMessagesAreCutAtACharacterBoundary) {
    // "no such trigger: x" is 18 bytes and two-byte characters follow, so
    // a byte cut at 255 would split the 119th.
    std::string trig = "x";
    for (int i = 0; i < 130; i++) trig += "\xC3\xA9";
    EXPECT_EQ(te_snippet_delete(trig.c_str()), 0);
    std::string msg = te_last_error();
    EXPECT_EQ(msg.size(), 18u + 2 * 118);
    EXPECT_EQ(msg.substr(0, 18), "no such trigger: x");
    EXPECT_EQ((unsigned char)msg.back(), 0xA9);
}

TEST(NullArguments, EveryExportSurvivesNull) {
    // Every export survives null for each pointer argument.
    te_start(nullptr);
    te_status();
    te_stop();
    EXPECT_EQ(te_match_trailing_trigger(nullptr, nullptr), nullptr);
    te_watch_pass_text(nullptr, nullptr);
    te_watch_pass();
    EXPECT_EQ(te_expand(nullptr), 0);
    EXPECT_EQ(te_render(nullptr), nullptr);
    EXPECT_EQ(te_rule_set(nullptr, nullptr), 0);
    te_rules_json();
    te_stats_json();
    te_last_expanded();
    EXPECT_EQ(te_snippet_field(0, nullptr), nullptr);
    EXPECT_EQ(te_snippet_add(nullptr), 0);
    EXPECT_EQ(te_snippet_update(nullptr, nullptr), 0);
    EXPECT_EQ(te_snippet_update(">>addr", nullptr), 0);
    EXPECT_EQ(te_snippet_delete(nullptr), 0);
    EXPECT_EQ(te_snippet_json(nullptr), nullptr);
    EXPECT_EQ(te_snippet_import(nullptr), 0);
    EXPECT_NE(te_last_error(), nullptr);
}
