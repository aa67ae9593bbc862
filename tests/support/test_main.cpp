// Test main: every test process gets an application-data folder of its own,
// removed afterwards, before the engine is first used.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "test_support.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    te_test::scoped_dir appdata("appdata");
    setenv("APPDATA", appdata.path().c_str(), 1);
    return RUN_ALL_TESTS();
}
