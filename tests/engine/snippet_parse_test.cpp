// The snippet object: which members count and how they are measured.
#include <string>

#include <gtest/gtest.h>

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
