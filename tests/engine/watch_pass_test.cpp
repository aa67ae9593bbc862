// Trigger matching, the watch pass and direct expansion.
#include <string>

#include <gtest/gtest.h>

#include "fake_desktop.h"
#include "test_support.h"
#include "textexpander.h"

using namespace te_test;

namespace {

const char* kAddress = "123 Example Street\nAuckland 1010\nNew Zealand";

class Watch : public testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        fake::set_foreground("editor.exe");
        te_snippet_count();
    }
};

}  // namespace

TEST(Match, TrailingTriggerRules) {
    const char* t = ">>addr";
    EXPECT_STREQ(te_match_trailing_trigger(">>addr", t), ">>addr");
    EXPECT_STREQ(te_match_trailing_trigger("see >>addr \t\r\n", t), ">>addr \t\r\n");
    EXPECT_STREQ(te_match_trailing_trigger("(>>addr", t), ">>addr");
    EXPECT_STREQ(te_match_trailing_trigger("\xC3\xA9>>addr", t), ">>addr");
    EXPECT_EQ(te_match_trailing_trigger(">>add", t), nullptr);
    EXPECT_EQ(te_match_trailing_trigger("x>>addr", t), nullptr);
    EXPECT_EQ(te_match_trailing_trigger("9>>addr", t), nullptr);
    EXPECT_EQ(te_match_trailing_trigger("_>>addr", t), nullptr);
    EXPECT_EQ(te_match_trailing_trigger(">>addr.", t), nullptr);
    EXPECT_EQ(te_match_trailing_trigger(">>addr\v", t), nullptr);
    EXPECT_EQ(te_match_trailing_trigger(">>ADDR", t), nullptr);
    // Skipping stops when only the trigger's length remains.
    const char* spaces = "   ";
    EXPECT_EQ(te_match_trailing_trigger(spaces, "  "), spaces);
    EXPECT_EQ(te_match_trailing_trigger("ab  ", "b  "), nullptr);
    EXPECT_EQ(te_match_trailing_trigger("text", ""), nullptr);
    EXPECT_EQ(te_match_trailing_trigger(nullptr, t), nullptr);
}

TEST_F(Watch, ExpandsTheSeedAddressAndRecordsIt) {
    EXPECT_EQ(te_watch_pass_text("Dear team, >>addr", nullptr), 1);
    EXPECT_EQ(fake::typed_text(), kAddress);
    EXPECT_STREQ(te_last_expanded(), kAddress);
    EXPECT_EQ(std::string(te_stats_json()),
              "{\"expanded\":1,\"today\":1,\"last_trigger\":\">>addr\",\"last_app\":\"\",\"running\":false,"
              "\"snippets\":3}");
    EXPECT_EQ(te_watch_pass_text("nothing here", "EDITOR.EXE"), 0);
    EXPECT_EQ(te_watch_pass_text("", "EDITOR.EXE"), 0);
}

TEST_F(Watch, FirstMatchingSnippetInTableOrderWins) {
    ASSERT_EQ(te_snippet_add(snippet("b", "short").c_str()), 1);
    ASSERT_EQ(te_snippet_add(snippet(".b", "long").c_str()), 1);
    EXPECT_EQ(te_watch_pass_text("x .b", nullptr), 1);
    EXPECT_EQ(fake::typed_text(), "short");
}

TEST_F(Watch, RulesBlockAndDemandPrefixes) {
    ASSERT_EQ(te_rule_set("notepad", "{\"allow\":false}"), 1);
    ASSERT_EQ(te_snippet_add(snippet("zz", "in notepad", "", "notepad").c_str()), 1);
    EXPECT_EQ(te_watch_pass_text("a zz", "NOTEPAD.EXE"), 0);
    EXPECT_EQ(fake::type_calls(), 0);

    ASSERT_EQ(te_rule_set("WORD.EXE", "{\"prefix\":\";;\"}"), 1);
    ASSERT_EQ(te_snippet_add(snippet("sig", "plain").c_str()), 1);
    ASSERT_EQ(te_snippet_add(snippet(";;sig", "prefixed").c_str()), 1);
    EXPECT_EQ(te_watch_pass_text("x ;;sig", "word.exe"), 1);
    EXPECT_EQ(fake::typed_text(), "prefixed");
    EXPECT_EQ(te_watch_pass_text("x sig", "WORD.EXE"), 0);
    EXPECT_EQ(te_watch_pass_text("x sig", "OTHER.EXE"), 1);
}

TEST_F(Watch, AppsListsUseBaseNamesAndKeepTrailingSpaces) {
    ASSERT_EQ(te_snippet_add(snippet("aa", "A", "", "mail, \tnotepad").c_str()), 1);
    ASSERT_EQ(te_snippet_add(snippet("bb", "B", "", "notepad ,mail").c_str()), 1);
    ASSERT_EQ(te_snippet_add(snippet("cc", "C", "", "").c_str()), 1);
    EXPECT_EQ(te_watch_pass_text("x aa", "NOTEPAD.EXE"), 1);
    EXPECT_EQ(te_watch_pass_text("x bb", "NOTEPAD.EXE"), 0);
    EXPECT_EQ(te_watch_pass_text("x bb", "MAIL"), 1);
    EXPECT_EQ(te_watch_pass_text("x cc", "ANY.EXE"), 1);
    EXPECT_EQ(te_watch_pass_text("x aa", "CALC.EXE"), 0);
    EXPECT_EQ(te_watch_pass_text("x aa", nullptr), 1) << "no program: no filters";
    EXPECT_EQ(fake::typed_text(), "ABCA");
}

