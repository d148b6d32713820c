// The command line on installs that a hostile or unlucky user has made:
// links planted in the package folder, FIFOs, files this user may not read
// or write (as the user nobody, so that the permission bits refuse even
// when the tests run as root). Each run is a child process under a time
// limit: a run that hangs fails its test instead of the suite.
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "cli/tolvane.h"
#include "layers/settings_file.h"
#include "tests/support/apply_fixture.h"
#include "tests/support/child_process.h"

namespace fs = std::filesystem;

namespace {

constexpr PriorityArea L = PriorityArea::Lower;
constexpr unsigned kTimeLimitSeconds = 20;

struct ChildRun {
    int code;
    std::string out, err;
};

class HostileInstallTest : public ApplyFixture {
  protected:
    void SetUp() override {
        ApplyFixture::SetUp();
        fs::create_directories(outside);
        WriteBytes(outside / "precious", "nobody's settings");
        fs::permissions(outside / "precious", fs::perms(0600));
        fs::create_directories(scratch);
        fs::permissions(scratch, fs::perms::all);
    }

    // tolvane in a child process, as nobody when asked; 128 + 14 when the
    // time limit ended it.
    ChildRun Tolvane(std::vector<std::string> args, bool asNobody = false) {
        args.insert(args.begin(), {"--package", install.package.string()});
        auto body = [&] {
            alarm(kTimeLimitSeconds);
            std::ostringstream out, err;
            const int code = RunTolvane(args, "", out, err);
            WriteBytes(scratch / "out", out.str());
            WriteBytes(scratch / "err", err.str());
            return code;
        };
        fs::remove(scratch / "out");
        fs::remove(scratch / "err");
        const int code = asNobody ? RunAsNobody(body) : RunInChild(body);
        return {code, ReadBytes(scratch / "out"), ReadBytes(scratch / "err")};
    }

    // What lies outside the package, with each file's permissions.
    std::string Outside() const {
        std::string listing;
        for (const auto& entry : fs::directory_iterator(outside)) {
            listing += entry.path().filename().string() + " " +
                       std::to_string(static_cast<int>(entry.status().permissions())) + " " +
                       ReadBytes(entry.path()) + "\n";
        }
        return listing;
    }

    fs::path Ini() const { return install.package / "TolvaneConfig.ini"; }

