// Loads a generated scenery.cfg of 2,000 and 20,000 areas with CIniStore,
// inih and SimpleIni, and with a floor that only reads the file and splits
// it into lines. Warm cache; best of several runs of each. Also reports the
// most heap memory that CIniStore::Load needs, as a multiple of the file's
// size: at 20,000 areas, and on a file that is mostly lines without a
// section or key.
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
#include "bench/heap_meter.h"
#include "host/host_names.h"
#include "host/system_files.h"
#include "ini/ini_store.h"
#include "platform/file_system.h"
#include "tools/sample_install.h"
#include "tools/sample_library.h"

namespace fs = std::filesystem;

namespace {

platform::FileSystem& Files() {
    static const std::unique_ptr<platform::FileSystem> files = host::SystemFileSystem();
    return *files;
}

size_t Floor(const std::string& path) {
    std::string bytes, reason;
    platform::ReadWhole(Files(), path, &bytes, &reason);
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

Times Measure(const fs::path& file, int runs) {
    const std::string windowsPath = sample::WindowsPathOf(file);
    Times t{};
    int sections = 0;
    t.store = bench::BestOf(runs, [&] {
        CIniStore store(Files(), windowsPath);
        store.Load();
        sections = store.SectionCount();
    });
    t.inih = bench::BestOf(runs, [&] {
        ini_parse(
            file.c_str(), [](void*, const char*, const char*, const char*) { return 1; }, nullptr);
    });
    t.simpleIni = bench::BestOf(runs, [&] {
        CSimpleIniA ini;
        ini.LoadFile(file.c_str());
    });
    size_t lines = 0;
    t.floor = bench::BestOf(runs, [&] { lines = Floor(windowsPath); });
    std::printf(
        "%-10s %6d sections %7zu lines  CIniStore %7.2f ms  inih %7.2f ms  "
        "SimpleIni %7.2f ms  floor %6.2f ms\n",
        file.filename().c_str(), sections, lines, t.store * 1e3, t.inih * 1e3, t.simpleIni * 1e3,
        t.floor * 1e3);
    return t;
}

void WriteFile(const fs::path& file, const std::string& text) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
}

// The peak heap memory of one Load, as a multiple of the file's size.
double LoadPeakPerByte(const fs::path& file) {
    const std::string windowsPath = sample::WindowsPathOf(file);
    heap_meter::ResetPeak();
    {
        CIniStore store(Files(), windowsPath);
        store.Load();
    }
    double ratio = static_cast<double>(heap_meter::PeakSinceReset()) /
                   static_cast<double>(fs::file_size(file));
    std::printf("%-18s %9ju bytes  Load's peak heap %9zu bytes\n", file.filename().c_str(),
                static_cast<std::uintmax_t>(fs::file_size(file)), heap_meter::PeakSinceReset());
    return ratio;
}

// Lines that are neither a header nor hold "=", with a library at the end.
std::string MostlyPaddingText() {
    std::string text;
    for (int i = 0; i < 200000; ++i) {
        text += "; a line of a long comment block that holds no section and no key\r\n";
    }
    return text + sample::SceneryCfgText(100);
}

}  // namespace

int main(int argc, char** argv) {
    const bool shortRun = bench::ShortRun(argc, argv);
    fs::path folder = fs::temp_directory_path() / "tolvane-ini-bench";
    fs::create_directories(folder);
    Times small{}, large{};
    for (int areas : {2000, 20000}) {
        fs::path file = folder / ("scenery-" + std::to_string(areas) + ".cfg");
        WriteFile(file, sample::SceneryCfgText(areas));
        (areas == 2000 ? small : large) = Measure(file, shortRun ? 2 : 15);
    }
    const fs::path padded = folder / "padded.cfg";
    WriteFile(padded, MostlyPaddingText());
    const double largePeak = LoadPeakPerByte(folder / "scenery-20000.cfg");
    const double paddedPeak = LoadPeakPerByte(padded);
    fs::remove_all(folder);

    bool met =
        bench::Check("20,000 areas: CIniStore / inih", large.store / large.inih, 1.0, shortRun);
    met =
        bench::Check("20,000 areas: CIniStore / floor", large.store / large.floor, 2.5, shortRun) &&
        met;
    met = bench::Check("CIniStore: 20,000 areas / 2,000 areas", large.store / small.store, 12.0,
                       shortRun) &&
          met;
    met =
        bench::Check("Load's peak heap / file size, 20,000 areas", largePeak, 2.5, shortRun) && met;
    met = bench::Check("Load's peak heap / file size, mostly padding", paddedPeak, 1.2, shortRun) &&
          met;
    std::printf("  (SimpleIni / CIniStore at 20,000 areas: %.2f)\n", large.simpleIni / large.store);
    return bench::Verdict(met, shortRun);
}
