#include "tests/support/child_process.h"
#include "tests/support/sweep.h"

unsigned SweepStride() {
    return kAddressSanitizer ? 5 : 1;
}
