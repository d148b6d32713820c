// The test programs' entry: GoogleTest's, where no other process is seen.
#include <gtest/gtest.h>

#include "tests/support/isolation.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RunIsolated([] { return RUN_ALL_TESTS(); });
}
