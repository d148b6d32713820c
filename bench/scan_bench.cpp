// The conflict scan over generated libraries of 2,000 and 20,000 areas, the
// conflicting files present in 1% of them, next to the INI load of the same
// scenery.cfg, to the listings of the areas' scenery folders it has to make
// (one per active area; the existence tests it used to make are timed too,
// three per active area), and to the command line's status of the same
// install, which is that scan on a simulation.
// Warm cache; best of several runs of each.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "host/host_names.h"
#include "host/system_files.h"
#include "ini/ini_store.h"
#include "paths/install_layout.h"
#include "platform/file_system.h"
#include "scenerycfg/conflict_pass.h"
#include "scenerycfg/scenery_library.h"
#include "survey/install_status.h"
#include "tools/sample_install.h"
#include "tools/sample_library.h"

namespace fs = std::filesystem;

namespace {

struct Times {
    double scan, load, tests, walk, listings, status, storeStatus;
};

// A Wine prefix whose drive Z: is the host's root and whose user keeps a
// VirtualStore holding a copy of one area's conflicting file, as Windows
// would keep it: the status then looks for copies of every file it knows.
std::unique_ptr<platform::FileSystem> PrefixWithVirtualStore(const fs::path& prefix,
                                                             const fs::path& root) {
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("/", prefix / "dosdevices" / "z:");
    const fs::path appData = prefix / "appdata";
    std::ofstream(prefix / "user.reg")
        << "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders]\n"
        << "\"Local AppData\"=\"Z:" << appData.string() << "\"\n";
    const fs::path copy = appData / "VirtualStore" /
                          fs::relative(sample::LibraryAreaFolder(root, 5), "/") / "scenery";
    fs::create_directories(copy);
    std::ofstream(copy / "Drey_Facility_CQP8.xxx") << "copy";
    std::string error;
    return host::WinePrefixFileSystem(prefix.string(), &error);
}

// The package's two areas in the library's tree, every layer file in its
// Cache folder and a copy of it in its Scenery folder, as after an apply
// with every option on.
void AddPackage(const fs::path& root) {
    const sample::Install install{root, root / "Addon Scenery" / "Tolvane"};
    for (const auto& [area, name] : sample::LayerFiles()) {
        fs::create_directories(install.Cache(area));
        fs::create_directories(install.Scenery(area));
        std::ofstream(install.Cache(area) / name, std::ios::binary)
            << sample::LayerContent(area, name, 4096);
        fs::copy_file(install.Cache(area) / name, install.Scenery(area) / name);
    }
}

Times Measure(int areas, int runs) {
    fs::path root = fs::temp_directory_path() / "tolvane-scan-bench" / std::to_string(areas);
    fs::remove_all(root);
    std::string error;
    if (!sample::MakeSceneryLibrary(root, areas, 100, &error)) {
        std::fprintf(stderr, "scan_bench: %s\n", error.c_str());
        std::exit(1);
    }
    AddPackage(root);
    const std::unique_ptr<platform::FileSystem> files = host::SystemFileSystem();
    const std::unique_ptr<host::HostNames> host = host::SystemHostNames();
    const std::string fsRoot = sample::WindowsPathOf(root);
    auto quiet = [](const std::string&, const std::string&, unsigned) {};

    // The three paths the scan tests in every active area (every tenth
    // area of the generated library is inactive).
    std::vector<std::string> paths, folders;
    for (int n = 1; n <= areas; ++n) {
        std::string folder = sample::WindowsPathOf(sample::LibraryAreaFolder(root, n));
        folders.push_back(folder + "\\scenery");
        if (n % 10 == 0) {
            continue;
        }
        for (const char* name : {"Drey_Facility_CQP8.bgl", "Drey_Marrowby_Brenmoor_VTPL.bgl",
                                 "Drey_Marrowby_Brenmoor_LWM2.bgl"}) {
            paths.push_back(folder + "\\scenery\\" + name);
        }
    }

    Times t{};
    t.scan = bench::BestOf(
        runs, [&] { ConflictScan(*files, fsRoot, quiet); },
        [&] { ConflictRestore(*files, fsRoot, quiet); });
    t.load = bench::BestOf(runs, [&] {
        CIniStore store(*files, fsRoot + "\\scenery.cfg");
        store.Load();
    });
    int found = 0;
    t.tests = bench::BestOf(runs, [&] {
        found = 0;
        for (const std::string& path : paths) {
            found += files->Exists(path);
        }
    });
    t.walk =
        bench::BestOf(runs, [&] { ForEachSceneryArea(*files, fsRoot, [](const SceneryArea&) {}); });
    t.listings = bench::BestOf(runs, [&] {
        std::vector<std::string> names;
        for (const std::string& folder : folders) {
            if (!files->ListFolder(folder, &names)) {
                std::fprintf(stderr, "scan_bench: %s could not be listed\n", folder.c_str());
                std::exit(1);
            }
        }
    });
    ConflictRestore(*files, fsRoot, quiet);
    const InstallLayout layout =
        PackageLayout(fsRoot + "\\Addon Scenery\\Tolvane", platform::CodePage());
    t.status =
        bench::BestOf(runs, [&] { GatherInstallStatus(*files, layout, host->LocalAppData()); });
    const fs::path prefix = root.parent_path() / ("prefix-" + std::to_string(areas));
    fs::remove_all(prefix);
    const std::unique_ptr<platform::FileSystem> store = PrefixWithVirtualStore(prefix, root);
    const std::string storeAppData =
        host::WinePrefixHostNames(prefix.string(), &error)->LocalAppData();
    t.storeStatus = bench::BestOf(runs, [&] {
        if (GatherInstallStatus(*store, layout, storeAppData).virtualStore.copies.size() != 1) {
            std::fprintf(stderr, "scan_bench: the VirtualStore copy was not found\n");
            std::exit(1);
        }
    });
    std::printf(
        "%6d areas: scan %8.2f ms   load %7.2f ms   scan - load %8.2f ms   "
        "%zu existence tests %8.2f ms\n"
        "              walk %8.2f ms   %zu listings %8.2f ms   "
        "tolvane status %8.2f ms (with a VirtualStore %8.2f ms)\n",
        areas, t.scan * 1e3, t.load * 1e3, (t.scan - t.load) * 1e3, paths.size(), t.tests * 1e3,
        t.walk * 1e3, folders.size(), t.listings * 1e3, t.status * 1e3, t.storeStatus * 1e3);
    fs::remove_all(root);
    fs::remove_all(prefix);
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    const bool shortRun = bench::ShortRun(argc, argv);
    const int scale = shortRun ? 10 : 1;
    Times small = Measure(2000 / scale, shortRun ? 1 : 5);
    Times large = Measure(20000 / scale, shortRun ? 1 : 5);
    bool met =
        bench::Check("scan: 20,000 areas / 2,000 areas", large.scan / small.scan, 12.0, shortRun);
    // Beyond the load, the scan is one listing of each active area's scenery
    // folder (the listings timed are of every area's); the renames of 1% of
    // the areas and the section walk may add a little.
    met = bench::Check("20,000 areas: (scan - load) / listings",
                       (large.scan - large.load) / large.listings, 1.25, shortRun) &&
          met;
    // The status is that scan, on a simulation, looking at every area; the
    // settings and the package's few layer files add little.
    met = bench::Check("20,000 areas: status / scan", large.status / large.scan, 1.2, shortRun) &&
          met;
    // Looking for VirtualStore copies costs next to nothing where there are few.
    met = bench::Check("20,000 areas: status with a VirtualStore / without",
                       large.storeStatus / large.status, 1.1, shortRun) &&
          met;
    return bench::Verdict(met, shortRun);
}
