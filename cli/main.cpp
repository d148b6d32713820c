#include <iostream>
#include <string>
#include <vector>

#include "cli/tolvane.h"
#include "platform/file_system.h"
#include "platform/process.h"

int main(int argc, char** argv) {
    // Output to a closed pipe fails like any other write, instead of ending
    // the program before it can say so.
    platform::IgnoreBrokenPipes();
    try {
        std::string exePath;  // none: only --package names the package
        platform::ExecutablePath(&exePath);
        return RunTolvane(std::vector<std::string>(argv + 1, argv + argc), exePath, std::cout,
                          std::cerr);
    } catch (...) {
        std::cerr << "tolvane: out of memory\n";
        return 2;
    }
}
