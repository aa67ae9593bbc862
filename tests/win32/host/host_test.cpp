// A Windows host of the real velmora-textexpander.dll, which lies beside
// this program: it loads the library with LoadLibraryW, finds the 21
// functions with GetProcAddress and drives them as a host program does, on
// the desktop it runs on (Wine on a private Xvfb in CI). The cases run in
// order, each building on the last; one line per case, "ok" or "FAIL".
// Exit status 0 when every case passed. Run with TE_HOLD_LOCK_ARG it is
// instead the other process that holds the store's lock for a case.
#include "clipboard_util.h"
#include "edit_window.h"
#include "textexpander.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <thread>
#include <windows.h>

namespace {

const wchar_t* const TE_DLL_NAME = L"velmora-textexpander.dll";
// A user folder name in three scripts, as the store's folder would be for
// such a user.
const wchar_t* const TE_USER_FOLDER = L"Zoë Łukasik Мария 山田";
const char* const TE_MIXED_TEXT = "Grüße, Ωμέγα, Привет, 日本語, مرحبا, שלום 👋🏽 done";
const char* const TE_SIGNATURE = "Ngā mihi, Zoë";
// The child that holds the store's lock: this program run with
// TE_HOLD_LOCK_ARG, the lock file and the name of an event it sets once it
// holds the lock, which it keeps for TE_LOCK_HELD_MS.
const wchar_t* const TE_HOLD_LOCK_ARG = L"--hold-lock";
const DWORD TE_LOCK_HELD_MS = 3000;
// A key that takes longer to reach the EDIT waited for something.
const ULONGLONG TE_KEY_PROMPT_MS = 500;

// The library as a host sees it: its module and its 21 functions, typed
// after the public header.
struct te_api {
    HMODULE module = nullptr;
    decltype(&te_start) start = nullptr;
    decltype(&te_stop) stop = nullptr;
    decltype(&te_status) status = nullptr;
    decltype(&te_match_trailing_trigger) match_trailing_trigger = nullptr;
    decltype(&te_watch_pass_text) watch_pass_text = nullptr;
    decltype(&te_watch_pass) watch_pass = nullptr;
    decltype(&te_expand) expand = nullptr;
    decltype(&te_render) render = nullptr;
    decltype(&te_snippet_count) snippet_count = nullptr;
    decltype(&te_snippet_field) snippet_field = nullptr;
    decltype(&te_snippet_add) snippet_add = nullptr;
    decltype(&te_snippet_update) snippet_update = nullptr;
    decltype(&te_snippet_delete) snippet_delete = nullptr;
    decltype(&te_snippet_json) snippet_json = nullptr;
    decltype(&te_snippets_json) snippets_json = nullptr;
    decltype(&te_snippet_import) snippet_import = nullptr;
    decltype(&te_rule_set) rule_set = nullptr;
    decltype(&te_rules_json) rules_json = nullptr;
    decltype(&te_stats_json) stats_json = nullptr;
    decltype(&te_last_expanded) last_expanded = nullptr;
    decltype(&te_last_error) last_error = nullptr;
};

int te_failures = 0;

void te_report(const char* name, bool ok, const std::string& detail) {
    if (!ok) te_failures++;
    std::printf("%-4s %s%s%s\n", ok ? "ok" : "FAIL", name, detail.empty() ? "" : ": ", detail.c_str());
    std::fflush(stdout);
}

template <typename F>
int te_find(HMODULE module, const char* name, F* out) {
    FARPROC p = GetProcAddress(module, name);
    *out = reinterpret_cast<F>(reinterpret_cast<void*>(p));
    return p != nullptr;
}

// Finds every export; returns how many were found.
int te_find_all(te_api* a) {
    HMODULE m = a->module;
    return te_find(m, "te_start", &a->start) + te_find(m, "te_stop", &a->stop) +
           te_find(m, "te_status", &a->status) +
           te_find(m, "te_match_trailing_trigger", &a->match_trailing_trigger) +
           te_find(m, "te_watch_pass_text", &a->watch_pass_text) +
           te_find(m, "te_watch_pass", &a->watch_pass) + te_find(m, "te_expand", &a->expand) +
           te_find(m, "te_render", &a->render) + te_find(m, "te_snippet_count", &a->snippet_count) +
           te_find(m, "te_snippet_field", &a->snippet_field) +
           te_find(m, "te_snippet_add", &a->snippet_add) +
           te_find(m, "te_snippet_update", &a->snippet_update) +
           te_find(m, "te_snippet_delete", &a->snippet_delete) +
           te_find(m, "te_snippet_json", &a->snippet_json) +
           te_find(m, "te_snippets_json", &a->snippets_json) +
           te_find(m, "te_snippet_import", &a->snippet_import) +
           te_find(m, "te_rule_set", &a->rule_set) + te_find(m, "te_rules_json", &a->rules_json) +
           te_find(m, "te_stats_json", &a->stats_json) +
           te_find(m, "te_last_expanded", &a->last_expanded) +
           te_find(m, "te_last_error", &a->last_error);
}

std::wstring te_folder_of_this_program(void) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

// This program's file name in capitals, as the engine names the program in
// front.
std::string te_this_program_name(void) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    std::string name = te_utf8(s.substr(s.find_last_of(L'\\') + 1));
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
    return name;
}