TEST_F(Watch, FailedTypingRecordsNothing) {
    fake::fail_injection_at_batch(1);
    EXPECT_EQ(te_watch_pass_text(">>addr", "EDITOR.EXE"), -1);
    EXPECT_STREQ(te_last_error(), "SendInput failed");
    EXPECT_EQ(te_expand(">>addr"), 0);
    EXPECT_STREQ(te_last_expanded(), "");
    EXPECT_NE(std::string(te_stats_json()).find("\"expanded\":0"), std::string::npos);
}

TEST_F(Watch, DryRunAndNoWindowStillCount) {
    fake::set_no_foreground();
    EXPECT_EQ(te_watch_pass_text(">>email", "X"), 1);
    EXPECT_EQ(fake::type_calls(), 0);
    EXPECT_STREQ(te_last_expanded(), "you@example.com");
}

TEST_F(Watch, ClipboardPassReadsTheProgramInFront) {
    EXPECT_EQ(te_watch_pass(), 0);  // nothing on the clipboard
    fake::set_clipboard_text("hello >>signoff\n");
    EXPECT_EQ(te_watch_pass(), 1);
    EXPECT_NE(std::string(te_stats_json()).find("\"last_app\":\"EDITOR.EXE\""), std::string::npos);
}

TEST_F(Watch, ExpandIgnoresRulesAndKeepsLastApp) {
    ASSERT_EQ(te_snippet_add(snippet("only", "O", "", "calc").c_str()), 1);
    EXPECT_EQ(te_watch_pass_text(">>addr", "WORD.EXE"), 1);
    EXPECT_EQ(te_expand("only"), 1);
    EXPECT_EQ(fake::typed_text(), std::string(kAddress) + "O");
    std::string stats = te_stats_json();
    EXPECT_NE(stats.find("\"last_trigger\":\"only\",\"last_app\":\"WORD.EXE\""), std::string::npos) << stats;
    EXPECT_EQ(te_expand(""), 0);
    EXPECT_STREQ(te_last_error(), "expand: null trigger");
    EXPECT_EQ(te_expand("nope"), 0);
    EXPECT_STREQ(te_last_error(), "no such trigger: nope");
}

TEST_F(Watch, InvalidProgramNamesAreRepairedInStats) {
    std::string name = "BAD\xFF" + std::string(300, 'N');
    EXPECT_EQ(te_watch_pass_text(">>addr", name.c_str()), 1);
    std::string stats = te_stats_json();
    EXPECT_NE(stats.find("\"last_app\":\"BAD\xEF\xBF\xBDNNN"), std::string::npos);
}

// A snippet picked by its trigger expands as that trigger typed in the
// program in front would: that program's rules and the snippet's apps list
// apply, the caret goes back to {cursor}, the program is recorded; and it
// is the picked snippet, never an earlier one whose trigger ends its own.
TEST_F(Watch, ExpandInFrontAppliesTheRulesOfThatProgram) {
    ASSERT_EQ(te_snippet_add(snippet("sig", "short").c_str()), 1);
    ASSERT_EQ(te_snippet_add(snippet(";sig", "Regards,{cursor} Anna").c_str()), 1);
    ASSERT_EQ(te_snippet_add(snippet("mailonly", "M", "", "mail").c_str()), 1);
    ASSERT_EQ(te_rule_set("blocked", "{\"allow\":false}"), 1);
    ASSERT_EQ(te_rule_set("strict", "{\"prefix\":\";\"}"), 1);
    struct {
        const char* front;
        const char* trigger;
        int result;
        const char* window;
        const char* message;
    } cases[] = {
        {"editor.exe", ";sig", 1, "Regards,| Anna", ""},
        {"strict.exe", ";sig", 1, "Regards,| Anna", ""},
        {"blocked.exe", ";sig", 0, "", "snippets are blocked in BLOCKED.EXE"},
        {"editor.exe", "mailonly", 0, "", "mailonly is not for EDITOR.EXE"},
        {"mail", "mailonly", 1, "M|", ""},
        {"strict.exe", "sig", 0, "", "triggers in STRICT.EXE begin with ;"},
        {"editor.exe", "nope", -1, "", "no such trigger: nope"},
        {"", "mailonly", 1, "M|", ""},  // no program told: no filters
    };
    for (const auto& c : cases) {
        fake::reset();
        if (c.front[0]) fake::set_foreground(c.front);
        else fake::set_no_foreground();
        EXPECT_EQ(te_expand_in_front(c.trigger), c.result) << c.front << " " << c.trigger;
        if (c.result == 1 && c.front[0]) {
            EXPECT_EQ(fake::window_with_caret(), c.window) << c.front;
        }
        if (c.result != 1) {
            EXPECT_EQ(fake::type_calls(), 0) << c.front;
        }
        if (c.message[0]) {
            EXPECT_STREQ(te_last_error(), c.message);
        }
    }
    std::string stats = te_stats_json();
    EXPECT_NE(stats.find("\"expanded\":4,\"today\":4,\"last_trigger\":\"mailonly\",\"last_app\":\"MAIL\""),
              std::string::npos)
        << stats;
}
