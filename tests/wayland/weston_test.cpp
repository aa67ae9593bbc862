// A compositor that keeps typing and the clipboard from other programs
// (weston, as GNOME's and KDE's do): a start fails, naming what is missing
// and where else the user can turn.
#include <gtest/gtest.h>

#include "textexpander.h"

#include <cstdlib>
#include <string>

TEST(Weston, StartFailsNamingTheMissingProtocols) {
    ASSERT_TRUE(std::getenv("WAYLAND_DISPLAY"));
    setenv("APPDATA", ::testing::TempDir().c_str(), 1);
    ASSERT_EQ(te_start("{\"mode\":\"clipboard\"}"), 0);
    std::string err = te_last_error();
    EXPECT_NE(err.find("zwp_virtual_keyboard_manager_v1"), std::string::npos) << err;
    EXPECT_NE(err.find("zwlr_data_control_manager_v1"), std::string::npos) << err;
    EXPECT_NE(err.find("te run --desktop x11"), std::string::npos) << err;
    EXPECT_EQ(te_status(), 0);
}
