// Building and reading the small JSON texts te exchanges with the engine.
#ifndef TE_TOOL_JSON_TEXT_H
#define TE_TOOL_JSON_TEXT_H

#include <string>

struct yyjson_mut_doc;
struct yyjson_mut_val;
struct yyjson_doc;
struct yyjson_val;

// A flat JSON object, members in the order added.
class te_json_builder {
public:
    te_json_builder();
    ~te_json_builder();
    te_json_builder(const te_json_builder&) = delete;
    te_json_builder& operator=(const te_json_builder&) = delete;

    void add(const char* key, const std::string& value);
    void add(const char* key, const char* value) { add(key, std::string(value)); }
    void add(const char* key, long long value);
    void add(const char* key, int value) { add(key, (long long)value); }
    void add(const char* key, bool value);
    // The compact text; empty when a string is not valid UTF-8.
    std::string text() const;

private:
    yyjson_mut_doc* doc_;
    yyjson_mut_val* root_;
};

// A JSON object text, parsed once; members read with a fallback.
class te_json_object {
public:
    explicit te_json_object(const char* text);
    ~te_json_object();
    te_json_object(const te_json_object&) = delete;
    te_json_object& operator=(const te_json_object&) = delete;

    bool valid() const;  // the text was a JSON object
    bool has(const char* key) const;
    std::string str(const char* key, const std::string& fallback = "") const;
    long long num(const char* key, long long fallback = 0) const;

private:
    yyjson_doc* doc_;
    yyjson_val* root_;
};

// The snippet object the engine takes: trigger and text, and folder and
// apps when given (null: left to the engine's defaults). Empty when a
// string is not valid UTF-8.
std::string te_snippet_object(const std::string& trigger, const std::string& text, const std::string* folder,
                              const std::string* apps);

// The JSON object `object` with the member `key` added, its value the JSON
// text `value`. Empty when either is not valid JSON (or `object` is empty).
std::string te_json_with_member(const std::string& object, const char* key, const std::string& value);

#endif
