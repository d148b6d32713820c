// Loads a generated scenery.cfg of 2,000 and 20,000 areas with CIniStore,
// inih and SimpleIni, and with a floor that only reads the file and splits
// it into lines. Warm cache; best of several runs of each.
#include <SimpleIni.h>
#include <ini.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "bench/bench_util.h"
#include "ini/ini_store.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "tools/sample_library.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 15;

size_t Floor(const std::string& path) {
    std::string bytes;
    platform::ReadWholeFile(path, &bytes);
    std::vector<std::string_view> lines;
    std::string_view text = bytes;
    while (!text.empty()) {
        size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines.size();
}

struct Times {
    double store, inih, simpleIni, floor;
};

Times Measure(const fs::path& file) {
    const std::string windowsPath = platform::WindowsPathFromHost(file.string());
    Times t{};
    int sections = 0;
    t.store = bench::BestOf(kRuns, [&] {
        CIniStore store(windowsPath);
        store.Load();
        sections = store.SectionCount();
    });
    t.inih = bench::BestOf(kRuns, [&] {
        ini_parse(
            file.c_str(), [](void*, const char*, const char*, const char*) { return 1; }, nullptr);
    });
    t.simpleIni = bench::BestOf(kRuns, [&] {
        CSimpleIniA ini;
        ini.LoadFile(file.c_str());
    });
    size_t lines = 0;
    t.floor = bench::BestOf(kRuns, [&] { lines = Floor(windowsPath); });
    std::printf(
        "%-10s %6d sections %7zu lines  CIniStore %7.2f ms  inih %7.2f ms  "
        "SimpleIni %7.2f ms  floor %6.2f ms\n",
        file.filename().c_str(), sections, lines, t.store * 1e3, t.inih * 1e3, t.simpleIni * 1e3,
        t.floor * 1e3);
    return t;
}

}  // namespace

int main() {
    fs::path folder = fs::temp_directory_path() / "tolvane-ini-bench";
    fs::create_directories(folder);
    Times small{}, large{};
    for (int areas : {2000, 20000}) {
        fs::path file = folder / ("scenery-" + std::to_string(areas) + ".cfg");
        std::string text = sample::SceneryCfgText(areas);
        std::FILE* out = std::fopen(file.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), out);
        std::fclose(out);
        (areas == 2000 ? small : large) = Measure(file);
    }
    fs::remove_all(folder);

    bool met = bench::Check("20,000 areas: CIniStore / inih", large.store / large.inih, 1.0);
    met = bench::Check("20,000 areas: CIniStore / floor", large.store / large.floor, 2.5) && met;
    met = bench::Check("CIniStore: 20,000 areas / 2,000 areas", large.store / small.store, 12.0) &&
          met;
    std::printf("  (SimpleIni / CIniStore at 20,000 areas: %.2f)\n", large.simpleIni / large.store);
    return met ? 0 : 1;
}
