// The simulator running, as the kernel shows it: a copy of a harmless
// program (sleep) under the simulator's name, one that has ended but not
// been reaped, and programs of similar names. Under Wine the same is
// checked with a Windows program (tests/cli_wine_test.sh).
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "tests/support/cli_fixture.h"

namespace fs = std::filesystem;

namespace {

class SimulatorRunningTest : public CliFixture {
  protected:
    void TearDown() override {
        for (pid_t child : children_) {
            Stop(child);
        }
    }

    // A copy of sleep named name, or a script that runs it, started for a
    // minute (or for no time).
    pid_t Start(const std::string& name, const char* seconds = "60", bool script = false) {
        const fs::path program = temp.Path() / "bin" / name;
        fs::create_directories(program.parent_path());
        if (script) {
            WriteBytes(program, "#!/bin/sh\nsleep \"$1\"\n");
            fs::permissions(program, fs::perms::owner_all);
        } else {
            fs::copy_file("/bin/sleep", program, fs::copy_options::overwrite_existing);
        }
        const pid_t child = fork();
        if (child == 0) {
            // A group of its own, so that a script's sleep ends with it, and
            // no hold on the test's output.
            setpgid(0, 0);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            execl(program.c_str(), name.c_str(), seconds, static_cast<char*>(nullptr));
            _exit(127);
        }
        children_.push_back(child);
        // Until the kernel names the process after its new program (or it
        // has ended).
        std::error_code error;
        const fs::path exe = "/proc/" + std::to_string(child) + "/exe";
        for (int i = 0;
             i < 500 && fs::read_symlink(exe, error) != program && StateOf(child) != 'Z' &&
             !(script &&
               ReadBytes(fs::path("/proc") / std::to_string(child) / "comm") == name + "\n");
             ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return child;
    }

    // Ends the process and everything it started.
    static void Stop(pid_t process) {
        kill(-process, SIGKILL);
        kill(process, SIGKILL);
        waitpid(process, nullptr, 0);
    }

    static char StateOf(pid_t process) {
        std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
        const std::string line((std::istreambuf_iterator<char>(stat)),
                               std::istreambuf_iterator<char>());
        const size_t close = line.rfind(')');
        return close == std::string::npos ? '?' : line[close + 2];
    }

    std::vector<pid_t> children_;
};

TEST_F(SimulatorRunningTest, CommandsRefuseWhileTheSimulatorRuns) {
    ASSERT_EQ(Tolvane({"apply"}).code, 0);
    ASSERT_EQ(Tolvane({"scan"}).code, 0);
    // Names that only look like it, and one that has ended: no simulator.
    Start("fs9.exe.bak");
    Start("myfs9.exe");
    const pid_t ended = Start("fs9.exe", "0");
    for (int i = 0; i < 500 && StateOf(ended) != 'Z'; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(StateOf(ended), 'Z');
    nlohmann::json status = Json({"status"}, 0);
    ASSERT_EQ(status["findings"].size(), 1u);
    EXPECT_EQ(status["findings"][0]["key"], "renamedByThisPackage");
    EXPECT_EQ(Tolvane({"scan", "--dry-run"}).code, 0);

    const struct {
        const char* name;
        bool script;
    } simulators[] = {{"fs9.exe", false}, {"FS9.EXE", false}, {"Fs9.exe", true}};
    for (const auto& [name, script] : simulators) {
        SCOPED_TRACE(name);
        const pid_t simulator = Start(name, "60", script);
        status = Json({"status"}, 0);  // nothing to do but close it
        ASSERT_EQ(status["findings"].size(), 2u);
        EXPECT_EQ(status["findings"][0]["key"], "simulatorRunning");
        EXPECT_EQ(status["findings"][0]["details"]["processes"],
                  nlohmann::json::array({simulator}));
        EXPECT_NE(Tolvane({"status"})
                      .out.find("  The simulator is running: fs9.exe, process " +
                                std::to_string(simulator) + "\n"),
                  std::string::npos);

        // Every command that changes files refuses, its preview too, and
        // changes nothing; --force runs it.
        const Listing before = ListTree(install.root);
        const std::string refusal = "tolvane: the simulator is running (fs9.exe, process " +
                                    std::to_string(simulator) +
                                    "): close it first, or run the command again with --force\n";
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"apply", "--set", "UT=1"},
              {"apply", "--dry-run"},
              {"scan"},
              {"restore"},
              {"restore", "--dry-run", "--library", "new"}}) {
            const CliOutcome run = Tolvane(command);
            EXPECT_EQ(run.code, 2) << command[0];
            EXPECT_EQ(run.err, refusal);
            EXPECT_EQ(run.out, "");
        }
        EXPECT_EQ(ListTree(install.root), before);
        EXPECT_EQ(Tolvane({"restore", "--force"}).code, 0);
        EXPECT_EQ(Tolvane({"scan", "--force"}).code, 0);
        Stop(simulator);
        children_.erase(std::find(children_.begin(), children_.end(), simulator));
    }
}

}  // namespace
