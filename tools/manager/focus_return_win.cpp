// Giving the focus back on Windows: the window in front is remembered and
// brought to the front again (this process owns the foreground while its
// picker shows, so Windows lets it pass the foreground on).
#include <windows.h>

#include <chrono>
#include <thread>

#include "focus_return.h"

namespace {

class te_win_focus_return : public te_focus_return {
public:
    void remember() override { m_front = GetForegroundWindow(); }
    void give_back() override {
        if (m_front) SetForegroundWindow(m_front);
    }
    bool wait_back(int ms) override {
        for (int waited = 0; m_front && GetForegroundWindow() != m_front; waited += 2) {
            if (waited >= ms) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

private:
    HWND m_front = nullptr;
};

}  // namespace

std::unique_ptr<te_focus_return> te_focus_return::make() {
    return std::unique_ptr<te_focus_return>(new te_win_focus_return);
}
