#include "tools/sample_library.h"

#include <cstdio>
#include <fstream>
#include <system_error>

namespace sample {

std::string SceneryCfgText(int areas) {
    std::string text =
        "[General]\r\nTitle=FS9 World Scenery\r\nDescription=FS9 Scenery Data\r\n"
        "Cache_Size=500\r\nClean_on_Exit=TRUE\r\n";
    text.reserve(static_cast<size_t>(areas) * 150 + 200);
    char block[512];
    for (int n = 1; n <= areas; ++n) {
        std::snprintf(block, sizeof block,
                      "\r\n[Area.%03d]\r\nTitle=Addon Area %d\r\nTexture_ID=%d\r\n"
                      "Local=Addon Scenery\\Area %d\r\nLayer=%d\r\nActive=%s\r\nRequired=FALSE\r\n",
                      n, n, n, n, n, n % 10 == 0 ? "FALSE" : "TRUE");
        text += block;
    }
    return text;
}

std::filesystem::path LibraryAreaFolder(const std::filesystem::path& root, int n) {
    return root / "Addon Scenery" / ("Area " + std::to_string(n));
}

bool MakeSceneryLibrary(const std::filesystem::path& root, int areas, int conflictEvery,
                        std::string* error, int otherFiles) {
    std::error_code ec;
    for (int n = 1; n <= areas; ++n) {
        std::filesystem::path folder = LibraryAreaFolder(root, n);
        std::filesystem::create_directories(folder / "scenery", ec);
        std::filesystem::create_directories(folder / "texture", ec);
        if (ec) {
            *error = "cannot create " + folder.string() + ": " + ec.message();
            return false;
        }
        for (int file = 1; file <= otherFiles; ++file) {
            const std::string name =
                "Area" + std::to_string(n) + "_" + std::to_string(file) + ".bgl";
            std::ofstream(folder / "scenery" / name, std::ios::binary) << name;
        }
        if (n % conflictEvery != 0) {
            continue;
        }
        for (const char* name : {"Drey_Facility_CQP8.bgl", "Drey_Marrowby_Brenmoor_VTPL.bgl",
                                 "Drey_Marrowby_Brenmoor_LWM2.bgl"}) {
            std::ofstream(folder / "scenery" / name, std::ios::binary) << name;
        }
    }
    std::string text = SceneryCfgText(areas);
    std::ofstream out(root / "scenery.cfg", std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) {
        *error = "cannot write scenery.cfg";
        return false;
    }
    return true;
}

}  // namespace sample
