#pragma once

#include <functional>

// Runs the tests where they see only the processes they start themselves:
// on posix in a PID namespace of their own with its own /proc (as root, or
// through a user namespace of their own, mapped to the same user, keeping
// no capability), so that a simulator flown elsewhere on the machine, or a
// stand-in of another test run, never changes what the program under test
// decides. Where no namespace can be had, the tests run as they are, and
// say so. On Windows the tests' Wine prefix is theirs alone already.
int RunIsolated(const std::function<int()>& tests);
