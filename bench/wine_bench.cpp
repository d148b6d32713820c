// Times the shipped programs where Linux users run them, under Wine, next
// to floors built and run the same way (bench/wine_floor.cpp):
//   wine_bench [--rounds N] [--check] [--baseline SUFFIX] AREAS=ROOT...
// Each ROOT is a simulator root laid out by make_sample_install --library
// AREAS, its package folder holding TolvaneConfig.exe and tolvane.exe, and
// with --baseline also TolvaneConfig-SUFFIX.exe, another build to compare.
// One size must be of 0 areas: the programs' empty start. Each round runs
// every program once, in turn; the best round counts. With --check, the
// targets decide the exit code.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr DWORD kLimitMs = 300000;

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

// A program started in its own folder, its output thrown away.
class Started {
  public:
    Started(const std::string& exe, const std::string& tail) {
        std::string line = "\"" + exe + "\"" + (tail.empty() ? "" : " " + tail);
        std::vector<char> buffer(line.begin(), line.end());
        buffer.push_back('\0');
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        nul_ = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = nul_;
        startup.hStdError = nul_;
        const std::string folder = exe.substr(0, exe.find_last_of('\\'));
        if (!CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, TRUE, 0, nullptr,
                            folder.c_str(), &startup, &info_)) {
            std::fprintf(stderr, "wine_bench: cannot start %s\n", exe.c_str());
            std::exit(1);
        }
        CloseHandle(info_.hThread);
    }
    ~Started() {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
        CloseHandle(nul_);
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    bool Ended() const { return WaitForSingleObject(info_.hProcess, kLimitMs) == WAIT_OBJECT_0; }
    DWORD Id() const { return info_.dwProcessId; }

  private:
    PROCESS_INFORMATION info_{};
    HANDLE nul_ = INVALID_HANDLE_VALUE;
};

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char caption[64] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (owner == search->process && IsWindowVisible(window) &&
        std::strcmp(caption, "TolvaneConfig") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Seconds from the start until the program has ended.
double ToExit(const std::string& exe, const std::string& tail) {
    const double start = Now();
    Started program(exe, tail);
    if (!program.Ended()) {
        std::fprintf(stderr, "wine_bench: %s %s did not end\n", exe.c_str(), tail.c_str());
        std::exit(1);
    }
    return Now() - start;
}

// Seconds from the start until the dialog shows; then it is left without
// applying.
double ToDialog(const std::string& exe) {
    const double start = Now();
    Started program(exe, "");
    Search search{program.Id(), nullptr};
    while (search.found == nullptr) {
        EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) {
            if (Now() - start > kLimitMs / 1000.0) {
                std::fprintf(stderr, "wine_bench: %s showed no dialog\n", exe.c_str());
                std::exit(1);
            }
            Sleep(1);
        }
    }
    const double took = Now() - start;
    PostMessageA(search.found, WM_COMMAND, IDCANCEL, 0);
    if (!program.Ended()) {
        std::fprintf(stderr, "wine_bench: %s did not close\n", exe.c_str());
        std::exit(1);
    }
    return took;
}

struct Row {
    std::string name;
    std::function<double(const std::string& root)> run;
};

