#pragma once

#include <functional>

// Runs a test body in a forked child, where it may lower its limits or its
// privileges without touching the test process. Posix only.

// The child's exit code (body's result), or 128 + the signal that ended it.
int RunInChild(const std::function<int()>& body);

// The same in a child that has first dropped to the user nobody, so that
// permission bits refuse what they say even when the tests run as root.
int RunAsNobody(const std::function<int()>& body);

// True when the tests run as the superuser.
bool RunsAsSuperuser();

// A case that needs the superuser (to drop to another user, to own files
// as another, to mount or to change the root) skips for anyone else, and
// says why.
#define SKIP_UNLESS_SUPERUSER(why) \
    if (!RunsAsSuperuser())        \
    GTEST_SKIP() << "needs the superuser: " << why

// Limits the calling process's address space to what it uses now plus
// headroom bytes, as a 32-bit process is limited to its 2 GiB.
bool LimitAddressSpace(unsigned long headroom);

// AddressSanitizer reserves terabytes of address space: no limit can work.
constexpr bool kAddressSanitizer =
#if defined(__SANITIZE_ADDRESS__)
    true;
#else
    false;
#endif
