// Template rendering.
#include <string>

#include <gtest/gtest.h>

#include "fake_desktop.h"
#include "render.h"
#include "textexpander.h"

namespace {

class Render : public testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        std::tm t{};
        t.tm_year = 126;
        t.tm_mon = 11;
        t.tm_mday = 8;
        t.tm_hour = 7;
        t.tm_min = 5;
        t.tm_sec = 9;
        fake::set_local_time(t);
    }
    static std::string render(const std::string& tmpl) { return te_render(tmpl.c_str()); }
};

}  // namespace

TEST_F(Render, PlaceholdersFromOneClockReading) {
    EXPECT_EQ(render("{date} {time} {year}"), "2026-12-08 07:05:09 2026");
    EXPECT_EQ(render("{{date}}"), "{2026-12-08}");
    EXPECT_EQ(render("{a{date}"), "{a2026-12-08");
    EXPECT_EQ(render(""), "");
}

TEST_F(Render, UnknownNamesAndUnclosedBracesAreText) {
    for (const char* t : {"{Date}", "{DATE}", "{dates}", "{dat}", "{date }", "{}", "{random}", "{random66}",
                          "{clipboardx}", "{ no close", "a{b{c"})
        EXPECT_EQ(render(t), t);
    std::string long_name = "{" + std::string(64, 'x') + "}{date}";
    EXPECT_EQ(render(long_name), "{" + std::string(64, 'x') + "}2026-12-08");
}

TEST_F(Render, ClipboardIsReadOnceAndInsertedAsIs) {
    EXPECT_EQ(render("[{clipboard}]"), "[{clipboard}]");  // no text
    fake::set_clipboard_text("");
    EXPECT_EQ(render("[{clipboard}]"), "[]");
    fake::set_clipboard_text("x{date}y");
    int reads = fake::clipboard_reads();
    EXPECT_EQ(render("{clipboard}{clipboard}"), "x{date}yx{date}y");
    EXPECT_EQ(fake::clipboard_reads(), reads + 1);
    fake::set_clipboard_text(std::string(70000, 'c'));
    EXPECT_EQ(render("{clipboard}"), "");
    EXPECT_EQ(render("Hello {clipboard} world"), "Hello ");
}

TEST_F(Render, RandomSixFollowsTheGenerator) {
    te_random_seed_set(1);
    EXPECT_EQ(render("{random6}-{random6}-{random6}"), "016838-038526-010113");
    te_random_seed_set(0);
    fake::set_millis(77);
    std::string r = render("{random6}");
    ASSERT_EQ(r.size(), 6u);
    EXPECT_EQ(r[0], '0');
}

TEST_F(Render, OutputBoundCutsAtCharacterBoundaries) {
    EXPECT_EQ(render(std::string(70000, 'p')).size(), 69631u);
    std::string almost(69630, 'p');
    EXPECT_EQ(render(almost + "{date}tail"), almost);
    // A two-byte character straddling the bound is left out whole.
    std::string straddle = std::string(69630, 'p') + "\xC3\xA9" + "zz";
    EXPECT_EQ(render(straddle), std::string(69630, 'p'));
}

TEST_F(Render, NullTemplateAndTemplateInTheResultBuffer) {
    EXPECT_EQ(te_render(nullptr), nullptr);
    EXPECT_STREQ(te_last_error(), "render: null template");
    const char* first = te_render("{year}|{year}");
    EXPECT_STREQ(te_render(first), "2026|2026");
}

TEST_F(Render, LongRunsOfBracesStayLinear) {
    // Not a timing test: checks the result; the benchmark checks the time.
    std::string braces(65535, '{');
    EXPECT_EQ(render(braces), braces);
    EXPECT_EQ(render(braces + "}"), braces + "}");
    EXPECT_EQ(render("{" + std::string(10000, 'x')), "{" + std::string(10000, 'x'));
}