std::wstring te_environment(const wchar_t* name) {
    wchar_t value[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(value, n) : std::wstring();
}

// Creates every missing folder of an absolute path.
void te_make_folders(const std::wstring& path) {
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
}

// The file's bytes; "<unreadable>" when it cannot be read.
std::string te_read_file(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return "<unreadable>";
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(f, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(f);
    return bytes;
}

// "{"trigger":...,"text":...}" for a trigger and a text free of quotes and
// backslashes.
std::string te_snippet_object(const char* trigger, const char* text) {
    return std::string("{\"trigger\":\"") + trigger + "\",\"text\":\"" + text + "\"}";
}

std::string te_text_of(const te_api& api, const char* trigger) {
    for (int i = 0; i < api.snippet_count(); i++) {
        const char* t = api.snippet_field(i, "trigger");
        if (t && std::strcmp(t, trigger) == 0) {
            const char* text = api.snippet_field(i, "text");
            return text ? text : "<null>";
        }
    }
    return "<missing>";
}

// Pumps messages until the EDIT holds `want` or about five seconds have
// passed; "" when it does, else what it holds.
std::string te_edit_mismatch(te_edit_window& window, const std::string& want) {
    std::wstring wide = te_wide(want);
    std::wstring got = window.text_after_typing(wide.size());
    return got == wide ? std::string() : "the EDIT holds \"" + te_utf8(got) + "\"";
}

// Types `text` key by key with SendInput, as a person would.
void te_type_keys(const wchar_t* text) {
    for (const wchar_t* c = text; *c; c++) {
        te_press_char(*c);
        te_pump_for(10);
    }
}

// Presses the key for `c` and pumps until the EDIT's text changes; the
// milliseconds that took.
ULONGLONG te_press_timed(te_edit_window& window, wchar_t c) {
    std::wstring before = window.text();
    ULONGLONG start = GetTickCount64();
    te_press_char(c);
    while (window.text() == before && GetTickCount64() - start < 5000) {
        te_pump_messages();
        Sleep(1);
    }
    return GetTickCount64() - start;
}

// The child's part: takes the lock as the library does and keeps it.
int te_hold_lock(const wchar_t* path, const wchar_t* event_name) {
    HANDLE f = CreateFileW(path, GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    OVERLAPPED at = {};
    if (f == INVALID_HANDLE_VALUE || !LockFileEx(f, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) return 1;
    HANDLE held = OpenEventW(EVENT_MODIFY_STATE, FALSE, event_name);
    if (!held || !SetEvent(held)) return 1;
    Sleep(TE_LOCK_HELD_MS);
    return 0;  // the system lets the lock go with the process
}

// Starts the child holding `lock_path` and waits until it holds it.
bool te_start_lock_holder(const std::wstring& lock_path, PROCESS_INFORMATION* child) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring event_name = L"te_host_test_lock_held_" + std::to_wstring(GetCurrentProcessId());
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, event_name.c_str());
    std::wstring line =
        L"\"" + std::wstring(self) + L"\" " + TE_HOLD_LOCK_ARG + L" \"" + lock_path + L"\" " + event_name;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    bool ok = held && CreateProcessW(self, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, child);
    HANDLE both[2] = {held, ok ? child->hProcess : nullptr};
    ok = ok && WaitForMultipleObjects(2, both, FALSE, 10000) == WAIT_OBJECT_0;
    if (held) CloseHandle(held);
    return ok;
}

std::string te_expanded_count(const te_api& api) {
    const char* stats = api.stats_json();
    const char* at = stats ? std::strstr(stats, "\"expanded\":") : nullptr;
    return at ? std::string(at + 11, std::strcspn(at + 11, ",}")) : "?";
}

// ---- the cases ---------------------------------------------------------------

void te_case_load(te_api* api) {
    std::wstring path = te_folder_of_this_program() + TE_DLL_NAME;
    api->module = LoadLibraryW(path.c_str());
    if (!api->module) {
        te_report("LoadLibraryW and GetProcAddress of the 21 exports", false,
                  "LoadLibraryW failed, error " + std::to_string(GetLastError()));
        return;
    }
    int found = te_find_all(api);
    te_report("LoadLibraryW and GetProcAddress of the 21 exports", found == 21,
              found == 21 ? "" : std::to_string(found) + " found");
}

void te_case_snippets(const te_api& api) {
    std::string mixed = te_snippet_object(">>mix", TE_MIXED_TEXT);
    std::string signature = te_snippet_object(">>sig", TE_SIGNATURE);
    bool added = api.snippet_add(mixed.c_str()) == 1 && api.snippet_add(signature.c_str()) == 1;
    std::string problem;
    if (!added) problem = std::string("te_snippet_add failed: ") + api.last_error();
    else if (api.snippet_count() != 5) problem = "count " + std::to_string(api.snippet_count());
    else if (te_text_of(api, ">>mix") != TE_MIXED_TEXT) problem = "listed as " + te_text_of(api, ">>mix");
    else if (te_text_of(api, ">>sig") != TE_SIGNATURE) problem = "listed as " + te_text_of(api, ">>sig");
    te_report("snippets added and listed (three seeds and two added)", problem.empty(), problem);
}

void te_case_store(const te_api& api, const std::wstring& appdata) {
    std::wstring store = appdata + L"\\Wrenfold\\snippets.json";
    std::string bytes = te_read_file(store);
    const char* listed = api.snippets_json();
    std::string problem;
    if (bytes.find(TE_MIXED_TEXT) == std::string::npos)
        problem = "no mixed-script text in " + te_utf8(store);
    else if (!listed || bytes != listed)
        problem = "te_snippets_json differs from the file";
    te_report("store under %APPDATA% in a non-ASCII user folder, the file as listed", problem.empty(),
              problem);
}

void te_case_expand(const te_api& api, te_edit_window& window) {
    window.clear();
    int expanded = api.expand(">>mix");
    std::string problem = expanded == 1 ? te_edit_mismatch(window, TE_MIXED_TEXT)
                                        : std::string("te_expand: ") + api.last_error();
    te_report("te_expand types a mixed-script text with an emoji into an EDIT", problem.empty(), problem);
}

void te_case_clipboard(const te_api& api, te_edit_window& window) {
    window.clear();
    std::string problem;
    if (api.start("{\"mode\":\"clipboard\",\"poll_ms\":5000}") != 1)
        problem = std::string("te_start: ") + api.last_error();
    else if (!te_clipboard_put_text(L"Dear team, >>sig"))
        problem = "the clipboard could not be written";
    else
        problem = te_edit_mismatch(window, TE_SIGNATURE);
    te_report("clipboard mode expands a copied trigger", problem.empty(), problem);
}

// The rule blocks this program, which is in front; a copied trigger then
// expands nothing. The wait is many times the worker's reaction time.
void te_case_rule(const te_api& api, te_edit_window& window) {
    std::string program = te_this_program_name();
    window.clear();
    std::string before = te_expanded_count(api);
    std::string problem;
    if (api.rule_set(program.c_str(), "{\"allow\":false}") != 1)
        problem = std::string("te_rule_set: ") + api.last_error();
    else if (!te_clipboard_put_text(L"Blocked here >>sig"))
        problem = "the clipboard could not be written";
    if (problem.empty()) {
        te_pump_for(600);
        if (!window.text().empty()) problem = "expanded into the EDIT: " + te_utf8(window.text());
        else if (te_expanded_count(api) != before) problem = "counted as expanded";
    }
    api.rule_set(program.c_str(), "{\"allow\":true}");
    te_report(("a rule blocks the program in front (" + program + ")").c_str(), problem.empty(), problem);
}

// Keys mode takes the keys typed here through SendInput as the user's only
// with "synthetic_keys"; without, SendInput is another program's typing
// (an auto-typed password, say) and a trigger in it stays as typed.
void te_case_keys(const te_api& api, te_edit_window& window) {
    const struct {
        const char* settings;
        std::string want;
        const char* name;
    } cases[] = {
        {"{\"mode\":\"keys\"}", "Hi >>sig", "keys mode leaves SendInput typing alone without \"synthetic_keys\""},
        {"{\"mode\":\"keys\",\"synthetic_keys\":true}", std::string("Hi ") + TE_SIGNATURE,
         "keys mode with \"synthetic_keys\" expands a trigger typed with SendInput"},
    };
    for (const auto& c : cases) {
        api.stop();
        window.clear();
        std::string problem;
        if (api.start(c.settings) != 1) {
            problem = std::string("te_start: ") + api.last_error();
        } else {
            te_type_keys(L"Hi >>sig");
            te_pump_for(600);
            problem = te_edit_mismatch(window, c.want);
        }
        te_report(c.name, problem.empty(), problem);
    }
}

// Keys mode in the EDIT, typed as a person types: a word trigger expands
// once its separator is typed, the separator after its text; a BackSpace
// right after an expansion brings the trigger back; the caret goes back to
// the {cursor}, so what is typed next lands there.
void te_case_caret_word_undo(const te_api& api, te_edit_window& window) {
    api.stop();
    window.clear();
    std::string problem;
    bool added = api.snippet_add("{\"trigger\":\"dear\",\"text\":\"Dear {cursor}, bye\"}") == 1 &&
                 api.snippet_add("{\"trigger\":\"btw\",\"text\":\"by the way\",\"settings\":{\"word_triggers\":true}}") == 1 &&
                 api.snippet_add("{\"trigger\":\"ty\",\"text\":\"thank you\"}") == 1;
    if (!added) problem = std::string("te_snippet_add: ") + api.last_error();
    else if (api.start("{\"mode\":\"keys\",\"synthetic_keys\":true}") != 1)
        problem = std::string("te_start: ") + api.last_error();
    const struct {
        const wchar_t* keys;  // L"\b": the BackSpace key
        const char* text;     // the EDIT's text afterwards
    } steps[] = {
        {L" btw,", " by the way,"},
        {L" ty", " by the way, thank you"},
        {L"\b", " by the way, ty"},
        {L" dear", " by the way, ty Dear , bye"},
        {L"Jo", " by the way, ty Dear Jo, bye"},
    };
    for (const auto& step : steps) {
        if (!problem.empty()) break;
        if (step.keys[0] == L'\b') {
            te_send_key(VK_BACK, true);
            te_send_key(VK_BACK, false);
        } else {
            te_type_keys(step.keys);
        }
        te_pump_for(300);
        problem = te_edit_mismatch(window, step.text);
    }
    te_report("keys mode: a word trigger and its separator, BackSpace taking it back, the caret at {cursor}",
              problem.empty(), problem);
}

// Day names from the Windows locale database: the German ones for
// "de-DE"; a locale Windows does not know refuses the start.
void te_case_locale(const te_api& api) {
    api.stop();
    std::string problem;
    if (api.start("{\"mode\":\"hotkey\",\"locale\":\"xx-NOWHERE\"}") != 0 ||
        std::string(api.last_error()) != "unknown locale: xx-NOWHERE")
        problem = std::string("an unknown locale was taken: ") + api.last_error();
    else if (api.start("{\"mode\":\"hotkey\",\"locale\":\"de-DE\"}") != 1)
        problem = std::string("te_start: ") + api.last_error();
    const char* day = api.render("{date:%A}");
    std::string days = " Sonntag Montag Dienstag Mittwoch Donnerstag Freitag Samstag ";
    if (problem.empty() && (!day || !day[0] || days.find(std::string(" ") + day + " ") == std::string::npos))
        problem = std::string("today is \"") + (day ? day : "null") + "\"";
    api.stop();
    api.start("{\"mode\":\"keys\",\"synthetic_keys\":true,\"locale\":\"\"}");  // as the next case needs it
    te_report("month and day names of a locale (de-DE); an unknown one is refused", problem.empty(), problem);
}

// While another process holds the store's lock, a host thread's
// te_snippet_add waits for it. The key hook answers at once meanwhile:
// every key reaches the EDIT promptly, and a trigger expands before the
// wait ends.
void te_case_lock_wait(const te_api& api, te_edit_window& window, const std::wstring& appdata) {
    window.clear();
    PROCESS_INFORMATION holder = {};
    if (!te_start_lock_holder(appdata + L"\\Wrenfold\\snippets.json.lock", &holder)) {
        te_report("keys pass at once while another process holds the store's lock", false,
                  "the lock holder did not start");
        return;
    }
    std::atomic<bool> added{false};
    std::string snippet = te_snippet_object(">>late", "late");
    std::thread add([&] {
        api.snippet_add(snippet.c_str());
        added = true;
    });
    te_pump_for(100);
    ULONGLONG slowest = 0;
    for (const wchar_t* c = L"Hi >>sig"; *c; c++) slowest = std::max(slowest, te_press_timed(window, *c));
    std::string problem = te_edit_mismatch(window, std::string("Hi ") + TE_SIGNATURE);
    bool during_wait = !added;
    add.join();
    WaitForSingleObject(holder.hProcess, 10000);
    CloseHandle(holder.hThread);
    CloseHandle(holder.hProcess);
    if (slowest > TE_KEY_PROMPT_MS) problem = "a key took " + std::to_string(slowest) + " ms to arrive";
    else if (problem.empty() && !during_wait) problem = "expanded only after te_snippet_add returned";
    te_report("keys pass at once while another process holds the store's lock", problem.empty(),
              problem + (problem.empty() ? "" : "; ") + "slowest key " + std::to_string(slowest) + " ms");
}

void te_case_stop(const te_api& api) {
    int stopped = api.stop();
    const char* stats = api.stats_json();
    bool ok = stopped == 1 && api.status() == 0 && stats && std::strstr(stats, "\"running\":false");
    te_report("te_stop ends the worker", ok, ok ? "" : std::string("stats ") + (stats ? stats : "null"));
}

// The worker keeps its own reference on the library: after the host's
// FreeLibrary it goes on expanding, and a second LoadLibraryW finds it
// running and stops it. (The library stays mapped after the last
// FreeLibrary as long as this thread lives: the C++ runtime pins it for the
// per-thread buffers the calls above made on this thread.)
void te_case_unload(te_api* api, te_edit_window& window) {
    window.clear();
    std::string problem;
    if (api->start("{\"mode\":\"clipboard\",\"poll_ms\":5000}") != 1)
        problem = std::string("te_start: ") + api->last_error();
    else if (!FreeLibrary(api->module))
        problem = "FreeLibrary failed";
    else if (!GetModuleHandleW(TE_DLL_NAME))
        problem = "unloaded under the running worker";
    else if (!te_clipboard_put_text(L"After FreeLibrary >>sig"))
        problem = "the clipboard could not be written";
    else
        problem = te_edit_mismatch(window, TE_SIGNATURE);
    if (problem.empty()) {
        te_api again;
        again.module = LoadLibraryW((te_folder_of_this_program() + TE_DLL_NAME).c_str());
        if (!again.module || te_find_all(&again) != 21) problem = "loading it again failed";
        else if (again.status() != 1) problem = "the worker was not running any more";
        else if (again.stop() != 1 || again.status() != 0) problem = "te_stop did not stop it";
        else if (!FreeLibrary(again.module)) problem = "the last FreeLibrary failed";
    }
    te_report("FreeLibrary while the worker runs: it expands on, and stops when loaded again", problem.empty(),
              problem);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && std::wcscmp(argv[1], TE_HOLD_LOCK_ARG) == 0) return te_hold_lock(argv[2], argv[3]);
    // The store's folder is %APPDATA%\Wrenfold; the library reads APPDATA
    // at its first use, so it is set before loading.
    std::wstring profile = te_environment(L"USERPROFILE");
    std::wstring appdata = profile.substr(0, profile.find_last_of(L'\\') + 1) + TE_USER_FOLDER +
                           L"\\AppData\\Roaming";
    te_make_folders(appdata + L"\\Wrenfold");
    DeleteFileW((appdata + L"\\Wrenfold\\snippets.json").c_str());
    SetEnvironmentVariableW(L"APPDATA", appdata.c_str());

    te_edit_window window;
    if (!window.ready()) {
        te_report("the EDIT window comes to the front", false, "");
        return 1;
    }
    te_api api;
    te_case_load(&api);
    if (te_failures) return 1;
    te_case_snippets(api);
    te_case_store(api, appdata);
    te_case_expand(api, window);
    te_case_clipboard(api, window);
    te_case_rule(api, window);
    te_case_keys(api, window);
    te_case_caret_word_undo(api, window);
    te_case_locale(api);
    te_case_lock_wait(api, window, appdata);
    te_case_stop(api);
    te_case_unload(&api, window);
    std::printf("%d case(s) failed\n", te_failures);
    return te_failures ? 1 : 0;
}
