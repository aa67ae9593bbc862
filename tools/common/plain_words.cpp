#include "plain_words.h"

namespace {

// One library message (a whole text, or its start up to the detail), what
// the hosts say instead ("%s" takes the detail), and the field it is about.
struct te_translation {
    const char* library;
    bool has_detail;
    const char* plain;
    const char* field;
};

const char* const TE_SNIPPET_JSON = "Write the snippet as a JSON object, such as {\"trigger\":\">>hi\",\"text\":\"Hello\"}.";

const te_translation TE_TRANSLATIONS[] = {
    {"snippet missing 'trigger'", false,
     "Give the snippet a trigger: the short text you type to have it expanded, such as >>hi.", "trigger"},
    {"trigger already exists: ", true, "%s is a trigger already: choose another one, or change that snippet instead.",
     "trigger"},
    {"trigger too long (max 255)", false, "The trigger is too long: 255 bytes at most.", "trigger"},
    {"text too long (max 65535)", false, "The text is too long: 65535 bytes at most.", "text"},
    {"snippet json parse failed", false, TE_SNIPPET_JSON, ""},
    {"snippet must be a JSON object", false, TE_SNIPPET_JSON, ""},
    {"add: empty json", false, TE_SNIPPET_JSON, ""},
    {"update: empty json", false, TE_SNIPPET_JSON, ""},
    {"snippet limit reached", false, "The store is full (4096 snippets): delete some first.", ""},
    {"unknown locale: ", true, "%s is not a locale known here: give one such as de_DE (`locale -a` lists them).",
     "locale"},
    {"locale too long", true, "The locale is too long: give one such as de_DE.", "locale"},
};

bool te_starts_with(const std::string& s, const char* prefix) { return s.compare(0, std::string(prefix).size(), prefix) == 0; }

const te_translation* te_translation_of(const std::string& message) {
    for (const te_translation& t : TE_TRANSLATIONS)
        if (t.has_detail ? te_starts_with(message, t.library) : message == t.library) return &t;
    return nullptr;
}

}  // namespace

std::string te_plain_words(const std::string& library_message) {
    const te_translation* t = te_translation_of(library_message);
    if (!t) return library_message;
    std::string plain = t->plain;
    std::string::size_type at = plain.find("%s");
    if (at != std::string::npos) plain.replace(at, 2, library_message.substr(std::string(t->library).size()));
    return plain;
}

std::string te_message_field(const std::string& library_message) {
    const te_translation* t = te_translation_of(library_message);
    return t ? t->field : "";
}
