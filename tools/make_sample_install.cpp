// Lays out a sample simulator install:
//   make_sample_install ROOT [--program TolvaneConfig.exe] [--realistic-sizes]
//                            [--library AREAS]
// With --library, its scenery.cfg lists that many generated areas instead
// of the sample's own, each scenery folder holding six small .bgl files and
// every hundredth the three conflicting files (the Wine benchmark's).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/sample_install.h"
#include "tools/sample_library.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: %s ROOT [--program EXE] [--realistic-sizes] [--library AREAS]\n",
                     argv[0]);
        return 2;
    }
    sample::Options options;
    int libraryAreas = -1;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--program") == 0 && i + 1 < argc) {
            options.program = argv[++i];
        } else if (std::strcmp(argv[i], "--library") == 0 && i + 1 < argc) {
            libraryAreas = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--realistic-sizes") == 0) {
            options.realisticSizes = true;
        } else {
            std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
            return 2;
        }
    }
    sample::Install install;
    std::string error;
    if (!sample::MakeInstall(argv[1], options, &install, &error) ||
        (libraryAreas >= 0 &&
         !sample::MakeSceneryLibrary(install.root, libraryAreas, 100, &error, 6))) {
        std::fprintf(stderr, "make_sample_install: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", install.package.string().c_str());
    return 0;
}
