// The INI store under conditions that only a child process can build: an
// address space as small as a 32-bit program's, and a save killed midway.
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>

#include "ini/ini_store.h"
#include "layers/leftovers.h"
#include "layers/settings_file.h"
#include "tests/support/child_process.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned long kMiB = 1024 * 1024;

// Runs `load` in a child whose address space has only `headroom` bytes to
// spare; the child's result, 0 when all held.
int LoadWithLittleMemory(unsigned long headroom, const std::function<bool()>& load) {
    return RunInChild([&] { return !LimitAddressSpace(headroom) ? 2 : load() ? 0 : 1; });
}

class IniStoreMemoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (kAddressSanitizer) {
            GTEST_SKIP() << "no address-space limit under AddressSanitizer";
        }
    }
    TempDir temp;
};

TEST_F(IniStoreMemoryTest, AFileLargerThanMemoryFailsCleanly) {
    // 384 MiB of zero bytes: one line the store would have to hold.
    const fs::path file = temp.Path() / "TolvaneConfig.ini";
    WriteBytes(file, "");
    fs::resize_file(file, 384 * kMiB);
    EXPECT_EQ(LoadWithLittleMemory(
                  128 * kMiB,
                  [&] {
                      CIniStore store(HostFiles(), WinPath(file));
                      // The settings from such a file are the defaults.
                      const LayerSettings s = LoadLayerSettings(HostFiles(), WinPath(file)).values;
                      return !store.Load() && store.SectionCount() == 0 &&
                             store.LastError() == "Not enough memory to read ini file." &&
                             s.MajorRoads == 1 && s.Boats == 1 && s.UT == 0;
                  }),
              0);
}

TEST_F(IniStoreMemoryTest, ALargeFileWhoseSectionsComeLastLoadsToItsEnd) {
    const fs::path file = temp.Path() / "scenery.cfg";
    {
        std::ofstream out(file, std::ios::binary);
        const std::string padding = std::string(1023, ';') + "\n";
        for (unsigned long i = 0; i < 160 * 1024; ++i) {  // 160 MiB of lines without a key
            out << padding;
        }
        out << "[Area.001]\r\nLocal=Scenery\\World\r\nActive=TRUE\r\n";
    }
    // Holding the whole file would need more than the limit.
    EXPECT_EQ(LoadWithLittleMemory(64 * kMiB,
                                   [&] {
                                       CIniStore store(HostFiles(), WinPath(file));
                                       return store.Load() && store.SectionCount() == 1 &&
                                              store.GetString("Area.001", "Active") == "TRUE";
                                   }),
              0);
}

// A store whose file is about a megabyte, with every value set to `fill`.
CIniStore BigStore(const fs::path& file, const std::string& fill) {
    CIniStore store(HostFiles(), WinPath(file));
    for (int i = 0; i < 20000; ++i) {
        store.SetString("S" + std::to_string(i % 100), "key" + std::to_string(i), fill, true);
    }
    return store;
}

// Saves `store` in a child and kills it `delay` after the save began (never,
// with `took`, which then receives how long the save took); true when the
// child was killed before it finished.
bool SaveAndKill(const CIniStore& store, std::chrono::nanoseconds delay,
                 std::chrono::nanoseconds* took = nullptr) {
    int ready[2];
    if (pipe(ready) != 0) {
        return false;
    }
    pid_t child = fork();
    if (child == 0) {
        char go = 'g';
        if (write(ready[1], &go, 1) == 1) {
            store.Save();
        }
        _exit(0);
    }
    close(ready[1]);
    char go = 0;
    const bool started = read(ready[0], &go, 1) == 1;
    close(ready[0]);
    const auto begin = std::chrono::steady_clock::now();
    const timespec pause{static_cast<time_t>(delay.count() / 1000000000),
                         static_cast<long>(delay.count() % 1000000000)};
    if (started && took == nullptr) {
        nanosleep(&pause, nullptr);
        kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (took != nullptr) {
        *took = std::chrono::steady_clock::now() - begin;
    }
    return WIFSIGNALED(status);
}

TEST(IniStoreCrashTest, AKilledSaveLeavesTheOldOrTheNewFile) {
    TempDir temp;
    const fs::path file = temp.Path() / "TolvaneConfig.ini";
    const CIniStore stores[] = {BigStore(file, "old value"), BigStore(file, "new!")};
    const std::string contents[] = {stores[0].Serialize(), stores[1].Serialize()};
    WriteBytes(file, contents[0]);

    // A save's length varies with the machine's load, so every 25th save runs
    // uncut and measures it again. The other kill points are spread over that
    // length, a little past its end (golden-ratio steps), until enough saves
    // were killed midway.
    constexpr int kKilled = 200;
    constexpr int kMaxRuns = 1500;
    std::chrono::nanoseconds save{0};
    int killed = 0;
    int runs = 0;
    int current = 0;  // which content the file holds
    for (; killed < kKilled && runs < kMaxRuns; ++runs) {
        if (runs % 25 == 0) {
            SaveAndKill(stores[1 - current], {}, &save);
        } else {
            const double point = std::fmod(runs * 0.6180339887, 1.0) * 1.1;
            const auto delay = std::chrono::duration_cast<std::chrono::nanoseconds>(save * point);
            killed += SaveAndKill(stores[1 - current], delay) ? 1 : 0;
        }
        const std::string now = ReadBytes(file);
        ASSERT_TRUE(now == contents[0] || now == contents[1]) << "run " << runs;
        current = now == contents[1] ? 1 : 0;
        for (const auto& entry : fs::directory_iterator(temp.Path())) {
            ASSERT_TRUE(entry.path() == file ||
                        IsTemporaryOf(entry.path().filename(), "TolvaneConfig.ini"))
                << entry.path();
        }
    }
    std::printf("a save takes about %.1f ms; %d of %d saves were killed midway\n",
                static_cast<double>(save.count()) / 1e6, killed, runs);
    EXPECT_EQ(killed, kKilled);
}

}  // namespace
