// The library's messages are short, lower-case and in its own terms
// ("snippet missing 'trigger'", "snippet json parse failed"); they stay as
// the public header documents them, and the hosts translate. These are the
// words te and the window both show: what is wrong and what to do.
#ifndef TE_TOOLS_PLAIN_WORDS_H
#define TE_TOOLS_PLAIN_WORDS_H

#include <string>

// The message in plain words; a message with no translation as it is.
std::string te_plain_words(const std::string& library_message);

// The field of a snippet a refused edit's message is about, for the host
// to put the cursor in: "trigger", "text", "locale", or "" for none.
std::string te_message_field(const std::string& library_message);

#endif
