// The snippet object: which members count and how they are measured.
#include <string>

#include <gtest/gtest.h>

#include "engine.h"
#include "test_support.h"
#include "textexpander.h"

using namespace te_test;

namespace {

// Adds `json` and returns the message of a refusal, or "" on success.
std::string add_result(const std::string& json) {
    if (te_snippet_add(json.c_str())) return "";
    return te_last_error();
}

}  // namespace

TEST(SnippetObject, RefusalsAndTheirMessages) {
    EXPECT_EQ(add_result("[]"), "snippet must be a JSON object");
    EXPECT_EQ(add_result("\"x\""), "snippet must be a JSON object");
    EXPECT_EQ(add_result("5"), "snippet must be a JSON object");
    EXPECT_EQ(add_result("{}"), "snippet missing 'trigger'");
    EXPECT_EQ(add_result("{\"Trigger\":\"a\"}"), "snippet missing 'trigger'");
    EXPECT_EQ(add_result("{\"trigger\":1,\"trigger\":\"a\"}"), "snippet missing 'trigger'");
    EXPECT_EQ(add_result("{\"trigger\":\"\\u0000abc\"}"), "snippet missing 'trigger'");
    EXPECT_EQ(add_result("{\"trigger\":\"a\",}"), "snippet json parse failed");
    EXPECT_EQ(add_result("{\"trigger\":\"\xFF\"}"), "snippet json parse failed");
    EXPECT_EQ(add_result(""), "add: empty json");
    EXPECT_EQ(te_snippet_count(), 3);
}

TEST(SnippetObject, LengthLimits) {
    EXPECT_EQ(add_result(snippet(std::string(255, 't'))), "");
    EXPECT_EQ(add_result(snippet(std::string(256, 'u'))), "trigger too long (max 255)");
    EXPECT_EQ(add_result(snippet("t65535", std::string(65535, 'x'))), "");
    EXPECT_EQ(std::string(te_snippet_field(4, "text")).size(), 65535u);
    EXPECT_EQ(add_result(snippet("t65536", std::string(65536, 'x'))), "text too long (max 65535)");
    EXPECT_EQ(te_snippet_count(), 5);
}

TEST(SnippetObject, AbsentAndMistypedMembersTakeDefaults) {
    ASSERT_EQ(add_result("{\"trigger\":\"a\",\"trigger\":\"b\",\"text\":5,\"apps\":null}"), "");
    EXPECT_STREQ(te_snippet_field(3, "trigger"), "a");
    EXPECT_STREQ(te_snippet_field(3, "text"), "");
    EXPECT_STREQ(te_snippet_field(3, "folder"), "");
    EXPECT_STREQ(te_snippet_field(3, "apps"), "*");
    ASSERT_EQ(add_result("{\"trigger\":\"e\",\"apps\":\"\",\"text\":\"x\\u0000y\"}"), "");
    EXPECT_STREQ(te_snippet_field(4, "apps"), "");
    EXPECT_STREQ(te_snippet_field(4, "text"), "x");
}

// A snippet's own settings: written after "apps" only when it has some,
// refused when unknown on an edit, passed over in a store file (a newer
// library may have written them).
TEST(SnippetSettings, WrittenOnlyWhenSetRefusedWhenUnknown) {
    const std::string with = "{\"trigger\":\"s\",\"text\":\"\",\"folder\":\"\",\"apps\":\"*\",\"settings\":"
                             "{\"propagate_case\":false,\"word_triggers\":true,\"locale\":\"C\"}}";
    ASSERT_EQ(add_result("{\"trigger\":\"s\",\"settings\":{\"locale\":\"C\",\"word_triggers\":true,"
                         "\"propagate_case\":false}}"),
              "");
    EXPECT_STREQ(te_snippet_json("s"), with.c_str());
    ASSERT_EQ(add_result("{\"trigger\":\"n\",\"settings\":{}}"), "");
    EXPECT_STREQ(te_snippet_json("n"), "{\"trigger\":\"n\",\"text\":\"\",\"folder\":\"\",\"apps\":\"*\"}");
    const struct {
        const char* settings;
        const char* message;
    } refused[] = {
        {"[]", "snippet settings must be a JSON object"},
        {"{\"word_trigger\":true}", "unknown snippet setting: word_trigger"},
        {"{\"propagate_case\":1}", "snippet setting 'propagate_case' must be true or false"},
        {"{\"locale\":true}", "snippet setting 'locale' must be a string"},
        {"{\"locale\":\"xx_NOWHERE\"}", "unknown locale: xx_NOWHERE"},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(add_result(std::string("{\"trigger\":\"r\",\"settings\":") + r.settings + "}"), r.message);
        EXPECT_EQ(te_snippet_update("s", (std::string("{\"trigger\":\"s\",\"settings\":") + r.settings + "}").c_str()),
                  0);
    }
    EXPECT_STREQ(te_snippet_json("s"), with.c_str());
    write_file(store_path(), "{\"snippets\":[{\"trigger\":\"f\",\"settings\":{\"future\":1,\"word_triggers\":true,"
                             "\"locale\":\"xx_NOWHERE\"}}]}");
    EXPECT_STREQ(te_snippet_json("f"), "{\"trigger\":\"f\",\"text\":\"\",\"folder\":\"\",\"apps\":\"*\",\"settings\":"
                                       "{\"word_triggers\":true,\"locale\":\"xx_NOWHERE\"}}");
}

// The settings for all snippets are strict JSON: a value of another type
// or an unknown locale refuses the start, and nothing of it is applied.
TEST(SnippetSettings, StartRefusesSettingsOfAnotherType) {
    const struct {
        const char* config;
        const char* message;
    } refused[] = {
        {"{\"mode\":\"hotkey\",\"propagate_case\":\"true\"}", "propagate_case must be true or false"},
        {"{\"mode\":\"hotkey\",\"word_triggers\":1}", "word_triggers must be true or false"},
        {"{\"mode\":\"hotkey\",\"undo_backspace\":null}", "undo_backspace must be true or false"},
        {"{\"mode\":\"hotkey\",\"locale\":[]}", "locale must be a string"},
        {"{\"mode\":\"hotkey\",\"locale\":\"xx_NOWHERE\"}", "unknown locale: xx_NOWHERE"},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(te_start(r.config), 0) << r.config;
        EXPECT_STREQ(te_last_error(), r.message);
    }
    {
        te_engine_guard g(te_engine_lock);
        EXPECT_EQ(E.mode, TE_MODE_CLIPBOARD);
    }
    ASSERT_EQ(te_start("{\"propagate_case\":true,\"word_triggers\":false,\"undo_backspace\":false,\"locale\":\"C\"}"),
              1);
    te_stop();
    te_engine_guard g(te_engine_lock);
    EXPECT_EQ(E.propagate_case + E.word_triggers * 2 + E.undo_backspace * 4, 1);
    EXPECT_STREQ(E.locale, "C");
}