    fs::path outside = temp.Path() / "outside";
    fs::path scratch = temp.Path() / "scratch";
};

// Links planted where the apply writes: each file is replaced by one of its
// own or refused, and nothing outside the package changes.
TEST_F(HostileInstallTest, NothingIsWrittenThroughALink) {
    SKIP_UNLESS_SUPERUSER("the in-place write refused through a link runs as nobody");
    const std::string before = Outside();
    fs::create_symlink(outside / "precious", install.package / "log.txt");
    fs::create_symlink(outside / "precious", Ini());
    fs::create_symlink(outside / "nowhere", install.package / "TolvaneConfig.ini.tmp");
    fs::create_symlink(outside / "precious", install.Scenery(L) / "Traffic_Tolvane1_heli.bgl");
    ChildRun run = Tolvane({"apply"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("could not write " + Shown(install.package / "log.txt") +
                           ": A link stands at that name"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Outside(), before);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(Ini())));
    EXPECT_FALSE(fs::exists(fs::symlink_status(install.package / "TolvaneConfig.ini.tmp")));
    EXPECT_TRUE(
        fs::is_regular_file(fs::symlink_status(install.Scenery(L) / "Traffic_Tolvane1_heli.bgl")));

    // A sibling that is a hard link of a file elsewhere is not written into.
    fs::create_hard_link(outside / "precious", install.package / "TolvaneConfig.ini.tmp");
    fs::remove(install.package / "log.txt");
    EXPECT_EQ(Tolvane({"apply"}).code, 0);
    EXPECT_EQ(Outside(), before);

    // Where the package folder refuses new files, the settings file could
    // only be written in place, which a link refuses.
    fs::remove(Ini());
    fs::create_symlink(outside / "precious", Ini());
    fs::permissions(outside / "precious", fs::perms(0666));
    fs::permissions(install.package, fs::perms(0555));
    run = Tolvane({"apply"}, true);
    fs::permissions(install.package, fs::perms::all);
    fs::permissions(outside / "precious", fs::perms(0600));
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("could not write " + Shown(Ini()) + ": A link stands"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Outside(), before);
}

// What the system refuses, the dry run foresees. Each case is built, the
// dry run runs on it (changing nothing), then the real run, as the same
// user: the two report the same in JSON (every action's result and
// reason, the settings, the log, the leftovers), with the same exit code
// and the same messages but for "would".
TEST_F(HostileInstallTest, PreviewsHoldWhereTheSystemRefuses) {
    SKIP_UNLESS_SUPERUSER("the refusals are built for the user nobody");
    const fs::path boats = install.Scenery(L) / "Traffic_marrowby_boats.bgl";
    struct Case {
        const char* name;
        std::function<void()> build;
        bool asNobody;
        int code;
        std::vector<std::string> reasons;  // in the real run's messages
    };
    const Case cases[] = {
        {"a Cache master this user may not read",
         [&] { fs::permissions(install.Cache(L) / "Traffic_Tolvane1_heli.bgl", fs::perms(0600)); },
         true,
         1,
         {"Traffic_Tolvane1_heli.bgl: the Cache master: Permission denied"}},
        {"a Cache folder this user may not search",
         [&] { fs::permissions(install.Cache(L), fs::perms(0700)); },
         true,
         1,
         {"Traffic_Tolvane1_heli.bgl: the Cache master: Permission denied"}},
        {"another user's layer files in a sticky Scenery folder",
         [&] {
             fs::permissions(install.Scenery(L), fs::perms(01777));
             for (const char* name : {"TolvaneDEM_LWM2.BGL", "Traffic_Harrel_Point.bgl"}) {
                 WriteBytes(install.Scenery(L) / name, "root's");
                 fs::permissions(install.Scenery(L) / name, fs::perms(0666));
             }
         },
         true,
         1,
         {"Scenery/TolvaneDEM_LWM2.BGL: Operation not permitted",
          "delete " + Shown(install.Scenery(L) / "Traffic_Harrel_Point.bgl") +
              ": Operation not permitted"}},
        {"another user's settings file in a sticky package folder",
         [&] {
             fs::permissions(install.package, fs::perms(01777));
             WriteBytes(Ini(), "[AI]\r\nBoats=0\r\n");
             fs::permissions(Ini(), fs::perms(0666));
         },
         true,
         0,
         {}},
        {"folders at the temporary names",
         [&] {
             fs::create_directories(install.Scenery(L) / "Traffic_Tolvane1_heli.bgl.tmp");
             fs::create_directories(install.package / "TolvaneConfig.ini.tmp");
             fs::create_symlink(outside / "precious", Ini());
         },
         false,
         0,
         {}},
        {"a half copy and a settings sibling left behind",
         [&] {
             WriteBytes(install.Scenery(L) / "Traffic_marrowby_boats.bgl.4242.tmp", "half");
             WriteBytes(install.Scenery(PriorityArea::Higher) / "1_UT_PK915140_Tvl+.bgl.tmp", "");
             WriteBytes(install.package / "TolvaneConfig.ini.7.tmp", "[UTCAN]");
         },
         false,
         0,
         {}},
        {"a leftover this user may not remove",
         [&] {
             fs::permissions(install.Scenery(L), fs::perms(0755));
             WriteBytes(boats.string() + ".tmp", "half");
             fs::permissions(boats.string() + ".tmp", fs::perms(0666));
         },
         true,
         1,
         {"remove " + Shown(boats.string() + ".tmp") + ": Permission denied"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        RemoveTree(temp.Path() / "FS9");
        std::string error;
        ASSERT_TRUE(sample::MakeInstall(temp.Path() / "FS9", sample::Options{}, &install, &error));
        if (test.asNobody) {
            for (const fs::path& folder :
                 {install.package, install.Scenery(L), install.Scenery(PriorityArea::Higher)}) {
                fs::permissions(folder, fs::perms::all);
            }
        }
        test.build();
        const Listing before = ListTree(install.root);
        ChildRun dry = Tolvane({"apply", "--set", "Ships=0", "--dry-run", "--json"}, test.asNobody);
        EXPECT_EQ(ListTree(install.root), before);
        const ChildRun real = Tolvane({"apply", "--set", "Ships=0", "--json"}, test.asNobody);
        EXPECT_EQ(real.code, test.code) << real.err;
        EXPECT_EQ(dry.code, real.code);
        for (const std::string& reason : test.reasons) {
            EXPECT_NE(real.err.find(reason), std::string::npos) << reason << "\n" << real.err;
        }
        for (size_t at; (at = dry.err.find("would not ")) != std::string::npos;) {
            dry.err.replace(at, 10, "could not ");
        }
        EXPECT_EQ(dry.err, real.err);
        nlohmann::json foreseen = nlohmann::json::parse(dry.out);
        nlohmann::json done = nlohmann::json::parse(real.out);
        foreseen.erase("dryRun");
        done.erase("dryRun");
        EXPECT_EQ(foreseen.dump(2), done.dump(2));
        EXPECT_EQ(Outside(), "precious 384 nobody's settings\n");
    }
}

// The leftovers of stopped runs: status names them, an apply removes them
// (also where the layer is off), and a run's own temporary files are its
// own: many applies at once never disturb each other.
TEST_F(HostileInstallTest, LeftoversAndAppliesAtOnce) {
    const fs::path half = install.Scenery(L) / "Traffic_Tolvane1_heli.bgl.tmp";
    const fs::path stranger = install.Scenery(L) / "notes.tmp";
    WriteBytes(half, "half a copy");
    WriteBytes(stranger, "someone else's");
    const ChildRun status = Tolvane({"status"});
    EXPECT_EQ(status.code, 1);
    EXPECT_NE(status.out.find("Left behind by runs that were stopped"), std::string::npos);
    EXPECT_NE(status.out.find(Shown(half)), std::string::npos) << status.out;
    const ChildRun apply = Tolvane({"apply", "--set", "Helos=0"});
    EXPECT_EQ(apply.code, 0) << apply.err;
    EXPECT_NE(apply.out.find("Removed " + Shown(half)), std::string::npos) << apply.out;
    EXPECT_FALSE(fs::exists(half));
    EXPECT_TRUE(fs::exists(stranger));
    EXPECT_TRUE(nlohmann::json::parse(Tolvane({"status", "--json"}).out)["leftovers"].empty());

    // Each round, applies that copy every file start together; every one of
    // them must succeed and leave nothing behind.
    for (int round = 0; round < 10; ++round) {
        std::vector<pid_t> children;
        for (int i = 0; i < 3; ++i) {
            const pid_t child = fork();
            if (child == 0) {
                std::ostringstream out, err;
                const int code =
                    RunTolvane({"--package", install.package.string(), "apply", "--set", "UT=1",
                                "--set", i == 0 ? "Parks=1" : "Parks=0"},
                               "", out, err);
                std::fputs(err.str().c_str(), stderr);
                _exit(code);
            }
            children.push_back(child);
        }
        for (pid_t child : children) {
            int result = 0;
            ASSERT_EQ(waitpid(child, &result, 0), child);
            EXPECT_TRUE(WIFEXITED(result) && WEXITSTATUS(result) == 0) << "round " << round;
        }
    }
    for (const fs::path& folder :
         {install.package, install.Scenery(L), install.Scenery(PriorityArea::Higher)}) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            EXPECT_TRUE(entry.path().extension() != ".tmp" || entry.path() == stranger)
                << entry.path();
        }
    }
}

// A Scenery folder that is a link to its own Cache folder: a delete there
// would delete a master. Nothing is copied or deleted there, every action
// of that area fails with the reason, and status says so.
TEST_F(HostileInstallTest, ASceneryFolderThatIsItsCacheFolder) {
    fs::remove_all(install.Scenery(L));
    fs::create_directory_symlink("Cache", install.Scenery(L));
    const Listing masters = ListTree(install.Cache(L));
    for (bool dry : {true, false}) {
        std::vector<std::string> args = {"apply", "--set", "Ships=0", "--set", "Boats=0"};
        if (dry) {
            args.push_back("--dry-run");
        }
        const ChildRun run = Tolvane(args);
        EXPECT_EQ(run.code, 1);
        EXPECT_NE(run.err.find("Scenery/Traffic_Harrel_Point.bgl: the Scenery folder is its "
                               "Cache folder"),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(ListTree(install.Cache(L)), masters);
    }
    const ChildRun status = Tolvane({"status", "--json"});
    EXPECT_EQ(nlohmann::json::parse(status.out)["sceneryIsCache"], nlohmann::json({"Lower"}));
}

// Two files in a Scenery folder whose names differ only in case are both
// the layer file to the simulator under Wine: a delete removes both, and
// status then agrees that the layer is gone.
TEST_F(HostileInstallTest, ACaseVariantIsDeletedToo) {
    WriteBytes(install.Scenery(L) / "Traffic_Tolvane1_heli.bgl", "one");
    WriteBytes(install.Scenery(L) / "TRAFFIC_TOLVANE1_HELI.BGL", "two");
    const ChildRun dry = Tolvane({"apply", "--set", "Helos=0", "--dry-run"});
    const ChildRun apply = Tolvane({"apply", "--set", "Helos=0"});
    EXPECT_EQ(apply.code, 0) << apply.err;
    EXPECT_EQ(dry.code, 0);
    EXPECT_NE(apply.out.find("Deleted file "), std::string::npos);
    EXPECT_FALSE(fs::exists(install.Scenery(L) / "TRAFFIC_TOLVANE1_HELI.BGL"));
    const nlohmann::json status = nlohmann::json::parse(Tolvane({"status", "--json"}).out);
    EXPECT_EQ(status["layers"][20]["present"], false) << status["layers"][20];
}

// The program as a process of its own: the build's, or a copy that another
// user may read (TOLVANE_NATIVE_PROGRAM).
std::string ProgramPath() {
    const char* copy = std::getenv("TOLVANE_NATIVE_PROGRAM");
    return copy != nullptr && *copy != '\0' ? copy : TOLVANE_PROGRAM;
}

// The process of the program that the tracer started, once it runs the
// program (the tracer starts helpers of its own too); -1 when it does not.
pid_t TracedProgram(pid_t tracer) {
    const std::string children =
        "/proc/" + std::to_string(tracer) + "/task/" + std::to_string(tracer) + "/children";
    for (int tries = 0; tries < 2000; ++tries) {
        std::ifstream in(children);
        for (pid_t pid = 0; in >> pid;) {
            std::ifstream command("/proc/" + std::to_string(pid) + "/cmdline");
            std::string program;
            if (std::getline(command, program, '\0') && program == ProgramPath()) {
                return pid;
            }
        }
        usleep(5000);
    }
    return -1;
}

// True once the process is held in the system call of that number.
bool HeldIn(pid_t pid, long call) {
    for (int tries = 0; tries < 2000; ++tries) {
        std::ifstream in("/proc/" + std::to_string(pid) + "/syscall");
        long number = -1;
        if (in >> number && number == call) {
            return true;
        }
        usleep(5000);
    }
    return false;
}

// tolvane under strace with the tracing options given; the tracer's pid,
// whose exit code is the program's.
pid_t StartTraced(const std::vector<std::string>& trace, const std::vector<std::string>& args) {
    std::vector<std::string> words = {"strace", "-qq", "-o", "/dev/null"};
    words.insert(words.end(), trace.begin(), trace.end());
    words.push_back(ProgramPath());
    words.insert(words.end(), args.begin(), args.end());
    const pid_t tracer = fork();
    if (tracer == 0) {
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        // LeakSanitizer cannot work under a tracer: it would fail the run.
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        execvp("strace", argv.data());
        _exit(127);
    }
    return tracer;
}

int ExitCodeOf(pid_t process) {
    int status = 0;
    return waitpid(process, &status, 0) == process && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Another run's temporary file, which it still writes, is no leftover: the
// status and a preview do not name it, and an apply leaves it alone, also
// when its run has meanwhile given it the file's name and started its next
// copy at the same name. Run A copies the boats file twice (for the ships
// and for the boats), held before each rename into it; run B meets A's
// first temporary file, and is held before it locks it until A has started
// its second copy there.
TEST_F(HostileInstallTest, ARunsTemporaryFileIsNoLeftover) {
    const fs::path boats = install.Scenery(L) / "Traffic_marrowby_boats.bgl";
    // Renamed into their places: the settings, four traffic files, the
    // boats file twice.
    const std::vector<std::string> apply = {"--package", install.package.string(),
                                            "apply",     "--set",
                                            "UT=0",      "--set",
                                            "Helos=0",   "--set",
                                            "Floats=0",  "--set",
                                            "Ships=1",   "--set",
                                            "Boats=1"};
    const pid_t a = StartTraced(
        {"-e", "trace=rename", "-e", "inject=rename:delay_enter=2000000:when=6..7"}, apply);
    const pid_t program = TracedProgram(a);
    ASSERT_GT(program, 0);
    const fs::path sibling = boats.string() + "." + std::to_string(program) + ".tmp";
    for (int tries = 0; tries < 2000 && !fs::exists(sibling); ++tries) {
        usleep(5000);
    }
    ASSERT_TRUE(fs::exists(sibling) && HeldIn(program, SYS_rename));

    const ChildRun status = Tolvane({"status", "--json"});
    EXPECT_TRUE(nlohmann::json::parse(status.out)["leftovers"].empty()) << status.out;
    const ChildRun preview = Tolvane({"apply", "--dry-run"});
    EXPECT_EQ(preview.out.find(sibling.filename().string()), std::string::npos) << preview.out;

    const pid_t b = StartTraced({"-P", sibling.string(), "-e", "trace=fcntl", "-e",
                                 "inject=fcntl:delay_enter=3000000:when=1"},
                                apply);
    EXPECT_EQ(ExitCodeOf(b), 0);
    EXPECT_EQ(ExitCodeOf(a), 0);
    EXPECT_EQ(ReadBytes(boats), ReadBytes(install.Cache(L) / "Traffic_marrowby_boats.bgl"));
    EXPECT_FALSE(fs::exists(sibling));
}

// Where the package folder refuses new files, the settings are written in
// place. The program is held at each step of that write (strace delays the
// system call before or after it runs) and killed there: the settings file
// then reads as the old settings or the new ones, never a mix, also when
// the old file is far longer than the new one.
TEST_F(HostileInstallTest, AKilledInPlaceSaveLosesNoSetting) {
    SKIP_UNLESS_SUPERUSER("the program runs as nobody in a folder that refuses new files");
    const std::string old =
        "[UTCAN]\r\nUT=1\r\nParks=1\r\n\r\n[AI]\r\nBoats=0\r\n\r\n[Notes]\r\nText=" +
        std::string(100 * 1024, 'x') + "\r\n\r\n[UTCAN]\r\nUT=1\r\n[AI]\r\nBoats=0\r\n";
    const struct {
        long call;
        const char* point;
        int when;
    } points[] = {
        {SYS_pwrite64, "pwrite64:delay_enter", 1},   {SYS_pwrite64, "pwrite64:delay_exit", 1},
        {SYS_fsync, "fsync:delay_exit", 1},          {SYS_pwrite64, "pwrite64:delay_exit", 2},
        {SYS_ftruncate, "ftruncate:delay_enter", 1}, {SYS_ftruncate, "ftruncate:delay_exit", 1},
        {SYS_fsync, "fsync:delay_exit", 2}};
    for (const auto& [call, point, when] : points) {
        SCOPED_TRACE(std::string(point) + " " + std::to_string(when));
        fs::permissions(install.package, fs::perms::all);
        WriteBytes(Ini(), old);
        fs::permissions(Ini(), fs::perms(0666));
        fs::permissions(install.package, fs::perms(0555));
        const std::string name = std::string(point).substr(0, std::string(point).find(':'));
        const std::string trace = "trace=" + name;
        const std::string inject =
            "inject=" + std::string(point) + "=5000000:when=" + std::to_string(when);
        const pid_t tracer = fork();
        if (tracer == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            execlp("strace", "strace", "-qq", "-o", "/dev/null", "-e", trace.c_str(), "-e",
                   inject.c_str(), "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                   ProgramPath().c_str(), "--package", install.package.c_str(), "apply", "--set",
                   "UT=0", "--set", "Boats=1", nullptr);
            _exit(127);
        }
        const pid_t program = TracedProgram(tracer);
        const bool held = program > 0 && HeldIn(program, call);
        if (program > 0) {
            kill(program, SIGKILL);
        }
        kill(tracer, SIGKILL);  // which would otherwise wait out its delay
        waitpid(tracer, nullptr, 0);
        fs::permissions(install.package, fs::perms::all);
        ASSERT_TRUE(held) << "the program was not held in " << name;
        if (ReadBytes(Ini()) == old) {
            continue;
        }
        const LoadedSettings loaded = LoadLayerSettings(HostFiles(), WinPath(Ini()));
        EXPECT_EQ(loaded.values.UT, 0);
        EXPECT_EQ(loaded.values.Parks, 1);
        EXPECT_EQ(loaded.values.Boats, 1);
        EXPECT_EQ(std::count(loaded.fromFile.begin(), loaded.fromFile.end(), true), 11);
    }
}

// A layer copy onto a full disk (a small file system of its own, mounted
// in a child's mount namespace) fails with the system's reason and leaves
// no half copy behind.
TEST_F(HostileInstallTest, ACopyOntoAFullDiskSaysSo) {
    SKIP_UNLESS_SUPERUSER("a small file system is mounted");
    WriteBytes(install.Cache(L) / "Traffic_Tolvane1_heli.bgl", std::string(1 << 20, 'h'));
    const int code = RunInChild([&] {
        if (unshare(CLONE_NEWNS) != 0 ||
            mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) ||
            mount("tolvane-full", install.Scenery(L).c_str(), "tmpfs", 0, "size=256k") != 0) {
            return 90;
        }
        std::ostringstream out, err;
        const int result =
            RunTolvane({"--package", install.package.string(), "apply"}, "", out, err);
        WriteBytes(scratch / "err", err.str());
        WriteBytes(scratch / "left", std::to_string(ListTree(install.Scenery(L)).size()));
        return result;
    });
    ASSERT_NE(code, 90) << "no small file system could be mounted";
    EXPECT_EQ(code, 1);
    EXPECT_NE(ReadBytes(scratch / "err").find("Traffic_Tolvane1_heli.bgl: No space left on device"),
              std::string::npos)
        << ReadBytes(scratch / "err");
    EXPECT_EQ(ReadBytes(scratch / "left"), "6");  // the other traffic files and the masks
}

// A scenery.cfg or settings file that is there but cannot be read stops
// every command with its reason; nothing is applied on settings that could
// not be read.
TEST_F(HostileInstallTest, UnreadableInputIsAnError) {
    SKIP_UNLESS_SUPERUSER("files unreadable to nobody");
    const Listing before = ListTree(install.package);
    fs::create_directories(Ini() / "inside");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"status"}, {"apply", "--set", "UT=1"}}) {
        const ChildRun run = Tolvane(args);
        const std::string& command = args[0];
        EXPECT_EQ(run.code, 2) << command;
        EXPECT_NE(run.err.find("cannot read " + Shown(Ini()) + ": Is a directory"),
                  std::string::npos)
            << run.err;
    }
    EXPECT_EQ(ListTree(install.package), before);
    fs::remove_all(Ini());

    WriteBytes(Ini(), "[UTCAN]\r\nUT=1\r\n");
    fs::permissions(Ini(), fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(install.root / "scenery.cfg", fs::perms::none);
    // scenery.cfg stops the status and the passes, the settings file the apply.
    for (const char* command : {"status", "scan", "restore", "apply"}) {
        const ChildRun run = Tolvane({command}, true);
        EXPECT_EQ(run.code, 2) << command;
        EXPECT_NE(run.err.find("Permission denied"), std::string::npos) << run.err;
    }
}

