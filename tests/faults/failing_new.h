#pragma once

// This test program's operator new can be told to fail, as it fails on a
// machine that is out of memory.
namespace failing_new {

// From now on, allocation number `count` (0: the next one) fails, and with
// `persistent` every allocation after it as well.
void FailAfter(long count, bool persistent);
// Allocations succeed again.
void Disarm();
// How many allocations were made since the last FailAfter or Disarm.
long Made();

}  // namespace failing_new
