#include <iostream>
#include <string>
#include <vector>

#include "cli/tolvane.h"
#include "platform/files.h"

int main(int argc, char** argv) {
    try {
        return RunTolvane(std::vector<std::string>(argv + 1, argv + argc),
                          platform::ExecutablePath(), std::cout, std::cerr);
    } catch (...) {
        std::cerr << "tolvane: out of memory\n";
        return 2;
    }
}
