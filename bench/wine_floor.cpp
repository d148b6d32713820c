// The least a Windows program must do for the conflict passes, as a floor
// for the Wine benchmark: read scenery.cfg and make only the file calls
// that the work needs.
//   wine_floor empty               starts and ends
//   wine_floor names ROOT [all]    asks for the three conflicting .bgl names
//                                  in the scenery folder of every active
//                                  area of ROOT\scenery.cfg (of every area
//                                  with all, as a restore treats them)
//   wine_floor listing ROOT [all]  lists each of those folders instead
// The library is the benchmark's: every Local is relative to ROOT.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kNames[] = {"Drey_Facility_CQP8.bgl", "Drey_Marrowby_Brenmoor_VTPL.bgl",
                              "Drey_Marrowby_Brenmoor_LWM2.bgl"};

bool ReadAll(const std::string& path, std::string* text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    char buffer[64 * 1024];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        text->append(buffer, got);
    }
    CloseHandle(file);
    return true;
}

// The scenery folders of the library's areas, active ones only unless all.
std::vector<std::string> SceneryFolders(const std::string& root, bool all) {
    std::string text;
    if (!ReadAll(root + "\\scenery.cfg", &text)) {
        std::fprintf(stderr, "wine_floor: cannot read %s\\scenery.cfg\n", root.c_str());
        std::exit(1);
    }
    std::vector<std::string> folders;
    std::string local;
    bool area = false;
    bool active = false;
    auto close = [&] {
        if (area && !local.empty() && (all || active)) {
            folders.push_back(root + "\\" + local + "\\scenery");
        }
    };
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end;
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line[0] == '[') {
            close();
            area = line.find("Area.") != std::string::npos;
            local.clear();
            active = false;
        } else if (line.rfind("Local=", 0) == 0) {
            local = line.substr(6);
        } else if (line.rfind("Active=", 0) == 0) {
            active = line.substr(7) == "TRUE";
        }
    }
    close();
    return folders;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "empty") {
        return 0;
    }
    if ((mode != "names" && mode != "listing") || argc < 3) {
        std::fprintf(stderr, "usage: wine_floor empty | names ROOT [all] | listing ROOT [all]\n");
        return 2;
    }
    const bool all = argc > 3 && std::strcmp(argv[3], "all") == 0;
    int found = 0;
    for (const std::string& folder : SceneryFolders(argv[2], all)) {
        if (mode == "names") {
            for (const char* name : kNames) {
                found +=
                    GetFileAttributesA((folder + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES
                        ? 1
                        : 0;
            }
            continue;
        }
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                ++found;
            } while (FindNextFileA(search, &entry));
            FindClose(search);
        }
    }
    return found >= 0 ? 0 : 1;
}
