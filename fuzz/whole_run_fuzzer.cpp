// One whole run of the program on a fixed sample install, with an arbitrary
// settings file and an arbitrary scenery.cfg: start-up (settings load and
// conflict scan), an apply with the settings as loaded, then a restore.
// Input: the settings file's bytes, a line "%%", then scenery.cfg's bytes
// (without the marker, all of it is scenery.cfg and there is no settings
// file). Afterwards no file outside the program's own may have changed,
// the settings file must hold exactly the eleven values that were loaded,
// and each layer file must be present in its Scenery folder exactly when
// the choices call for it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "host/host_names.h"
#include "host/system_files.h"
#include "layers/apply.h"
#include "layers/settings_file.h"
#include "paths/install_layout.h"
#include "platform/file_system.h"
#include "scenerycfg/conflict_pass.h"
#include "tools/sample_install.h"

namespace fs = std::filesystem;

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "whole run broke the install: %s\n", what);
        std::abort();
    }
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

const sample::Install& Install() {
    static const sample::Install install = [] {
        char folder[] = "/tmp/tolvane-run-fuzz-XXXXXX";
        Require(mkdtemp(folder) != nullptr, "no temporary folder");
        sample::Install made;
        std::string error;
        Require(sample::MakeInstall(fs::path(folder) / "FS9", sample::Options{}, &made, &error),
                "cannot lay out the sample install");
        return made;
    }();
    return install;
}

// The program's own files: what a run may change.
bool ProgramsOwn(const fs::path& path) {
    const fs::path& package = Install().package;
    return path == package / "TolvaneConfig.ini" || path == package / "log.txt" ||
           path.parent_path() == Install().Scenery(PriorityArea::Higher) ||
           path.parent_path() == Install().Scenery(PriorityArea::Lower);
}

std::map<fs::path, std::string> OthersFiles() {
    std::map<fs::path, std::string> listing;
    for (const auto& entry : fs::recursive_directory_iterator(Install().root)) {
        if (entry.is_regular_file() && !ProgramsOwn(entry.path()) &&
            entry.path().filename() != "scenery.cfg") {
            listing[entry.path()] = Read(entry.path());
        }
    }
    return listing;
}

// Written out here rather than taken from the program: the file every
// apply writes for these choices.
std::string SettingsFileFor(const LayerSettings& s) {
    char text[512];
    std::snprintf(text, sizeof text,
                  "[UTCAN]\r\nUT=%d\r\nGolfCourses=%d\r\nParks=%d\r\nMinorRoads=%d\r\n"
                  "MajorRoads=%d\r\nCemetaries=%d\r\nRailroads=%d\r\n\r\n"
                  "[AI]\r\nHelos=%d\r\nShips=%d\r\nFloats=%d\r\nBoats=%d\r\n\r\n",
                  s.UT, s.GolfCourses, s.Parks, s.MinorRoads, s.MajorRoads, s.Cemetaries,
                  s.Railroads, s.Helos, s.Ships, s.Floats, s.Boats);
    return text;
}

// Which layer files the choices call for, written out from the plan's rows.
std::map<std::string, bool> WantedLayers(const LayerSettings& s) {
    const bool ut = s.UT != 0;
    std::map<std::string, bool> wanted = {
        {"1_UT_PC915140_Tvl+.bgl", ut && s.Cemetaries != 0},
        {"1_UT_PG915140_Tvl+.bgl", ut && s.GolfCourses != 0},
        {"1_UT_PK915140_Tvl+.bgl", ut && s.Parks != 0},
        {"0_excl_UT-layers_6+8_120-121x117-118.bgl", ut},
        {"TolvaneDEM_LWM2.BGL", !ut},
        {"TolvaneDEM_LWM3.BGL", !ut},
        {"Traffic_Harrel_Point_additional.bgl", s.Ships != 0},
        {"Traffic_Harrel_Point.bgl", s.Ships != 0},
        {"Traffic_marrowby_boats.bgl", s.Boats != 0},
        {"Traffic_Tolvane1_seaplane.bgl", s.Floats != 0},
        {"Traffic_Tolvane1_heli.bgl", s.Helos != 0},
    };
    for (const char* tile : {"120x117", "120x118"}) {
        wanted[std::string("1_UT_RR915140-0077_Tvl+_") + tile + ".bgl"] = ut && s.Railroads != 0;
    }
    for (const char* tile : {"120x117", "120x118", "121x117", "121x118"}) {
        wanted[std::string("1_UT_RA915140-5077_Tvl+_") + tile + ".bgl"] = ut && s.MinorRoads != 0;
    }
    for (const char* tile : {"120x117", "120x118", "121x117"}) {
        wanted[std::string("1_UT_RM915140-4077_Tvl+_") + tile + ".bgl"] = ut && s.MajorRoads != 0;
    }
    return wanted;
}

void CheckLayers(const LayerSettings& settings) {
    int checked = 0;
    for (const auto& [name, wanted] : WantedLayers(settings)) {
        for (PriorityArea area : {PriorityArea::Higher, PriorityArea::Lower}) {
            const fs::path master = Install().Cache(area) / name;
            if (!fs::exists(master)) {
                continue;
            }
            const fs::path copy = Install().Scenery(area) / name;
            Require(fs::exists(copy) == wanted, "a layer file is not as the choices say");
            Require(!wanted || Read(copy) == Read(master), "a layer copy differs from its master");
            ++checked;
        }
    }
    Require(checked == 20, "a layer file of the package was not checked");
}

void IgnoreMessage(const std::string&, const std::string&, unsigned) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::map<fs::path, std::string> others = OthersFiles();
    const std::string input(reinterpret_cast<const char*>(data), size);
    const fs::path ini = Install().package / "TolvaneConfig.ini";
    const size_t marker = input.find("\n%%\n");
    fs::remove(ini);
    if (marker != std::string::npos) {
        Write(ini, input.substr(0, marker));
    }
    Write(Install().root / "scenery.cfg",
          marker == std::string::npos ? input : input.substr(marker + 4));

    static const std::unique_ptr<platform::FileSystem> files = host::SystemFileSystem();
    InstallLayout layout;
    std::string error;
    Require(DeriveInstallLayout(
                sample::WindowsPathOf((Install().package / "TolvaneConfig.exe").string()), &layout,
                &error, files->AnsiCodePage()),
            "no layout");
    const LayerSettings settings = LoadLayerSettings(*files, layout.iniPath).values;
    ConflictScan(*files, layout.fsRoot, IgnoreMessage);
    ActivityLog log;
    const ApplyReport report = ApplySettings(layout, settings, *files, log);
    ConflictRestore(*files, layout.fsRoot, IgnoreMessage);

    Require(report.settingsSaved && report.logWritten, "the apply could not write its files");

    Require(Read(ini) == SettingsFileFor(settings), "the settings file is not the eleven values");
    CheckLayers(settings);
    Require(OthersFiles() == others, "a file outside the program's own changed");
    return 0;
}
