// The simulation on its own: what it answers after each change, held
// against what the host shows afterwards (nothing of it).
#include "preview/simulated_file_system.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/test_support.h"

namespace fs = std::filesystem;
using platform::EntryKind;
using platform::Failure;
using platform::FailureText;

namespace {

class SimulatedFileSystemTest : public ::testing::Test {
  protected:
    SimulatedFileSystemTest() : simulation(HostFiles()) {
        WriteBytes(temp.Path() / "master.bgl", "master bytes");
        WriteBytes(temp.Path() / "taken.bgl", "taken");
        fs::create_directories(temp.Path() / "Scenery");
        host = ListTree(temp.Path());
    }

    std::string Win(const std::string& relative) const {
        return WinPath(temp.Path()) + "\\" + relative;
    }

    // The shell's one-file copy, as the program requests it.
    int Copy(const std::string& from, const std::string& to, std::string* reason) {
        const std::string source = Win(from) + std::string(1, '\0');
        const std::string destination = Win(to) + std::string(1, '\0');
        platform::ShellFileOpRequest request{};
        request.wFunc = platform::kFoCopy;
        request.pFrom = source.c_str();
        request.pTo = destination.c_str();
        request.fFlags = platform::kFofSilent | platform::kFofNoConfirmation;
        return simulation.ShellOperation(request, reason);
    }

    std::string Bytes(const std::string& relative) {
        std::string bytes, reason;
        return platform::ReadWhole(simulation, Win(relative), &bytes, &reason) ==
                       platform::ReadResult::kComplete
                   ? bytes
                   : "(unreadable: " + reason + ")";
    }

    std::vector<std::string> Names(const std::string& relative) {
        std::vector<std::string> names;
        EXPECT_TRUE(simulation.ListFolder(Win(relative), &names)) << relative;
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir temp;
    Listing host;  // what the host holds throughout
    preview::SimulatedFileSystem simulation;
};

TEST_F(SimulatedFileSystemTest, CopiesMakeTheMissingFoldersAndReplaceFiles) {
    std::string reason;
    EXPECT_EQ(Copy("master.bgl", "New\\Deeper\\copy.bgl", &reason), 0) << reason;
    EXPECT_EQ(simulation.Stat(Win("New")).kind, EntryKind::kFolder);
    EXPECT_EQ(simulation.Stat(Win("new\\DEEPER")).kind, EntryKind::kFolder);
    EXPECT_EQ(Bytes("NEW\\deeper\\Copy.bgl"), "master bytes");
    EXPECT_EQ(Names(""), (std::vector<std::string>{"New", "Scenery", "master.bgl", "taken.bgl"}));
    EXPECT_EQ(Names("New\\Deeper"), std::vector<std::string>{"copy.bgl"});

    EXPECT_EQ(Copy("master.bgl", "taken.bgl", &reason), 0) << reason;
    EXPECT_EQ(Bytes("taken.bgl"), "master bytes");
    EXPECT_EQ(simulation.Stat(Win("taken.bgl")).size, 12u);

    // A missing master is the shell's "not found"; nothing comes of it.
    EXPECT_EQ(Copy("none.bgl", "Scenery\\none.bgl", &reason), platform::kShellErrorFileNotFound);
    EXPECT_EQ(reason, FailureText(Failure::kNotFound));
    EXPECT_EQ(simulation.Stat(Win("Scenery\\none.bgl")).kind, EntryKind::kNone);

    // A copy onto a folder: the Windows shell copies into it; the posix
    // stand-in refuses, and so does its simulation.
    reason.clear();
    const int onFolder = Copy("master.bgl", "Scenery", &reason);
#ifdef _WIN32
    EXPECT_EQ(onFolder, 0);
    EXPECT_EQ(Bytes("Scenery\\master.bgl"), "master bytes");
#else
    EXPECT_EQ(onFolder, platform::kShellErrorUnknown);
    EXPECT_EQ(reason, FailureText(Failure::kIsFolder));
    EXPECT_TRUE(Names("Scenery").empty());
#endif
    EXPECT_EQ(ListTree(temp.Path()), host);
}

TEST_F(SimulatedFileSystemTest, RenamesNeverReplaceAndDeletesUndoCreation) {
    std::string reason;
    EXPECT_FALSE(simulation.Rename(Win("master.bgl"), Win("taken.bgl"), &reason));
    EXPECT_EQ(reason, FailureText(Failure::kExists));
    EXPECT_FALSE(simulation.Rename(Win("master.bgl"), Win("TAKEN.bgl"), &reason));
    EXPECT_EQ(reason, FailureText(Failure::kExists));
    EXPECT_FALSE(simulation.Rename(Win("none.bgl"), Win("other.bgl"), &reason));
    EXPECT_EQ(reason, FailureText(Failure::kNotFound));
    EXPECT_FALSE(simulation.Rename(Win("master.bgl"), Win("Missing\\master.bgl"), &reason));
    EXPECT_EQ(reason, FailureText(Failure::kNotFound));

    ASSERT_TRUE(simulation.Rename(Win("master.bgl"), Win("master.xxx"), &reason)) << reason;
    EXPECT_EQ(simulation.Stat(Win("master.bgl")).kind, EntryKind::kNone);
    EXPECT_EQ(Bytes("MASTER.XXX"), "master bytes");
    // The name given up is free again; the one taken now collides.
    ASSERT_TRUE(simulation.Rename(Win("taken.bgl"), Win("master.bgl"), &reason)) << reason;
    EXPECT_FALSE(simulation.Rename(Win("master.xxx"), Win("Master.BGL"), &reason));
    EXPECT_EQ(reason, FailureText(Failure::kExists));
    EXPECT_EQ(Names(""), (std::vector<std::string>{"Scenery", "master.bgl", "master.xxx"}));

    // A file the simulation made, deleted again, is gone from every answer.
    ASSERT_EQ(Copy("master.xxx", "Scenery\\made.bgl", &reason), 0) << reason;
    EXPECT_TRUE(simulation.Delete(Win("scenery\\MADE.bgl"), platform::DeleteMode::kFile, &reason))
        << reason;
    EXPECT_EQ(simulation.Stat(Win("Scenery\\made.bgl")).kind, EntryKind::kNone);
    EXPECT_TRUE(Names("Scenery").empty());
    EXPECT_FALSE(simulation.Delete(Win("Scenery\\made.bgl"), platform::DeleteMode::kFile, &reason));
    EXPECT_EQ(reason, FailureText(Failure::kNotFound));
    EXPECT_FALSE(simulation.Delete(Win("Scenery"), platform::DeleteMode::kFile, &reason));
    EXPECT_EQ(reason, FailureText(Failure::kIsFolder));
    EXPECT_EQ(ListTree(temp.Path()), host);
}

}  // namespace
