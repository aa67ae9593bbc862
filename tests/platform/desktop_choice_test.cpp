// The desktop a Linux library serves, chosen from the environment: a
// Wayland session whose compositor answers, else an X display, else none;
// TE_DESKTOP forces one.
#include "desktop_choice.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

// A socket at `path`: listening (a compositor that answers), or bound and
// closed (one that ended and left its file behind).
int te_socket_at(const std::string& path, bool listening) {
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return -1;
    if (listening) return listen(fd, 4) == 0 ? fd : -1;
    close(fd);
    return -1;
}

struct choice_case {
    const char* name;
    const char* wayland_display;  // null: unset
    const char* display;
    const char* forced;           // TE_DESKTOP
    std::vector<const char*> linked;
    const char* chosen;           // null: none of them (-1)
};

void PrintTo(const choice_case& c, std::ostream* os) { *os << c.name; }

const std::vector<const char*> all = {"wayland", "x11", "none"};

class DesktopChoice : public ::testing::TestWithParam<choice_case> {
protected:
    static void SetUpTestSuite() {
        dir = ::testing::TempDir() + "te-choice-" + std::to_string(getpid());
        mkdir(dir.c_str(), 0700);
        live = te_socket_at(dir + "/wayland-live", true);
        te_socket_at(dir + "/wayland-dead", false);
    }
    static void TearDownTestSuite() {
        close(live);
        for (const char* name : {"/wayland-live", "/wayland-dead"}) unlink((dir + name).c_str());
        rmdir(dir.c_str());
    }
    static std::string dir;
    static int live;
};
std::string DesktopChoice::dir;
int DesktopChoice::live = -1;

void te_set(const char* name, const char* value) {
    if (value) setenv(name, value, 1);
    else unsetenv(name);
}

TEST_P(DesktopChoice, FollowsTheEnvironment) {
    const choice_case& c = GetParam();
    ASSERT_GE(live, 0);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    std::string absolute = dir + "/wayland-live";
    te_set("WAYLAND_DISPLAY", c.wayland_display && std::string(c.wayland_display) == "ABS" ? absolute.c_str()
                                                                                          : c.wayland_display);
    te_set("DISPLAY", c.display);
    te_set("TE_DESKTOP", c.forced);
    int i = te_desktop_choose(c.linked.data(), (int)c.linked.size());
    EXPECT_STREQ(i < 0 ? nullptr : c.linked[(std::size_t)i], c.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, DesktopChoice,
    ::testing::Values(choice_case{"WaylandAnswers", "wayland-live", ":5", nullptr, all, "wayland"},
                      choice_case{"WaylandByPath", "ABS", nullptr, nullptr, all, "wayland"},
                      choice_case{"WaylandGoneXThere", "wayland-dead", ":5", nullptr, all, "x11"},
                      choice_case{"WaylandNeverThere", "wayland-none", nullptr, nullptr, all, "none"},
                      choice_case{"XOnly", nullptr, ":5", nullptr, all, "x11"},
                      choice_case{"Neither", nullptr, "", nullptr, all, "none"},
                      choice_case{"WaylandNotBuilt", "wayland-live", ":5", nullptr, {"x11", "none"}, "x11"},
                      choice_case{"ForcedX11", "wayland-live", ":5", "x11", all, "x11"},
                      choice_case{"ForcedNone", "wayland-live", ":5", "none", all, "none"},
                      choice_case{"ForcedButNotBuilt", nullptr, ":5", "wayland", {"x11", "none"}, nullptr},
                      choice_case{"OnlyDesktopServesAlways", nullptr, nullptr, nullptr, {"x11"}, "x11"}),
    [](const ::testing::TestParamInfo<choice_case>& i) { return std::string(i.param.name); });

}  // namespace