std::string FolderOfThisProgram() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\'));
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 3;
    bool check = false;
    std::string baseline;
    std::map<int, std::string> roots;  // by number of areas
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rounds" && i + 1 < argc) {
            rounds = std::atoi(argv[++i]);
        } else if (arg == "--check") {
            check = true;
        } else if (arg == "--baseline" && i + 1 < argc) {
            baseline = argv[++i];
        } else if (arg.find('=') != std::string::npos) {
            roots[std::atoi(arg.c_str())] = arg.substr(arg.find('=') + 1);
        } else {
            std::fprintf(stderr, "wine_bench: unknown argument %s\n", arg.c_str());
            return 2;
        }
    }
    if (roots.count(0) == 0 || rounds < 1) {
        std::fprintf(stderr, "wine_bench: a size of 0 areas is needed, and a round\n");
        return 2;
    }
    const std::string floor = FolderOfThisProgram() + "\\wine_floor.exe";
    auto package = [](const std::string& root) { return root + "\\Addon Scenery\\Tolvane\\"; };
    std::vector<Row> rows = {
        {"an empty Win32 program", [&](const std::string&) { return ToExit(floor, "empty"); }},
        {"floor: the names, active areas",
         [&](const std::string& root) { return ToExit(floor, "names \"" + root + "\""); }},
        {"floor: the names, every area",
         [&](const std::string& root) { return ToExit(floor, "names \"" + root + "\" all"); }},
        {"floor: a listing, active areas",
         [&](const std::string& root) { return ToExit(floor, "listing \"" + root + "\""); }},
        {"TolvaneConfig.exe: start to dialog",
         [&](const std::string& root) { return ToDialog(package(root) + "TolvaneConfig.exe"); }},
        {"TolvaneConfig.exe -u",
         [&](const std::string& root) {
             return ToExit(package(root) + "TolvaneConfig.exe", "-u");
         }},
        {"tolvane.exe scan --dry-run",
         [&](const std::string& root) {
             return ToExit(package(root) + "tolvane.exe", "scan --dry-run");
         }},
        {"tolvane.exe status",
         [&](const std::string& root) { return ToExit(package(root) + "tolvane.exe", "status"); }},
    };
    const std::string old = "TolvaneConfig-" + baseline + ".exe";
    if (!baseline.empty()) {
        rows.push_back({old + ": start to dialog",
                        [&](const std::string& root) { return ToDialog(package(root) + old); }});
        rows.push_back({old + " -u", [&](const std::string& root) {
                            return ToExit(package(root) + old, "-u");
                        }});
    }
    // best[row][areas]
    std::vector<std::map<int, double>> best(rows.size());
    for (int round = 0; round < rounds; ++round) {
        for (const auto& [areas, root] : roots) {
            for (size_t row = 0; row < rows.size(); ++row) {
                const double took = rows[row].run(root);
                auto known = best[row].find(areas);
                if (known == best[row].end() || took < known->second) {
                    best[row][areas] = took;
                }
            }
        }
    }
    std::printf("  %-44s", "seconds, best of each");
    for (const auto& [areas, root] : roots) {
        std::printf(" %8d areas", areas);
    }
    std::printf("\n");
    for (size_t row = 0; row < rows.size(); ++row) {
        std::printf("  %-44s", rows[row].name.c_str());
        for (const auto& [areas, took] : best[row]) {
            std::printf(" %14.3f", took);
        }
        std::printf("\n");
    }
    // A program's empty start, plus what the floor's file calls take beyond
    // the floor's own start: what the program could take at best.
    auto floorOf = [&](size_t program, size_t names, int areas) {
        return best[program][0] + best[names][areas] - best[names][0];
    };
    bool met = true;
    auto target = [&](const std::string& what, double value, double limit) {
        std::printf("  %-64s %5.2f (at most %.2f)%s\n", what.c_str(), value, limit,
                    !check           ? ""
                    : value <= limit ? ": met"
                                     : ": NOT met");
        met = value <= limit && met;
    };
    for (const auto& [areas, root] : roots) {
        if (areas == 0) {
            continue;
        }
        const std::string size = std::to_string(areas) + " areas";
        target("start / (its empty start + floor of the names), " + size,
               best[4][areas] / floorOf(4, 1, areas), 1.5);
        target("-u / (its empty start + floor of the names, every area), " + size,
               best[5][areas] / floorOf(5, 2, areas), 1.5);
        std::printf("  %-64s %5.2f\n", ("the listing's floor / the names', " + size).c_str(),
                    (best[3][areas] - best[0][areas]) / (best[1][areas] - best[0][areas]));
        // No slower than the other build: the best rounds of two programs
        // that make the same calls differ by up to 10% from run to run.
        if (!baseline.empty()) {
            target("start / " + old + "'s, " + size, best[4][areas] / best[8][areas], 1.1);
            target("-u / " + old + "'s, " + size, best[5][areas] / best[9][areas], 1.1);
        }
    }
    if (!check) {
        std::printf("  (targets not checked)\n");
        return 0;
    }
    return met ? 0 : 1;
}
