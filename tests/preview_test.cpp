// A preview is the real run on a file system that keeps its changes in
// memory: for every choice of settings and every state of the Scenery
// folders, the dry run reports byte for byte what the real run then does,
// and leaves the disk as it was.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "layers/apply.h"
#include "layers/layer_options.h"
#include "preview/simulated_file_system.h"
#include "tests/support/sweep.h"
#include "tests/support/test_support.h"
#include "tools/sample_install.h"

namespace fs = std::filesystem;

namespace {

constexpr PriorityArea H = PriorityArea::Higher;
constexpr PriorityArea L = PriorityArea::Lower;

// Everything an apply reports, as one text.
std::string Text(const ApplyReport& report, const ActivityLog& log) {
    std::string text = "settings " + std::to_string(report.settingsSaved) + " " +
                       report.settingsReason + "\n" + report.settingsBytes;
    for (const ActionReport& action : report.actions) {
        text += std::string(action.action.name) + " " +
                std::to_string(static_cast<int>(action.outcome.result)) + " " +
                action.outcome.reason + "\n";
    }
    return text + log.Text() + "log " + std::to_string(report.logWritten) + " " + report.logReason +
           "\n";
}

// The eleven settings of combination `bits`, one bit per option.
LayerSettings Combination(unsigned bits) {
    LayerSettings settings;
    int bit = 0;
    for (const LayerOption& option : LayerOptions()) {
        settings.*option.field = (bits >> bit++) & 1;
    }
    return settings;
}

class PreviewTest : public ::testing::Test {
  protected:
    // Many applies: the install lies in memory where the host allows.
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(sample::MakeInstall(temp.Path() / "FS9", sample::Options{}, &install, &error))
            << error;
        layout = PackageLayout(WinPath(install.package), HostFiles().AnsiCodePage());
    }

    // The dry run, then the real run, on the Scenery folders as `prepare`
    // leaves them: the two reports must be the same and the dry run must
    // change nothing.
    void ExpectPreviewMatches(unsigned bits, const std::function<void()>& prepare) {
        for (PriorityArea area : {H, L}) {
            RemoveTree(install.Scenery(area));
            fs::create_directories(install.Scenery(area));
        }
        prepare();
        // The simulation has no way to write; looking now and then is enough.
        const bool look = bits % 61 == 0;
        const Listing before = look ? ListTree(install.package) : Listing();
        const LayerSettings settings = Combination(bits);
        preview::SimulatedFileSystem preview(HostFiles());
        ActivityLog foreseenLog;
        const std::string foreseen =
            Text(ApplySettings(layout, settings, preview, foreseenLog), foreseenLog);
        ASSERT_EQ(look ? ListTree(install.package) : Listing(), before)
            << "the dry run changed a file";
        ActivityLog doneLog;
        const std::string done =
            Text(ApplySettings(layout, settings, HostFiles(), doneLog), doneLog);
        ASSERT_EQ(foreseen, done) << "settings " << bits;
    }

    void Copy(PriorityArea area, const std::string& name) {
        fs::copy_file(install.Cache(area) / name, install.Scenery(area) / name,
                      fs::copy_options::overwrite_existing);
    }

    // A Cache master made again as the sample install made it.
    void RestoreMaster(PriorityArea area, const std::string& name) {
        fs::remove_all(install.Cache(area) / name);
        WriteBytes(install.Cache(area) / name, sample::LayerContent(area, name, 96));
    }

    TempDir temp{MemoryFolder()};
    sample::Install install;
    InstallLayout layout;
};

const char* const kHeli = "Traffic_Tolvane1_heli.bgl";
const char* const kBoats = "Traffic_marrowby_boats.bgl";
const char* const kMask = "TolvaneDEM_LWM2.BGL";
const char* const kPark = "1_UT_PK915140_Tvl+.bgl";

TEST_F(PreviewTest, EveryCombinationOnEveryState) {
    const std::vector<std::pair<const char*, std::function<void()>>> states = {
        {"empty Scenery folders", [] {}},
        {"every layer file present",
         [&] {
             for (const auto& [area, name] : sample::LayerFiles()) {
                 Copy(area, name);
             }
         }},
        {"stale copies",
         [&] {
             WriteBytes(install.Scenery(L) / kHeli, "an older heli");
             WriteBytes(install.Scenery(H) / kPark, "an older park");
             Copy(L, kMask);
         }},
        {"a missing Cache master",
         [&] {
             fs::remove(install.Cache(L) / kBoats);
             Copy(L, kHeli);
         }},
        {"read-only copies",
         [&] {
             Copy(L, kMask);
             Copy(H, kPark);
             fs::permissions(install.Scenery(L) / kMask, fs::perms::owner_read);
             fs::permissions(install.Scenery(H) / kPark, fs::perms::owner_read);
         }},
        {"folders where files go",
         [&] {
             fs::create_directories(install.Scenery(L) / kBoats / "inside");
             fs::create_directories(install.Scenery(H) / kPark);
             fs::remove_all(install.Cache(L) / kHeli);
             fs::create_directories(install.Cache(L) / kHeli);
         }},
    };
    for (const auto& [name, prepare] : states) {
        SCOPED_TRACE(name);
        // Every combination natively; an even spread where file calls are slow.
        for (unsigned bits = 0; bits < 2048; bits += SweepStride()) {
            ExpectPreviewMatches(bits, prepare);
            if (HasFatalFailure()) {
                return;
            }
        }
        RestoreMaster(L, kBoats);
        RestoreMaster(L, kHeli);
    }
}

}  // namespace
