#include "tools/sample_install.h"

#include <fstream>
#include <system_error>

#include "host/host_names.h"

namespace fs = std::filesystem;

namespace sample {

namespace {

std::uint64_t Hash(const std::string& text) {
    std::uint64_t h = 1469598103934665603ull;
    for (char c : text) {
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return h;
}

bool WriteBytes(const fs::path& path, const std::string& bytes, std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        *error = "cannot write " + path.string();
        return false;
    }
    return true;
}

// A scenery.cfg in the simulator's own style, CR LF line ends.
std::string SceneryCfg(const fs::path& root) {
    std::string absoluteArea = WindowsPathOf(root / "Extra Scenery" / "Brenmoor");
    struct Area {
        const char* title;
        std::string local;
        const char* active;
    };
    const Area areas[] = {
        {"Default Terrain", "Scenery\\World", "TRUE"},
        {"Default Scenery", "Scenery\\BASE", "TRUE"},
        {"Tolvane - Lower Priority", "Addon Scenery\\Tolvane\\Tolvane - Lower Priority", "TRUE"},
        {"Tolvane - Higher Priority", "Addon Scenery\\Tolvane\\Tolvane - Higher Priority", "TRUE"},
        {"Drey Marrowby", "Addon Scenery\\Drey Marrowby", "TRUE"},
        {"Old Harbour (switched off)", "Addon Scenery\\Old Harbour", "FALSE"},
        {"Brenmoor", absoluteArea, "TRUE"},
    };
    std::string text =
        "[General]\r\nTitle=FS9 World Scenery\r\nDescription=FS9 Scenery Data\r\n"
        "Cache_Size=500\r\nClean_on_Exit=TRUE\r\n";
    int number = 1;
    for (const Area& area : areas) {
        char header[32];
        std::snprintf(header, sizeof header, "\r\n[Area.%03d]\r\n", number);
        text += header;
        text += std::string("Title=") + area.title + "\r\nTexture_ID=" + std::to_string(number) +
                "\r\nLocal=" + area.local + "\r\nLayer=" + std::to_string(number) +
                "\r\nActive=" + area.active + "\r\nRequired=FALSE\r\n";
        ++number;
    }
    return text;
}

// The three conflicting files, in an area's scenery folder.
bool MakeConflictArea(const fs::path& folder, const char* sceneryName, std::string* error) {
    fs::create_directories(folder / sceneryName);
    fs::create_directories(folder / "texture");
    for (const char* name : {"Drey_Facility_CQP8.bgl", "Drey_Marrowby_Brenmoor_VTPL.bgl",
                             "Drey_Marrowby_Brenmoor_LWM2.bgl"}) {
        if (!WriteBytes(folder / sceneryName / name, "conflicting scenery " + std::string(name),
                        error)) {
            return false;
        }
    }
    return true;
}

}  // namespace

fs::path Install::Cache(PriorityArea area) const {
    return package / PackageAreaName(area) / "Cache";
}

fs::path Install::Scenery(PriorityArea area) const {
    return package / PackageAreaName(area) / "Scenery";
}

std::string WindowsPathOf(const fs::path& hostPath) {
    std::string windowsPath;
    return host::SystemHostNames()->WindowsPathOf(hostPath.string(), &windowsPath) ? windowsPath
                                                                                   : std::string();
}

std::vector<std::pair<PriorityArea, std::string>> LayerFiles() {
    const PriorityArea higher = PriorityArea::Higher;
    const PriorityArea lower = PriorityArea::Lower;
    return {
        {higher, "1_UT_PC915140_Tvl+.bgl"},
        {higher, "1_UT_PG915140_Tvl+.bgl"},
        {higher, "1_UT_PK915140_Tvl+.bgl"},
        {higher, "1_UT_RR915140-0077_Tvl+_120x117.bgl"},
        {higher, "1_UT_RR915140-0077_Tvl+_120x118.bgl"},
        {higher, "1_UT_RA915140-5077_Tvl+_120x117.bgl"},
        {higher, "1_UT_RA915140-5077_Tvl+_120x118.bgl"},
        {higher, "1_UT_RA915140-5077_Tvl+_121x117.bgl"},
        {higher, "1_UT_RA915140-5077_Tvl+_121x118.bgl"},
        {higher, "1_UT_RM915140-4077_Tvl+_120x117.bgl"},
        {higher, "1_UT_RM915140-4077_Tvl+_120x118.bgl"},
        {higher, "1_UT_RM915140-4077_Tvl+_121x117.bgl"},
        {lower, "0_excl_UT-layers_6+8_120-121x117-118.bgl"},
        {lower, "TolvaneDEM_LWM2.BGL"},
        {lower, "TolvaneDEM_LWM3.BGL"},
        {lower, "Traffic_Harrel_Point_additional.bgl"},
        {lower, "Traffic_Harrel_Point.bgl"},
        {lower, "Traffic_marrowby_boats.bgl"},
        {lower, "Traffic_Tolvane1_seaplane.bgl"},
        {lower, "Traffic_Tolvane1_heli.bgl"},
    };
}

std::string LayerContent(PriorityArea area, const std::string& name, std::uint64_t size) {
    std::string text =
        std::string("Tolvane sample layer ") + PackageAreaName(area) + "\\" + name + "\r\n";
    std::uint64_t state = Hash(text) | 1;
    while (text.size() < size) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        for (int i = 0; i < 8 && text.size() < size; ++i) {
            text += static_cast<char>((state >> (8 * i)) & 0xFF);
        }
    }
    return text;
}

bool MakeInstall(const fs::path& root, const Options& options, Install* install,
                 std::string* error) {
    std::error_code ec;
    install->root = fs::absolute(root, ec);
    install->package = install->root / "Addon Scenery" / "Tolvane";
    std::vector<std::pair<PriorityArea, std::string>> files = LayerFiles();
    for (PriorityArea area : {PriorityArea::Higher, PriorityArea::Lower}) {
        fs::create_directories(install->Cache(area), ec);
        fs::create_directories(install->Scenery(area), ec);
    }
    for (size_t i = 0; i < files.size(); ++i) {
        const auto& [area, name] = files[i];
        // 1 to 14 MB, about 150 MB in all, or a few dozen bytes.
        std::uint64_t size = options.realisticSizes ? (1 + (i * 13 % 20) * 13 / 19) << 20 : 96;
        if (!WriteBytes(install->Cache(area) / name, LayerContent(area, name, size), error)) {
            return false;
        }
    }
    fs::create_directories(install->root / "Scenery" / "World" / "scenery", ec);
    fs::create_directories(install->root / "Scenery" / "BASE" / "scenery", ec);
    if (!WriteBytes(install->root / "scenery.cfg", SceneryCfg(install->root), error) ||
        !MakeConflictArea(install->root / "Addon Scenery" / "Drey Marrowby", "scenery", error) ||
        !MakeConflictArea(install->root / "Addon Scenery" / "Old Harbour", "scenery", error) ||
        !MakeConflictArea(install->root / "Extra Scenery" / "Brenmoor", "Scenery", error)) {
        return false;
    }
    if (!options.program.empty()) {
        fs::copy_file(options.program, install->package / "TolvaneConfig.exe",
                      fs::copy_options::overwrite_existing, ec);
        if (ec) {
            *error = "cannot copy the program: " + ec.message();
            return false;
        }
    }
    return true;
}

}  // namespace sample
