// The placeholders beyond the five: dates and times in any form and with
// offsets, month and day names of two locales, the caret, and snippets
// inside snippets. LOCPATH holds a de_DE.UTF-8 compiled for the tests.
#include <string>

#include <gtest/gtest.h>

#include "fake_desktop.h"
#include "render.h"
#include "test_support.h"
#include "textexpander.h"

using te_test::snippet;

// For LeakSanitizer builds: glibc's newlocale() keeps the search path it
// builds from LOCPATH and never frees it (without LOCPATH it builds none).
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:__argz_add_sep\n";
}

namespace {

std::tm te_clock(int year, int month, int day, int hour = 7, int minute = 5, int second = 9) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

class RenderForms : public testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        fake::set_local_time(te_clock(2026, 12, 8));  // a Tuesday
    }
    static std::string render(const std::string& tmpl) { return te_render(tmpl.c_str()); }
};

struct te_render_case {
    std::tm clock;
    const char* tmpl;
    const char* locale;  // te_start's "locale"
    const char* out;
};

}  // namespace

TEST_F(RenderForms, FormatsOffsetsAndLocales) {
    const std::tm tue = te_clock(2026, 12, 8);
    const te_render_case cases[] = {
        {tue, "{date:%A %-d %B %Y}", "C", "Tuesday 8 December 2026"},
        {tue, "{date:%a %d %b %y|%e|%D}", "C", "Tue 08 Dec 26| 8|12/08/26"},
        {tue, "{time:%I:%M %p}{time:%-l%P}{time:%R}", "C", "07:05 AM7am07:05"},
        {tue, "{date:%j %u %w %U %W %V %G %C}", "C", "342 2 2 49 49 50 2026 20"},
        {tue, "{date:%%d %Q %^B %_m %-m}", "C", "%d %Q DECEMBER 12 12"},
        {tue, "{date+14d} {date-1w:%F} {date+1m} {date+1y} {date-10000d}", "C",
         "2026-12-22 2026-12-01 2027-01-08 2027-12-08 1999-07-23"},
        {tue, "{time+90m} {time-8h:%F %T} {time+59999m:%F %R}", "C", "08:35:09 2026-12-07 23:05:09 2027-01-18 23:04"},
        {te_clock(2024, 1, 31), "{date+1m} {date+13m} {date-11m:%F %a}", "C", "2024-02-29 2025-02-28 2023-02-28 Tue"},
        {te_clock(2024, 2, 29), "{date+1y} {date-4y} {date+1d}", "C", "2025-02-28 2020-02-29 2024-03-01"},
        {te_clock(2025, 12, 31, 23, 30), "{time+1h:%F %T} {date+1d:%G-W%V}", "C", "2026-01-01 00:30:09 2026-W01"},
        {tue, "{date:%A, %-d. %B %Y}", "de_DE", "Dienstag, 8. Dezember 2026"},
        {te_clock(2026, 3, 2), "{date:%a %b %B}{time:%p}", "de_DE.UTF-8", "Mo Mär März"},
        // New spellings only: all of these stay text.
        {tue, "{date:}{date+14}{date+1h}{time+1d}{date+14d:}{date+123456d}{date:{x}{Cursor}{snippet:}", "C",
         "{date:}{date+14}{date+1h}{time+1d}{date+14d:}{date+123456d}{date:{x}{Cursor}{snippet:}"},
    };
    for (const te_render_case& c : cases) {
        fake::set_local_time(c.clock);
        ASSERT_EQ(te_start((std::string("{\"locale\":\"") + c.locale + "\",\"dry_run\":true}").c_str()), 1);
        te_stop();
        EXPECT_EQ(render(c.tmpl), c.out) << c.tmpl;
    }
}

TEST_F(RenderForms, SnippetsInsideSnippetsCyclesAndDepth) {
    for (const std::string& s :
         {snippet("sig", "Ana {snippet:co}"), snippet("co", "Velmora {date:%Y}"), snippet("a", "A{snippet:b}"),
          snippet("b", "B{snippet:a}"), snippet("d1", "1{snippet:d2}"), snippet("d2", "2{snippet:d3}"),
          snippet("d3", "3{snippet:d4}"), snippet("d4", "4{snippet:d5}"), snippet("d5", "5{snippet:d6}"),
          snippet("d6", "6")})
        ASSERT_EQ(te_snippet_add(s.c_str()), 1) << s;
    EXPECT_EQ(render("Hi {snippet:sig}."), "Hi Ana Velmora 2026.");
    EXPECT_EQ(render("{snippet:a}|{snippet:a}"), "AB{snippet:a}|AB{snippet:a}");
    EXPECT_EQ(render("{snippet:d1}"), "1234{snippet:d5}");
    EXPECT_EQ(render("{snippet:nope}{snippet:SIG}"), "{snippet:nope}{snippet:SIG}");
}

// Put-in snippets count their templates: a rendering reads at most
// TE_NEST_BUDGET bytes of them, and its text stays within the bound, cut
// at a character boundary.
TEST_F(RenderForms, NestedTextStaysWithinTheBounds) {
    fake::set_clipboard_text("");
    std::string nothing;
    while (nothing.size() + 11 <= 65535) nothing += "{clipboard}";
    ASSERT_EQ(te_snippet_add(snippet("none", nothing).c_str()), 1);
    ASSERT_EQ(te_snippet_add(snippet("t", "T").c_str()), 1);
    EXPECT_EQ(render("{snippet:none}{snippet:none}{snippet:none}{snippet:none}{snippet:none}{snippet:t}"),
              "{snippet:none}T");
    std::string accents;
    for (int i = 0; i < 32767; i++) accents += "\xC3\xA9";
    ASSERT_EQ(te_snippet_add(snippet("big", accents).c_str()), 1);
    std::string out = render("{snippet:big}{snippet:big}{snippet:big}");
    EXPECT_EQ(out.size(), 69631u - 1);
    EXPECT_EQ(out.substr(out.size() - 2), "\xC3\xA9");
}

TEST_F(RenderForms, CursorIsTheFirstOneAndTypedTextLeavesItOut) {
    ASSERT_EQ(te_snippet_add(snippet("in", "[{cursor}]").c_str()), 1);
    ASSERT_EQ(te_snippet_add(snippet("dear", "Dear {cursor},\r\nsee {snippet:in} {cursor}").c_str()), 1);
    EXPECT_EQ(render("{snippet:dear}"), "Dear ,\r\nsee [{cursor}] {cursor}");
    fake::set_foreground("editor.exe");
    ASSERT_EQ(te_expand("dear"), 1);
    EXPECT_EQ(fake::window_with_caret(), "Dear |,\r\nsee [{cursor}] {cursor}");
    EXPECT_STREQ(te_last_expanded(), "Dear ,\r\nsee [{cursor}] {cursor}");
}
