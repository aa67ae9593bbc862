// Bad input for every export: null, empty, 1 MiB and 16 MiB texts, invalid
// UTF-8, and JSON of every wrong type where a call takes JSON. A call that
// fails leaves its exact message; no call changes the stored snippets (the
// table and the store file are compared before and after each case), and
// the calls without arguments still answer afterwards.
#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <yyjson.h>

#include "fake_desktop.h"
#include "test_support.h"
#include "textexpander.h"

using namespace te_test;

namespace {

const std::string MIB1(1u << 20, 'a');
const std::string MIB16(16u << 20, 'a');
const char* const BAD_UTF8 = "\xff\xfe\xc3";
const std::string REPAIRED = "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD";  // BAD_UTF8 as the messages show it
const std::vector<std::string> NOT_OBJECTS = {"null", "true", "false", "0", "-1.5e3", "\"text\"", "[]", "[{}]"};
const std::vector<std::string> NOT_ARRAYS = {"null", "true", "0", "1.5", "\"text\"", "{}", "{\"snippets\":[]}"};
const std::vector<std::string> NOT_JSON = {MIB1, MIB16, BAD_UTF8, "{\"trigger\":\"\xff\"}", "{", "[1,]", "{}x"};

// Messages are cut to 255 bytes.
std::string cut(const std::string& message) { return message.substr(0, 255); }

struct bad_call {
    std::string what;
    std::function<bool()> fails;  // makes the call; true when it reported a failure
    std::string message;          // the exact message; empty when the call succeeds
};

struct stored {
    std::string table, file;
    bool operator==(const stored& o) const { return table == o.table && file == o.file; }
};

stored stored_now() {
    const char* t = te_snippets_json();
    return {t ? t : "(null)", read_file(store_path())};
}

std::string text_of(const char* p) { return p ? p : "(null)"; }

bool parses(const char* json) {
    yyjson_doc* doc = json ? yyjson_read(json, std::strlen(json), 0) : nullptr;
    yyjson_doc_free(doc);
    return doc != nullptr;
}

// The argument-free calls answer as they should after any bad input.
void expect_readers_answer() {
    EXPECT_EQ(te_status(), 0);
    EXPECT_EQ(te_stop(), 1);
    EXPECT_GE(te_snippet_count(), 1);
    EXPECT_TRUE(parses(te_snippets_json()));
    EXPECT_TRUE(parses(te_rules_json()));
    EXPECT_TRUE(parses(te_stats_json()));
    EXPECT_NE(te_last_expanded(), nullptr);
    EXPECT_NE(te_last_error(), nullptr);
}

void run_table(const std::vector<bad_call>& table) {
    for (const bad_call& c : table) {
        SCOPED_TRACE(c.what.substr(0, 80));
        te_snippet_delete("\x01sentinel");  // a known message to tell a new one from
        stored before = stored_now();
        std::string rules_before = text_of(te_rules_json());
        bool failed = c.fails();
        if (c.message.empty()) {
            EXPECT_FALSE(failed);
        } else {
            EXPECT_TRUE(failed);
            EXPECT_EQ(te_last_error(), c.message);
            EXPECT_EQ(text_of(te_rules_json()), rules_before);
        }
        EXPECT_TRUE(stored_now() == before) << "the stored snippets changed";
        expect_readers_answer();
    }
}

// Every bad snippet object, as add and update both refuse them.
std::vector<std::pair<std::string, std::string>> bad_snippet_objects() {
    std::vector<std::pair<std::string, std::string>> out;
    for (const std::string& j : NOT_JSON) out.push_back({j, "snippet json parse failed"});
    for (const std::string& j : NOT_OBJECTS) out.push_back({j, "snippet must be a JSON object"});
    for (const char* t : {"{}", "{\"trigger\":1}", "{\"trigger\":null}", "{\"trigger\":[]}", "{\"trigger\":{}}",
                          "{\"trigger\":\"\"}", "{\"trigger\":\"\\u0000x\"}", "{\"Trigger\":\"x\"}"})
        out.push_back({t, "snippet missing 'trigger'"});
    out.push_back({"{\"trigger\":\"" + MIB1 + "\"}", "trigger too long (max 255)"});
    out.push_back({"{\"trigger\":\"k\",\"text\":\"" + MIB1 + "\"}", "text too long (max 65535)"});
    out.push_back({"{\"trigger\":\"k\",\"text\":\"" + MIB16 + "\"}", "text too long (max 65535)"});
    return out;
}

// The messages that echo a trigger or field name, for each bad text.
std::vector<std::pair<const char*, std::string>> echoed_texts() {
    return {{"", ""}, {MIB1.c_str(), MIB1}, {MIB16.c_str(), MIB16}, {BAD_UTF8, REPAIRED}};
}

class BadInput : public testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        ASSERT_EQ(te_snippet_add(snippet(";base", "kept text", "kept").c_str()), 1);
    }
    void TearDown() override { te_stop(); }
};

}  // namespace

