// The simulator running, as the kernel shows it: a copy of a harmless
// program (sleep) under the simulator's name, one that has ended but not
// been reaped, and programs of similar names. Under Wine the same is
// checked with a Windows program (tests/cli_wine_test.sh).
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "cli/tolvane.h"
#include "tests/support/child_process.h"
#include "tests/support/cli_fixture.h"

namespace fs = std::filesystem;

namespace {

class SimulatorRunningTest : public CliFixture {
  protected:
    void TearDown() override {
        for (pid_t child : children_) {
            Stop(child);
        }
        for (int held : inputs_) {
            close(held);
        }
    }

    // A copy of sleep named name, started for a minute (or for no time), or
    // a script of that name that waits, without a process of its own, for a
    // line on its input that never comes.
    pid_t Start(const std::string& name, const char* seconds = "60", bool script = false) {
        const fs::path program = temp.Path() / "bin" / name;
        fs::create_directories(program.parent_path());
        if (script) {
            WriteBytes(program, "#!/bin/sh\nread line\n");
            fs::permissions(program, fs::perms::owner_all);
        } else {
            fs::copy_file("/bin/sleep", program, fs::copy_options::overwrite_existing);
        }
        return Run(program, {name, seconds}, nullptr, script);
    }

    // The program started with those arguments (the first is what the
    // process is called) and, when env is given, that environment alone.
    pid_t Run(const fs::path& program, const std::vector<std::string>& args,
              const std::vector<std::string>* env, bool script = false) {
        std::vector<char*> argv;
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        std::vector<char*> envp;
        if (env != nullptr) {
            for (const std::string& entry : *env) {
                envp.push_back(const_cast<char*>(entry.c_str()));
            }
        }
        envp.push_back(nullptr);
        int input[2];
        EXPECT_EQ(pipe2(input, O_CLOEXEC), 0);
        const pid_t child = fork();
        if (child == 0) {
            // A group of its own, so that whatever it starts ends with it,
            // and no hold on the test's output.
            setpgid(0, 0);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            dup2(input[0], STDIN_FILENO);
            if (env != nullptr) {
                execve(program.c_str(), argv.data(), envp.data());
            } else {
                execv(program.c_str(), argv.data());
            }
            _exit(127);
        }
        children_.push_back(child);
        close(input[0]);
        inputs_.push_back(input[1]);
        // Until the kernel names the process after its new program, with its
        // arguments (which it sets up after the program), or it has ended.
        const fs::path proc = "/proc/" + std::to_string(child);
        std::error_code error;
        for (int i = 0; i < 500 && StateOf(child) != 'Z' &&
                        (ReadBytes(proc / "cmdline").empty() ||
                         (script ? ReadBytes(proc / "comm") != args[0] + "\n"
                                 : fs::read_symlink(proc / "exe", error) != program));
             ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return child;
    }

    // A folder that tolvane accepts as a Wine prefix: drive Z: is the root.
    fs::path MakePrefix(const fs::path& prefix) {
        fs::create_directories(prefix / "dosdevices");
        fs::create_directory_symlink("/", prefix / "dosdevices" / "z:");
        return prefix;
    }

    // The status's simulator processes through the prefix (none: any).
    nlohmann::json Running(const fs::path& prefix) {
        std::vector<std::string> args = {"status"};
        if (!prefix.empty()) {
            args.insert(args.begin(), {"--wineprefix", prefix.string()});
        }
        const nlohmann::json status = Json(args, 0);
        for (const nlohmann::json& finding : status["findings"]) {
            if (finding["key"] == "simulatorRunning") {
                return finding["details"]["processes"];
            }
        }
        return nlohmann::json::array();
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
    std::vector<int> inputs_;  // each child's input, held open
};

// The simulator under Wine is known by its Windows program however it was
// started (by a name without .exe, as Windows adds it; by a launcher under
// another name, by the image Wine maps) and in its prefix as Wine finds it
// (WINEPREFIX, else .wine in HOME, else in its user's home in the password
// database). The loader is a stand-in named as Wine's.
TEST_F(SimulatorRunningTest, AWineSimulatorIsKnownHoweverItWasStarted) {
    ASSERT_EQ(Tolvane({"apply"}).code, 0);
    ASSERT_EQ(Tolvane({"scan"}).code, 0);
    const fs::path mine = MakePrefix(temp.Path() / "mine");
    const fs::path other = MakePrefix(temp.Path() / "other");
    const fs::path loader = temp.Path() / "bin" / "wine64-preloader";
    fs::create_directories(loader.parent_path());
    fs::copy_file("/bin/sleep", loader);

    const std::vector<std::string> inMine = {"WINEPREFIX=" + mine.string()};
    pid_t simulator = Run(loader, {"fs9", "60"}, &inMine);
    EXPECT_EQ(Running({}), nlohmann::json::array({simulator}));
    EXPECT_EQ(Running(mine), nlohmann::json::array({simulator}));
    EXPECT_EQ(Running(other), nlohmann::json::array());
    const std::vector<std::string> inHome = {"HOME=" + (temp.Path() / "mine").string(),
                                             "WINEPREFIX="};
    fs::rename(mine, temp.Path() / "mine.tmp");
    fs::create_directories(mine);
    fs::rename(temp.Path() / "mine.tmp", mine / ".wine");
    const pid_t second = Run(loader, {"C:\\FS9\\FS9.EXE", "60"}, &inHome);
    EXPECT_EQ(Running(mine / ".wine"), nlohmann::json::array({second}));
    // Not the simulator: another program, and a name that only begins so.
    Run(loader, {"C:\\FS9\\fs9.exe.bak", "60"}, &inHome);
    Run(loader, {"fs9x", "60"}, &inHome);
    EXPECT_EQ(Running(mine / ".wine"), nlohmann::json::array({second}));
    // Several: the refusal names each.
    const CliOutcome refused = Tolvane({"scan"});
    EXPECT_EQ(refused.code, 2);
    EXPECT_EQ(refused.err, "tolvane: the simulator is running (fs9.exe, processes " +
                               std::to_string(std::min(simulator, second)) + ", " +
                               std::to_string(std::max(simulator, second)) +
                               "): close it first, or run the command again with --force\n");

    // Started by a launcher under another name: the image Wine maps tells.
    const char* python = "/usr/bin/python3";
    const fs::path image = temp.Path() / "FS9" / "fs9.exe";
    fs::create_directories(image.parent_path());
    WriteBytes(image, "MZ");
    const fs::path mapper = temp.Path() / "bin" / "wine";
    fs::copy_file(python, mapper);
    const pid_t launched =
        Run(mapper,
            {"C:\\FS9\\start.exe", "-c",
             "import mmap,time;f=open('" + image.string() +
                 "','rb');m=mmap.mmap(f.fileno(),0,prot=mmap.PROT_READ);time.sleep(60)"},
            &inHome);
    for (int i = 0;
         i < 200 && ReadBytes("/proc/" + std::to_string(launched) + "/maps").find(image.string()) ==
                        std::string::npos;
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(Running(mine / ".wine"), nlohmann::json::array({second, launched}));
}

// Without HOME, Wine takes its user's home from the password database: one
// of the test's own, in a mount namespace of its own.
TEST_F(SimulatorRunningTest, WithoutHomeThePrefixIsInThePasswordDatabasesHome) {
    SKIP_UNLESS_SUPERUSER("a password database of the test's own is mounted");
    const fs::path home = temp.Path() / "home";
    const fs::path prefix = MakePrefix(home / ".wine");
    const fs::path loader = temp.Path() / "bin" / "wine64";
    fs::create_directories(loader.parent_path());
    fs::copy_file("/bin/sleep", loader);
    std::string passwd = ReadBytes("/etc/passwd");
    const std::string root = "root:x:0:0:root:/root:";
    const size_t at = passwd.find(root);
    ASSERT_NE(at, std::string::npos);
    passwd.replace(at, root.size(), "root:x:0:0:root:" + home.string() + ":");
    WriteBytes(temp.Path() / "passwd", passwd);
    const int code = RunInChild([&] {
        if (unshare(CLONE_NEWNS) != 0 ||
            mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount((temp.Path() / "passwd").c_str(), "/etc/passwd", nullptr, MS_BIND, nullptr) !=
                0) {
            return 90;
        }
        const std::vector<std::string> bare = {"PATH=/usr/bin:/bin"};
        Run(loader, {"fs9", "60"}, &bare);
        std::ostringstream out, err;
        const int refused = RunTolvane(
            {"--wineprefix", prefix.string(), "--package", install.package.string(), "scan"}, "",
            out, err);
        TearDown();
        return refused;
    });
    ASSERT_NE(code, 90) << "no password database of the test's own could be mounted";
    EXPECT_EQ(code, 2);
}

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

// One area folder listed under two spellings, one of them a link: the
// status says what the disk holds under each listing, before a scan and
// after it, and names each renamed file once.
TEST_F(CliFixture, StatusReportsTheDiskForAFolderListedTwice) {
    const fs::path area = install.root / "Addon Scenery" / "Saarbrücken";
    fs::create_directories(area / "scenery");
    for (const char* name :
         {"Drey_Facility_CQP8", "Drey_Marrowby_Brenmoor_VTPL", "Drey_Marrowby_Brenmoor_LWM2"}) {
        WriteBytes(area / "scenery" / (std::string(name) + ".bgl"), name);
    }
    fs::create_directory_symlink(
        "Saarbr\xc3\xbc"
        "cken",
        install.root / "Addon Scenery" / "Link");
    // The sample's own conflicting files go: only this area holds any.
    ASSERT_EQ(Tolvane({"scan"}).code, 0);
    WriteBytes(install.root / "scenery.cfg",
               "[Area.001]\r\nTitle=Saarbr\xfc"
               "cken\r\nLocal=Addon Scenery\\Saarbr\xfc"
               "cken\r\nActive=TRUE\r\n"
               "[Area.002]\r\nTitle=Link\r\nLocal=Addon Scenery\\Link\r\nActive=TRUE\r\n");
    auto states = [&] {
        const nlohmann::json status = Json({"status"}, 1);
        std::string seen;
        for (const nlohmann::json& listing : status["library"]["conflicts"]) {
            for (const nlohmann::json& file : listing["files"]) {
                seen += file["state"].get<std::string>() + " ";
            }
            seen += "| ";
        }
        size_t renamed = 0;
        for (const nlohmann::json& finding : status["findings"]) {
            if (finding["key"] == "renamedByThisPackage") {
                renamed = finding["details"]["files"].size();
            }
        }
        return seen + std::to_string(renamed);
    };
    EXPECT_EQ(states(), ".bgl .bgl .bgl | .bgl .bgl .bgl | 0");
    ASSERT_EQ(Tolvane({"scan"}).code, 0);
    EXPECT_EQ(ListTree(area / "scenery").size(), 3u);
    EXPECT_EQ(states(), ".xxx .xxx .xxx | .xxx .xxx .xxx | 3");
}

}  // namespace
