#include "tests/support/isolation.h"

int RunIsolated(const std::function<int()>& tests) {
    return tests();
}
