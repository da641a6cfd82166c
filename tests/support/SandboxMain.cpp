#include <gtest/gtest.h>

#include "tests/support/Sandbox.h"

// fontconfig keeps its configuration and pattern caches for the life of the process and frees
// them only on an explicit shutdown that the font layer never runs; the leak checker would
// otherwise report them at the exit of every test that creates a font.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
    testsupport::EnterSandbox();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
