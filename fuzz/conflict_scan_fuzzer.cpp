// Runs the conflict scan and restore over arbitrary scenery.cfg bytes in a
// fixed tree of scenery areas. Whatever the library says, no file other
// than the three conflicting ones may be renamed, none may be lost, and no
// content may change.
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
#include "platform/file_system.h"
#include "scenerycfg/conflict_pass.h"
#include "tools/sample_install.h"

namespace fs = std::filesystem;

namespace {

const char* const kConflicts[] = {"Drey_Facility_CQP8", "Drey_Marrowby_Brenmoor_VTPL",
                                  "Drey_Marrowby_Brenmoor_LWM2"};

// Folder (relative to the root) -> name -> content, with each conflicting
// file listed under its .bgl name whatever its extension.
using Listing = std::map<std::string, std::string>;

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "conflict pass broke the tree: %s\n", what);
        std::abort();
    }
}

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The tree: areas under the root in several spellings, each with the three
// conflicting files and some of its own.
const fs::path& Root() {
    static const fs::path root = [] {
        char folder[] = "/tmp/tolvane-scan-fuzz-XXXXXX";
        Require(mkdtemp(folder) != nullptr, "no temporary folder");
        fs::path made = fs::path(folder) / "FS9";
        for (const char* area :
             {"Scenery/World", "Addon Scenery/Drey", "Addon Scenery/Old", "A", "Other/Deep/Area"}) {
            for (const char* name : kConflicts) {
                Write(made / area / "scenery" / (std::string(name) + ".bgl"), area);
            }
            Write(made / area / "scenery" / "own.bgl", "own");
            Write(made / area / "scenery" / "Drey_Facility_CQP8.BGL.bak", "backup");
            Write(made / area / "texture" / "Drey_Facility_CQP8.bgl", "not in scenery");
        }
        Write(made / "scenery" / "Drey_Facility_CQP8.bgl", "root scenery");
        return made;
    }();
    return root;
}

std::string Normal(const std::string& name) {
    for (const char* conflict : kConflicts) {
        if (name == std::string(conflict) + ".xxx") {
            return std::string(conflict) + ".bgl";
        }
    }
    return name;
}

Listing ListTree() {
    Listing listing;
    for (const auto& entry : fs::recursive_directory_iterator(Root())) {
        if (entry.is_regular_file() && entry.path().filename() != "scenery.cfg") {
            fs::path relative = fs::relative(entry.path(), Root());
            std::string key =
                relative.parent_path().string() + "/" + Normal(relative.filename().string());
            Require(listing.emplace(key, Read(entry.path())).second, "a name appears twice");
        }
    }
    return listing;
}

// Gives every disabled file its name back, ready for the next input.
void ResetTree() {
    for (const auto& entry : fs::recursive_directory_iterator(Root())) {
        std::string name = entry.path().filename().string();
        if (Normal(name) != name) {
            fs::rename(entry.path(), entry.path().parent_path() / Normal(name));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Listing original = ListTree();
    static const std::unique_ptr<platform::FileSystem> files = host::SystemFileSystem();
    const std::string fsRoot = sample::WindowsPathOf(Root());
    Write(Root() / "scenery.cfg", std::string(reinterpret_cast<const char*>(data), size));
    auto ignore = [](const std::string&, const std::string&, unsigned) {};

    ConflictScan(*files, fsRoot, ignore);
    Require(ListTree() == original, "scan renamed or changed something else");
    ConflictRestore(*files, fsRoot, ignore);
    Require(ListTree() == original, "restore renamed or changed something else");
    ResetTree();
    return 0;
}