TEST_F(BadInput, SnippetAddAndUpdate) {
    std::vector<bad_call> t = {
        {"add null", [] { return te_snippet_add(nullptr) == 0; }, "add: empty json"},
        {"add empty", [] { return te_snippet_add("") == 0; }, "add: empty json"},
        {"update null trigger", [] { return te_snippet_update(nullptr, "{\"trigger\":\"z\"}") == 0; },
         "update: null trigger"},
        {"update empty trigger", [] { return te_snippet_update("", "{\"trigger\":\"z\"}") == 0; },
         "update: null trigger"},
        {"update null json", [] { return te_snippet_update(";base", nullptr) == 0; }, "update: empty json"},
        {"update empty json", [] { return te_snippet_update(";base", "") == 0; }, "update: empty json"},
    };
    for (auto& e : echoed_texts()) {
        if (!*e.first) continue;
        const char* trig = e.first;
        t.push_back({"update unknown trigger", [trig] { return te_snippet_update(trig, "{\"trigger\":\"z\"}") == 0; },
                     cut("no such trigger: " + e.second)});
    }
    for (auto& o : bad_snippet_objects()) {
        std::string json = o.first;
        t.push_back({"add " + json, [json] { return te_snippet_add(json.c_str()) == 0; }, o.second});
        t.push_back({"update " + json, [json] { return te_snippet_update(";base", json.c_str()) == 0; }, o.second});
    }
    run_table(t);
}

TEST_F(BadInput, SnippetDeleteJsonExpandAndField) {
    std::vector<bad_call> t = {
        {"delete null", [] { return te_snippet_delete(nullptr) == 0; }, "delete: null trigger"},
        {"json null", [] { return te_snippet_json(nullptr) == nullptr; }, "no such trigger: "},
        {"expand null", [] { return te_expand(nullptr) == 0; }, "expand: null trigger"},
        {"expand empty", [] { return te_expand("") == 0; }, "expand: null trigger"},
        {"field null", [] { return te_snippet_field(0, nullptr) == nullptr; }, "null field"},
        {"field index -1", [] { return te_snippet_field(-1, "text") == nullptr; }, "snippet index out of range: -1"},
        {"field index INT_MIN", [] { return te_snippet_field(INT_MIN, "text") == nullptr; },
         "snippet index out of range: " + std::to_string(INT_MIN)},
        {"field index INT_MAX", [] { return te_snippet_field(INT_MAX, "text") == nullptr; },
         "snippet index out of range: " + std::to_string(INT_MAX)},
        {"field index count", [] { return te_snippet_field(te_snippet_count(), "text") == nullptr; },
         "snippet index out of range: " + std::to_string(te_snippet_count())},
    };
    for (auto& e : echoed_texts()) {
        const char* s = e.first;
        std::string missing = cut("no such trigger: " + e.second);
        t.push_back({"delete", [s] { return te_snippet_delete(s) == 0; }, missing});
        t.push_back({"json", [s] { return te_snippet_json(s) == nullptr; }, missing});
        if (*s) t.push_back({"expand", [s] { return te_expand(s) == 0; }, missing});
        t.push_back({"field name", [s] { return te_snippet_field(0, s) == nullptr; }, cut("unknown field: " + e.second)});
    }
    run_table(t);
}

TEST_F(BadInput, SnippetImport) {
    std::vector<bad_call> t = {
        {"null", [] { return te_snippet_import(nullptr) == 0; }, "import: empty json"},
        {"empty", [] { return te_snippet_import("") == 0; }, "import: empty json"},
    };
    for (const std::string& j : NOT_JSON)
        t.push_back({j, [j] { return te_snippet_import(j.c_str()) == 0; }, "import: bad json array"});
    for (const std::string& j : NOT_ARRAYS)
        t.push_back({j, [j] { return te_snippet_import(j.c_str()) == 0; }, "import: expected JSON array"});
    // Elements that are refused one by one: nothing is added, the store is
    // rewritten with the same table, and the last refusal's message stays.
    for (auto& o : bad_snippet_objects()) {
        if (o.second == "snippet json parse failed") continue;
        std::string arr = "[" + o.first + "]";
        t.push_back({arr, [arr] { return te_snippet_import(arr.c_str()) == 0; }, o.second});
    }
    run_table(t);
}

