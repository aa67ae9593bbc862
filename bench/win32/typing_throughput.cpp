// Typing throughput into a real EDIT control: the batched keyboard output
// (100 UTF-16 units per SendInput call) against the same text sent as one
// SendInput call per character, in the same run. Prints characters per
// second for both and their ratio.
//
// A standalone program (Google Benchmark is not available for this target):
// each way is timed with QueryPerformanceCounter, best of a few rounds
// taken in turns, two figures per way:
//   sent:      until the typing call returns (the caller's thread is free);
//   delivered: until the EDIT holds the whole text.
#include "edit_window.h"
#include "platform.h"

#include <cstdio>
#include <string>
#include <windows.h>

namespace {

const int TE_TEXT_CHARS = 10000;
const int TE_ROUNDS = 2;

std::string te_bench_text(void) {
    const char* alphabet = "abcdefghijklmnopqrstuvwxyz0123456789 ";
    std::string s;
    for (int i = 0; i < TE_TEXT_CHARS; i++) s += alphabet[i % 37];
    return s;
}

double te_seconds_since(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, freq;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&freq);
    return (double)(now.QuadPart - start.QuadPart) / (double)freq.QuadPart;
}

// Pumps messages until the EDIT holds `units` units; false on a timeout.
bool te_wait_for_length(HWND edit_parent, size_t units) {
    HWND edit = GetWindow(edit_parent, GW_CHILD);
    ULONGLONG deadline = GetTickCount64() + 120000;
    while ((size_t)GetWindowTextLengthW(edit) < units) {
        if (GetTickCount64() > deadline) return false;
        te_pump_messages();
    }
    return true;
}

void te_type_one_call_per_character(const std::string& text) {
    for (char c : text) {
        INPUT rec[2] = {};
        for (int i = 0; i < 2; i++) {
            rec[i].type = INPUT_KEYBOARD;
            rec[i].ki.wScan = (WORD)(unsigned char)c;
            rec[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
            rec[i].ki.dwExtraInfo = (ULONG_PTR)GetMessageExtraInfo();
        }
        SendInput(2, rec, sizeof(INPUT));
    }
}

struct te_timing {
    double sent;
    double delivered;
};

// One round of batched or naive typing; negative figures when the text did
// not arrive whole.
te_timing te_time_round(te_edit_window& window, const std::string& text, bool batched) {
    te_timing t = {-1, -1};
    window.clear();
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (batched) {
        if (type_text_utf8(text.c_str(), 0) != 0) return t;
    } else {
        te_type_one_call_per_character(text);
    }
    double sent = te_seconds_since(start);
    if (!te_wait_for_length(window.top(), text.size())) return t;
    double delivered = te_seconds_since(start);
    if (window.text() != te_wide(text)) return t;
    return {sent, delivered};
}

void te_keep_best(te_timing& best, const te_timing& t) {
    if (best.sent < 0 || t.sent < best.sent) best.sent = t.sent;
    if (best.delivered < 0 || t.delivered < best.delivered) best.delivered = t.delivered;
}

void te_print(const char* label, const te_timing& t) {
    std::printf("%-30s sent %10.0f chars/s (%.3f s)   delivered %8.0f chars/s (%.3f s)\n", label,
                TE_TEXT_CHARS / t.sent, t.sent, TE_TEXT_CHARS / t.delivered, t.delivered);
}

}  // namespace

int main() {
    te_edit_window window;
    if (!window.ready()) {
        std::fprintf(stderr, "typing_throughput: the EDIT window did not come to the front\n");
        return 1;
    }
    std::string text = te_bench_text();
    te_timing batched = {-1, -1}, naive = {-1, -1};
    for (int r = 0; r < TE_ROUNDS; r++) {
        te_timing b = te_time_round(window, text, true);
        te_timing n = te_time_round(window, text, false);
        if (b.sent < 0 || n.sent < 0) {
            std::fprintf(stderr, "typing_throughput: the text did not arrive whole\n");
            return 1;
        }
        te_keep_best(batched, b);
        te_keep_best(naive, n);
    }
    std::printf("%d characters into an EDIT control, best of %d rounds\n", TE_TEXT_CHARS, TE_ROUNDS);
    te_print("batched (100 units per call)", batched);
    te_print("one SendInput per character", naive);
    std::printf("ratio batched/naive: sent %.2fx, delivered %.2fx\n", naive.sent / batched.sent,
                naive.delivered / batched.delivered);
    return 0;
}
