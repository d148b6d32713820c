// One apply with every option on (19 copies, the boats file twice, and 2
// deletes) over layer files of realistic sizes, against cp making the same
// 19 copies. Warm cache; the best of several runs of each is compared.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/bench_util.h"
#include "host/host_names.h"
#include "host/system_files.h"
#include "layers/layer_plan.h"
#include "paths/install_layout.h"
#include "platform/file_system.h"
#include "tools/sample_install.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

LayerSettings EverythingOn() {
    LayerSettings s;
    s.UT = s.GolfCourses = s.Parks = s.MinorRoads = s.MajorRoads = s.Cemetaries = 1;
    s.Railroads = s.Helos = s.Ships = s.Floats = s.Boats = 1;
    return s;
}

// Empty Scenery folders, except the two mask files that the apply deletes.
void ResetScenery(const sample::Install& install) {
    for (PriorityArea area : {PriorityArea::Higher, PriorityArea::Lower}) {
        fs::remove_all(install.Scenery(area));
        fs::create_directories(install.Scenery(area));
    }
    for (const char* mask : {"TolvaneDEM_LWM2.BGL", "TolvaneDEM_LWM3.BGL"}) {
        fs::copy_file(install.Cache(PriorityArea::Lower) / mask,
                      install.Scenery(PriorityArea::Lower) / mask);
    }
}

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// The same 19 copies as the apply, by cp: the twelve Higher files, the six
// distinct Lower ones, then the boats file a second time.
std::string CpCommands(const sample::Install& install) {
    std::string higher = "cp -f";
    std::string lower = "cp -f";
    for (const auto& [area, name] : sample::LayerFiles()) {
        if (name.rfind("TolvaneDEM_", 0) == 0) {
            continue;
        }
        (area == PriorityArea::Higher ? higher : lower) += " " + Quoted(install.Cache(area) / name);
    }
    const PriorityArea L = PriorityArea::Lower;
    return higher + " " + Quoted(install.Scenery(PriorityArea::Higher)) + " && " + lower + " " +
           Quoted(install.Scenery(L)) + " && cp -f " +
           Quoted(install.Cache(L) / "Traffic_marrowby_boats.bgl") + " " +
           Quoted(install.Scenery(L));
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    const bool shortRun = bench::ShortRun(argc, argv);
    const int runs = shortRun ? 1 : 7;
    fs::path root = fs::temp_directory_path() / "tolvane-apply-bench";
    fs::remove_all(root);
    sample::Options options;
    options.realisticSizes = !shortRun;
    sample::Install install;
    std::string error;
    if (!sample::MakeInstall(root, options, &install, &error)) {
        std::fprintf(stderr, "apply_bench: %s\n", error.c_str());
        return 1;
    }
    const std::unique_ptr<platform::FileSystem> files = host::SystemFileSystem();
    const InstallLayout layout =
        PackageLayout(sample::WindowsPathOf(install.package), files->AnsiCodePage());
    std::uintmax_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        total += entry.is_regular_file() ? entry.file_size() : 0;
    }

    const std::string cp = CpCommands(install);
    double bestApply = 1e9;
    double bestCp = 1e9;
    for (int run = 0; run < runs; ++run) {
        ResetScenery(install);
        ActivityLog log;
        auto start = Clock::now();
        ApplyLayerPlan(EverythingOn(), FileActionContext{layout, *files, log, nullptr});
        bestApply = std::min(bestApply, Seconds(Clock::now() - start));
        if (log.Text().find("failed") != std::string::npos) {
            std::fprintf(stderr, "apply_bench: an action failed:\n%s", log.Text().c_str());
            return 1;
        }

        ResetScenery(install);
        start = Clock::now();
        if (std::system(cp.c_str()) != 0) {
            std::fprintf(stderr, "apply_bench: cp failed\n");
            return 1;
        }
        bestCp = std::min(bestCp, Seconds(Clock::now() - start));
    }
    fs::remove_all(root);

    double ratio = bestApply / bestCp;
    std::printf("sample install: %.0f MB of files\n", static_cast<double>(total) / (1 << 20));
    std::printf("apply (19 copies, 2 deletes): %8.2f ms (best of %d)\n", bestApply * 1e3, runs);
    std::printf("cp (the same 19 copies):      %8.2f ms (best of %d)\n", bestCp * 1e3, runs);
    return bench::Verdict(bench::Check("apply / cp", ratio, 1.10, shortRun), shortRun);
}