// Every failure of an apply is exit code 1 with its reason; a delete of a
// file that was not there is none.
TEST_F(HostileInstallTest, FailedActionsAreFailures) {
    SKIP_UNLESS_SUPERUSER("folders unwritable to nobody");
    EXPECT_EQ(Tolvane({"apply"}).code, 0);  // only deletes of files that are not there fail
    fs::remove(install.Cache(L) / "Traffic_Tolvane1_heli.bgl");
    WriteBytes(install.Scenery(PriorityArea::Higher) / "1_UT_PK915140_Tvl+.bgl", "parks");
    fs::permissions(install.Scenery(PriorityArea::Higher) / "1_UT_PK915140_Tvl+.bgl",
                    fs::perms::owner_read);
    const ChildRun run = Tolvane({"apply", "--json"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("could not copy " +
                           Shown(install.Cache(L) / "Traffic_Tolvane1_heli.bgl") + " to "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("could not delete " +
                           Shown(install.Scenery(PriorityArea::Higher) / "1_UT_PK915140_Tvl+.bgl") +
                           ": The file is read-only"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("\"result\": \"not there\""), std::string::npos);

    // Scenery folders this user may not write: every copy fails, with its reason.
    fs::permissions(install.Scenery(L), fs::perms(0555));
    fs::permissions(install.package, fs::perms::all);
    fs::permissions(install.package / "TolvaneConfig.ini", fs::perms(0666));
    fs::permissions(install.package / "log.txt", fs::perms(0666));
    const ChildRun denied = Tolvane({"apply"}, true);
    EXPECT_EQ(denied.code, 1);
    EXPECT_NE(denied.err.find("Traffic_Harrel_Point.bgl: Permission denied"), std::string::npos)
        << denied.err;
}

// FIFOs where the program reads or writes: refused at once, never waited on.
TEST_F(HostileInstallTest, FifosNeverHang) {
    const fs::path places[] = {install.root / "scenery.cfg", Ini(), install.package / "log.txt",
                               install.Cache(L) / "Traffic_Tolvane1_heli.bgl",
                               install.Scenery(L) / "Traffic_Harrel_Point.bgl"};
    for (const fs::path& place : places) {
        fs::remove(place);
        ASSERT_EQ(mkfifo(place.c_str(), 0666), 0);
    }
    for (const char* command : {"status", "scan", "restore", "apply"}) {
        for (bool dry : {true, false}) {
            std::vector<std::string> args = {command};
            if (dry && std::string(command) != "status") {
                args.push_back("--dry-run");
            }
            const ChildRun run = Tolvane(args);
            EXPECT_EQ(run.code, 2) << command << " " << dry << " " << run.err;
            EXPECT_NE(run.err.find("Not a regular file"), std::string::npos) << run.err;
        }
    }
    fs::remove(install.root / "scenery.cfg");
    fs::remove(Ini());
    WriteBytes(install.root / "scenery.cfg", "[Area.001]\r\nLocal=Scenery\\World\r\n");
    const ChildRun apply = Tolvane({"apply"});
    EXPECT_EQ(apply.code, 1);
    EXPECT_NE(apply.err.find("Traffic_Tolvane1_heli.bgl to "), std::string::npos) << apply.err;
    EXPECT_NE(apply.err.find("log.txt: Not a regular file"), std::string::npos) << apply.err;
}

// A Scenery copy that is a link to an endless device, or much larger than
// its master: "stale" is told without reading it.
TEST_F(HostileInstallTest, StaleIsToldWithoutReadingWhatTheUserDidNotChoose) {
    fs::create_symlink("/dev/zero", install.Scenery(L) / "Traffic_Tolvane1_heli.bgl");
    WriteBytes(install.Scenery(L) / "Traffic_Harrel_Point.bgl", "");
    fs::resize_file(install.Scenery(L) / "Traffic_Harrel_Point.bgl", 1ull << 32);  // sparse
    const ChildRun run = Tolvane({"status"});
    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_NE(run.out.find("Traffic_Tolvane1_heli.bgl  (stale"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Traffic_Harrel_Point.bgl  (stale"), std::string::npos) << run.out;
}

// Area folders this user may not write: the preview says what the scan
// then meets, with the same exit code and the same reasons.
TEST_F(HostileInstallTest, ScanPreviewInFoldersThatRefuseWrites) {
    SKIP_UNLESS_SUPERUSER("folders unwritable to nobody");
    const Listing before = ListTree(install.root);
    const ChildRun dry = Tolvane({"scan", "--dry-run"}, true);
    const ChildRun real = Tolvane({"scan"}, true);
    EXPECT_EQ(dry.code, 1);
    EXPECT_EQ(real.code, 1);
    EXPECT_EQ(ListTree(install.root), before);
    EXPECT_NE(real.err.find("could not rename"), std::string::npos) << real.err;
    std::string dryErr = dry.err;
    for (size_t at; (at = dryErr.find("would not ")) != std::string::npos;) {
        dryErr.replace(at, 10, "could not ");
    }
    EXPECT_EQ(dryErr, real.err);
}

// Two names that differ only in case are one file to Windows: the scan
// renames the one Wine finds first and then meets the other's new name.
TEST_F(HostileInstallTest, NamesThatDifferOnlyInCase) {
    const fs::path folder = install.root / "Addon Scenery" / "Drey Marrowby" / "scenery";
    fs::rename(folder / "Drey_Facility_CQP8.bgl", folder / "DREY_FACILITY_CQP8.BGL");
    WriteBytes(folder / "drey_facility_cqp8.bgl", "the other one");
    const ChildRun scan = Tolvane({"scan"});
    EXPECT_EQ(scan.code, 0);
    EXPECT_NE(scan.out.find("renamed " + Shown(folder / "Drey_Facility_CQP8.bgl")),
              std::string::npos)
        << scan.out;
    const ChildRun status = Tolvane({"status"});
    EXPECT_EQ(status.code, 1);
    EXPECT_NE(status.out.find("A scan could not rename " +
                              Shown(folder / "Drey_Facility_CQP8.bgl") + ": File exists"),
              std::string::npos)
        << status.out;
    const ChildRun again = Tolvane({"scan"});
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("File exists"), std::string::npos) << again.err;
}

// An install inside a Wine prefix's drive_c, reached without --wineprefix:
// named on drive C: as Wine names it, read in the prefix's code page, and
// with the per-user copies Windows would keep in the prefix's VirtualStore.
class PrefixInstallTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(prefix / "dosdevices");
        fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
        fs::create_directory_symlink("/", prefix / "dosdevices" / "z:");
        WriteBytes(prefix / "system.reg",
                   "WINE REGISTRY Version "
                   "2\n\n[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\CodePage] "
                   "1\n\"ACP\"=\"1252\"\n\"OEMCP\"=\"437\"\n");
        WriteBytes(
            prefix / "user.reg",
            "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\"
            "Explorer\\\\Shell Folders] 1\n\"Local AppData\"=\"C:\\\\users\\\\me\\\\AppData\\\\"
            "Local\"\n");
        std::string error;
        ASSERT_TRUE(sample::MakeInstall(prefix / "drive_c" / "Program Files" / "Flüge" / "FS9",
                                        sample::Options{}, &install, &error))
            << error;
    }

    fs::path Store() const {
        return prefix / "drive_c" / "users" / "me" / "AppData" / "Local" / "VirtualStore" /
               "Program Files" / "Flüge" / "FS9";
    }

    nlohmann::json Status(int expectedCode) {
        std::ostringstream out, err;
        EXPECT_EQ(
            RunTolvane({"--package", install.package.string(), "status", "--json"}, "", out, err),
            expectedCode)
            << err.str();
        return nlohmann::json::parse(out.str());
    }

    TempDir temp;
    fs::path prefix = temp.Path() / "prefix";
    sample::Install install;
};

TEST_F(PrefixInstallTest, VirtualStoreCopiesAreReported) {
    std::ostringstream out, err;
    ASSERT_EQ(RunTolvane({"--package", install.package.string(), "apply"}, "", out, err), 0);
    ASSERT_EQ(RunTolvane({"--package", install.package.string(), "scan"}, "", out, err), 0);
    nlohmann::json status = Status(0);
    // The package is named as Wine names it, in Windows-1252 (the JSON in UTF-8).
    EXPECT_EQ(status["package"], "C:\\Program Files\\Flüge\\FS9\\Addon Scenery\\Tolvane\\");
    EXPECT_EQ(status["virtualStore"]["folder"],
              "C:\\users\\me\\AppData\\Local\\VirtualStore\\Program Files\\Flüge\\FS9");
    EXPECT_TRUE(status["virtualStore"]["copies"].empty());
    EXPECT_EQ(ReadBytes(install.package / "log.txt").substr(0, 60),
              "Delete file failed\r\nDelete file failed\r\nDelete file failed\r\n");
    EXPECT_NE(ReadBytes(install.package / "log.txt").find("C:\\Program Files\\Fl\xFCge\\FS9"),
              std::string::npos);

    const fs::path store = Store();
    fs::create_directories(store / "Addon Scenery" / "Tolvane" / "Tolvane - Lower Priority" /
                           "Scenery");
    fs::create_directories(store / "Addon Scenery" / "Drey Marrowby" / "scenery");
    WriteBytes(store / "scenery.cfg", "[General]\r\n");
    WriteBytes(store / "Addon Scenery" / "Tolvane" / "TolvaneConfig.ini", "[UTCAN]\r\nUT=1\r\n");
    fs::copy_file(install.Scenery(L) / "Traffic_Tolvane1_heli.bgl",
                  store / "Addon Scenery" / "Tolvane" / "Tolvane - Lower Priority" / "Scenery" /
                      "Traffic_Tolvane1_heli.bgl");
    WriteBytes(store / "Addon Scenery" / "Drey Marrowby" / "scenery" / "Drey_Facility_CQP8.xxx",
               "x");
    WriteBytes(store / "unrelated.txt", "x");
    status = Status(1);
    const nlohmann::json& copies = status["virtualStore"]["copies"];
    ASSERT_EQ(copies.size(), 4u) << status["virtualStore"].dump(2);
    EXPECT_EQ(copies[0]["file"], "C:\\Program Files\\Flüge\\FS9\\scenery.cfg");
    EXPECT_EQ(copies[0]["differs"], true);
    EXPECT_EQ(copies[1]["meaning"],
              "TolvaneConfig started without administrator rights keeps its "
              "settings here; started as administrator it does not see them");
    EXPECT_EQ(copies[2]["differs"], false);
    EXPECT_EQ(copies[3]["realExists"], true);
    EXPECT_EQ(status["virtualStore"]["otherFiles"], 1);
}

// Links in the VirtualStore to its own folders and to the root: the walk
// follows none of them, ends at once and counts only regular files.
TEST_F(PrefixInstallTest, TheVirtualStoreWalkFollowsNoLink) {
    const fs::path store = Store();
    fs::create_directories(store / "deeper");
    WriteBytes(store / "deeper" / "unrelated.txt", "x");
    fs::create_directory_symlink(".", store / "a");
    fs::create_directory_symlink(".", store / "b");
    fs::create_directory_symlink("..", store / "deeper" / "up");
    fs::create_directory_symlink("/", store / "root");
    fs::create_symlink("/etc/hostname", store / "hostname");
    const fs::path result = temp.Path() / "status.json";
    const int code = RunInChild([&] {
        alarm(20);
        std::ostringstream out, err;
        const int status =
            RunTolvane({"--package", install.package.string(), "status", "--json"}, "", out, err);
        WriteBytes(result, out.str());
        return status;
    });
    ASSERT_LT(code, 128) << "the status did not end";
    EXPECT_EQ(nlohmann::json::parse(ReadBytes(result))["virtualStore"]["otherFiles"], 1);
}

// Names outside ASCII: scenery.cfg in Windows-1252, the host's names in
// UTF-8. The area is found under its UTF-8 name; a host name that is not
// UTF-8 is not found (never mangled into another), and no byte of a title
// or a path can make the JSON fail.
TEST_F(ApplyFixture, NamesOutsideAsciiAsWineReadsThem) {
    const fs::path utf8 = install.root / "Addon Scenery" / "Saarbrücken" / "scenery";
    const fs::path raw = install.root / "Addon Scenery" / "Raw\xFC" / "scenery";
    for (const fs::path& folder : {utf8, raw}) {
        fs::create_directories(folder);
        WriteBytes(folder / "Drey_Facility_CQP8.bgl", "x");
    }
    WriteBytes(install.root / "scenery.cfg",
               "[Area.001]\r\nTitle=Saarbr\xFC"
               "cken \x81\r\nLocal=Addon Scenery\\Saarbr\xFC"
               "cken\r\nActive=TRUE\r\n"
               "[Area.002]\r\nTitle=Raw\r\nLocal=Addon Scenery\\Raw\xC3\xBC\r\nActive=TRUE\r\n");
    std::ostringstream out, err;
    ASSERT_EQ(RunTolvane({"--package", install.package.string(), "scan", "--dry-run", "--json"}, "",
                         out, err),
              0)
        << err.str();
    const nlohmann::json scan = nlohmann::json::parse(out.str());
    ASSERT_EQ(scan["renames"].size(), 1u) << scan.dump(2);
    const std::string from = scan["renames"][0]["from"];
    EXPECT_EQ(from.substr(from.rfind("\\Addon Scenery\\")),
              "\\Addon Scenery\\Saarbrücken\\scenery\\Drey_Facility_CQP8.bgl");
    out.str("");
    RunTolvane({"--package", install.package.string(), "status", "--json"}, "", out, err);
    const nlohmann::json status = nlohmann::json::parse(out.str());
    EXPECT_EQ(status["library"]["conflicts"][0]["title"], "Saarbrücken \xEF\xBF\xBD");
}

// The package named ".", "..", through a link to it, or in Windows form
// with forward slashes and a trailing one: the same package, named as
// Windows names it, and the same log.txt.
TEST_F(ApplyFixture, ThePackageNamedEveryWay) {
    std::ostringstream out, err;
    ASSERT_EQ(RunTolvane({"--package", install.package.string(), "apply"}, "", out, err), 0)
        << err.str();
    const std::string logged = ReadBytes(install.package / "log.txt");
    const fs::path link = temp.Path() / "link";
    fs::create_directory_symlink(install.package, link);
    const std::pair<std::string, fs::path> spellings[] = {
        {".", install.package},
        {"..", install.Scenery(L).parent_path()},
        {link.string(), fs::current_path()},
        {"Z:" + install.package.string() + "/", fs::current_path()},
    };
    for (const auto& [package, folder] : spellings) {
        fs::remove(install.package / "log.txt");
        const int code = RunInChild([&] {
            std::ostringstream childOut, childErr;
            return chdir(folder.c_str()) != 0
                       ? 90
                       : RunTolvane({"--package", package, "apply"}, "", childOut, childErr);
        });
        EXPECT_EQ(code, 0) << package;
        EXPECT_EQ(ReadBytes(install.package / "log.txt"), logged) << package;
    }
}

// A Wine prefix whose ANSI code page is 932 (Japanese), where the second
// byte of a character may be a backslash (ソ is 83 5C, 表 is 95 5C): the
// package below such folders is found, named on the command line in the
// host's UTF-8 either way, and an area so named is scanned.
TEST(DoubleBytePrefixTest, NamesWhoseSecondByteIsABackslash) {
    TempDir temp;
    const fs::path prefix = temp.Path() / "prefix";
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    fs::create_directory_symlink("/", prefix / "dosdevices" / "z:");
    WriteBytes(prefix / "system.reg",
               "WINE REGISTRY Version 2\n\n[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\"
               "CodePage] 1\n\"ACP\"=\"932\"\n");
    sample::Install install;
    std::string error;
    ASSERT_TRUE(sample::MakeInstall(prefix / "drive_c" / "\xE3\x82\xBD" / "FS9", sample::Options{},
                                    &install, &error))
        << error;                                                           // ソ
    const fs::path area = install.root / "Addon Scenery" / "\xE8\xA1\xA8";  // 表
    fs::create_directories(area / "scenery");
    WriteBytes(area / "scenery" / "Drey_Facility_CQP8.bgl", "x");
    std::string library = ReadBytes(install.root / "scenery.cfg");
    library += "[Area.020]\r\nLocal=Addon Scenery\\\x95\x5C\\\r\nActive=TRUE\r\n";
    WriteBytes(install.root / "scenery.cfg", library);
    const std::string windows = "C:\\\xE3\x82\xBD\\FS9\\Addon Scenery\\Tolvane";
    for (const std::string& package : {install.package.string(), windows}) {
        std::ostringstream out, err;
        ASSERT_EQ(RunTolvane({"--wineprefix", prefix.string(), "--package", package, "scan",
                              "--dry-run", "--json"},
                             "", out, err),
                  0)
            << package << "\n"
            << err.str();
        const nlohmann::json scan = nlohmann::json::parse(out.str());
        EXPECT_EQ(scan["library"], "C:\\\xE3\x82\xBD\\FS9\\scenery.cfg");
        bool found = false;
        for (const nlohmann::json& rename : scan["renames"]) {
            found = found || rename["from"] ==
                                 "C:\\\xE3\x82\xBD\\FS9\\Addon Scenery\\\xE8\xA1\xA8"
                                 "\\scenery\\Drey_Facility_CQP8.bgl";
        }
        EXPECT_TRUE(found) << scan.dump(2);
    }
}

}  // namespace
