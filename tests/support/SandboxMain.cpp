#include <gtest/gtest.h>

#include "tests/support/Sandbox.h"

int main(int argc, char** argv) {
    testsupport::EnterSandbox();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
