#include "tests/support/sweep.h"

unsigned SweepStride() {
    return 37;
}
