// Application rules and statistics.
#include <string>

#include <gtest/gtest.h>

#include "fake_desktop.h"
#include "test_support.h"
#include "textexpander.h"

using namespace te_test;

TEST(Rules, SetReplaceAndList) {
    EXPECT_STREQ(te_rules_json(), "[]");
    ASSERT_EQ(te_rule_set("notepad.exe", nullptr), 1);
    ASSERT_EQ(te_rule_set("Notepad.exe", "{\"allow\":false}"), 1);
    std::string prefix40 = "{\"prefix\":\"" + std::string(40, 'p') + "\"}";
    ASSERT_EQ(te_rule_set("NOTEPAD.EXE", prefix40.c_str()), 1);
    ASSERT_EQ(te_rule_set("caf\xC3\xA9", "{\"allow\":0,\"other\":1}"), 1);
    ASSERT_EQ(te_rule_set("x", "{\"allow\":false,\"allow\":true}"), 1);
    EXPECT_EQ(std::string(te_rules_json()),
              "[{\"process\":\"NOTEPAD.EXE\",\"allow\":1,\"prefix\":\"" + std::string(31, 'p') +
                  "\"},{\"process\":\"CAF\xC3\xA9\",\"allow\":1,\"prefix\":\"\"},{\"process\":\"X\",\"allow\":0,"
                  "\"prefix\":\"\"}]");
}

TEST(Rules, RefusalsInOrder) {
    EXPECT_EQ(te_rule_set("", "nonsense"), 0);
    EXPECT_STREQ(te_last_error(), "rule: null process");
    EXPECT_EQ(te_rule_set("p\xFF", nullptr), 0);
    EXPECT_STREQ(te_last_error(), "rule: invalid UTF-8");
    EXPECT_EQ(te_rule_set("p", ""), 0);
    EXPECT_STREQ(te_last_error(), "rule json parse failed");
    EXPECT_EQ(te_rule_set("p", "{} x"), 0);
    EXPECT_STREQ(te_last_error(), "rule json parse failed");
    for (const char* j : {"[]", "\"s\"", "null", "true"}) {
        EXPECT_EQ(te_rule_set("p", j), 0);
        EXPECT_STREQ(te_last_error(), "rule must be a JSON object");
    }
    EXPECT_STREQ(te_rules_json(), "[]");
}

TEST(Rules, LimitAndLongNamesComeBackWhole) {
    std::string settings = "{\"prefix\":\"" + std::string(31, 'q') + "\"}";
    for (int i = 0; i < 1024; i++) {
        std::string name = std::string(120, (char)('a' + i % 26)) + std::to_string(i);
        ASSERT_EQ(te_rule_set(name.c_str(), settings.c_str()), 1);
    }
    EXPECT_EQ(te_rule_set("new", nullptr), 0);
    EXPECT_STREQ(te_last_error(), "rule limit reached");
    EXPECT_EQ(te_rule_set((std::string(120, 'a') + "0").c_str(), nullptr), 1);
    std::string list = te_rules_json();
    EXPECT_GT(list.size(), 69632u);
    EXPECT_EQ(list.back(), ']');
}

TEST(Rules, LongNamesAreCutAndCompareIgnoringCase) {
    ASSERT_EQ(te_rule_set(std::string(200, 'z').c_str(), "{\"allow\":false}"), 1);
    ASSERT_EQ(te_rule_set((std::string(127, 'Z') + "different tail").c_str(), nullptr), 1);
    EXPECT_EQ(std::string(te_rules_json()), "[{\"process\":\"" + std::string(127, 'Z') +
                                                "\",\"allow\":1,\"prefix\":\"\"}]");
}

TEST(Stats, BeforeFirstUseAndAfter) {
    EXPECT_STREQ(te_stats_json(),
                 "{\"expanded\":0,\"today\":0,\"last_trigger\":\"\",\"last_app\":\"\",\"running\":false,"
                 "\"snippets\":0}");
    EXPECT_STREQ(te_last_expanded(), "");
    te_snippet_count();
    EXPECT_NE(std::string(te_stats_json()).find("\"snippets\":3"), std::string::npos);
}

TEST(Stats, TodayCountsSinceLocalMidnight) {
    fake::reset();
    fake::set_foreground("a.exe");
    std::tm day1{};
    day1.tm_year = 126;
    day1.tm_mon = 2;
    day1.tm_mday = 5;
    fake::set_local_time(day1);
    ASSERT_EQ(te_expand(">>addr"), 1);
    ASSERT_EQ(te_expand(">>addr"), 1);
    EXPECT_NE(std::string(te_stats_json()).find("\"expanded\":2,\"today\":2"), std::string::npos);
    std::tm day2 = day1;
    day2.tm_mday = 6;
    fake::set_local_time(day2);
    EXPECT_NE(std::string(te_stats_json()).find("\"expanded\":2,\"today\":0"), std::string::npos);
    ASSERT_EQ(te_expand(">>addr"), 1);
    EXPECT_NE(std::string(te_stats_json()).find("\"expanded\":3,\"today\":1"), std::string::npos);
}

TEST(Stats, TriggersWithQuotesAreEscaped) {
    ASSERT_EQ(te_snippet_add(snippet("q\"\\", "x").c_str()), 1);
    ASSERT_EQ(te_expand("q\"\\"), 1);
    EXPECT_NE(std::string(te_stats_json()).find("\"last_trigger\":\"q\\\"\\\\\""), std::string::npos);
}
