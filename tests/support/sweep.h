#pragma once

// How densely a test that sweeps many cases takes them: 1 takes every case.
// Natively every one; under AddressSanitizer and under Wine, whose file
// calls are many times slower, an even spread of them.
unsigned SweepStride();
