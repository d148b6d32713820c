// Lays out a sample simulator install:
//   make_sample_install ROOT [--program TolvaneConfig.exe] [--realistic-sizes]
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/sample_install.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s ROOT [--program EXE] [--realistic-sizes]\n", argv[0]);
        return 2;
    }
    sample::Options options;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--program") == 0 && i + 1 < argc) {
            options.program = argv[++i];
        } else if (std::strcmp(argv[i], "--realistic-sizes") == 0) {
            options.realisticSizes = true;
        } else {
            std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
            return 2;
        }
    }
    sample::Install install;
    std::string error;
    if (!sample::MakeInstall(argv[1], options, &install, &error)) {
        std::fprintf(stderr, "make_sample_install: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", install.package.string().c_str());
    return 0;
}