TEST_F(BadInput, RuleSet) {
    std::vector<bad_call> t = {
        {"null process", [] { return te_rule_set(nullptr, "{}") == 0; }, "rule: null process"},
        {"empty process", [] { return te_rule_set("", "{}") == 0; }, "rule: null process"},
        {"invalid process", [] { return te_rule_set(BAD_UTF8, "{}") == 0; }, "rule: invalid UTF-8"},
        {"empty json", [] { return te_rule_set("APP.EXE", "") == 0; }, "rule json parse failed"},
        {"1 MiB process", [] { return te_rule_set(MIB1.c_str(), "{\"allow\":false}") == 0; }, ""},
        {"16 MiB prefix", [] { return te_rule_set("LONG.EXE", ("{\"prefix\":\"" + MIB16 + "\"}").c_str()) == 0; },
         ""},
        {"wrong member types", [] { return te_rule_set("APP.EXE", "{\"allow\":\"no\",\"prefix\":1}") == 0; }, ""},
    };
    for (const std::string& j : NOT_JSON)
        t.push_back({j, [j] { return te_rule_set("APP.EXE", j.c_str()) == 0; }, "rule json parse failed"});
    for (const std::string& j : NOT_OBJECTS)
        t.push_back({j, [j] { return te_rule_set("APP.EXE", j.c_str()) == 0; }, "rule must be a JSON object"});
    run_table(t);
    std::string rules = te_rules_json();
    EXPECT_EQ(rules.find(std::string(128, 'A')), std::string::npos) << "a process name was not cut to 127 bytes";
    EXPECT_NE(rules.find("\"prefix\":\"" + std::string(31, 'a') + "\""), std::string::npos);
}

TEST_F(BadInput, StartConfiguration) {
    auto starts = [](const std::string* json) {
        return [json] {
            int r = te_start(json ? json->c_str() : nullptr);
            te_stop();
            return r == 0;
        };
    };
    static const std::string empty, long_store = "{\"store\":\"" + MIB1 + "\"}",
                                    long_hotkey = "{\"hotkey\":\"" + MIB16 + "\"}",
                                    wrong_types = "{\"mode\":1,\"hotkey\":[],\"poll_ms\":\"9\",\"dry_run\":1,\"store\":{}}";
    std::vector<bad_call> t = {
        {"null", starts(nullptr), ""},
        {"empty", starts(&empty), ""},
        {"1 MiB store path", starts(&long_store), "store path too long (max 1023)"},
        {"16 MiB hotkey", starts(&long_hotkey), ""},
        {"wrong member types", starts(&wrong_types), ""},
    };
    for (const std::string& j : NOT_JSON) t.push_back({j, starts(&j), "config json parse failed"});
    for (const std::string& j : NOT_OBJECTS) t.push_back({j, starts(&j), "config must be a JSON object"});
    run_table(t);
}

TEST_F(BadInput, RenderMatchAndWatchPasses) {
    fake::set_clipboard_text(MIB16);  // beyond what a clipboard read takes
    std::string long_tail = MIB16 + " ;base";
    std::vector<bad_call> t = {
        {"render null", [] { return te_render(nullptr) == nullptr; }, "render: null template"},
        {"render empty", [] { return std::string(te_render("")) != ""; }, ""},
        {"render 16 MiB", [] { return std::string(te_render(MIB16.c_str())) != MIB16.substr(0, 69631); }, ""},
        {"render invalid", [] { return std::string(te_render(BAD_UTF8)) != BAD_UTF8; }, ""},
        {"render 1 MiB of placeholders",
         [] {
             std::string many;
             while (many.size() < MIB1.size()) many += "{date}{clipboard}{random6}";
             return std::string(te_render(many.c_str())).size() > 69631;
         },
         ""},
        {"match nulls", [] { return te_match_trailing_trigger(nullptr, "x") || te_match_trailing_trigger("x", nullptr); },
         ""},
        {"match empties", [] { return te_match_trailing_trigger("", "x") || te_match_trailing_trigger("x", ""); }, ""},
        {"match 16 MiB",
         [&long_tail] { return te_match_trailing_trigger(long_tail.c_str(), ";base") != long_tail.c_str() + MIB16.size() + 1; },
         ""},
        {"match invalid", [] { return te_match_trailing_trigger(BAD_UTF8, BAD_UTF8) != BAD_UTF8; }, ""},
        {"pass null", [] { return te_watch_pass_text(nullptr, nullptr) != 0; }, ""},
        {"pass empty", [] { return te_watch_pass_text("", "") != 0; }, ""},
        {"pass 16 MiB", [&long_tail] { return te_watch_pass_text(long_tail.c_str(), MIB1.c_str()) != 1; }, ""},
        {"pass invalid program", [] { return te_watch_pass_text("x ;base", BAD_UTF8) != 1; }, ""},
        {"clipboard pass, 16 MiB clipboard", [] { return te_watch_pass() != 0; }, ""},
        {"clipboard pass, invalid clipboard",
         [] {
             fake::set_clipboard_text(std::string(BAD_UTF8) + " ;base");
             fake::set_foreground(BAD_UTF8);
             return te_watch_pass() != 1;
         },
         ""},
    };
    run_table(t);
    std::string stats = te_stats_json();
    EXPECT_NE(stats.find("\"last_app\":\"" + REPAIRED + "\""), std::string::npos) << stats;
}
