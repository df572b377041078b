// The help-file builder: help_builder <output .hlp> <topic source>...
#include <iostream>
#include <string>
#include <vector>

#include "tools/help_source.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: help_builder <help file> <topic source>...\n";
        return 2;
    }
    const std::vector<std::string> sources(argv + 2, argv + argc);
    return helptool::BuildHelpFile(argv[1], sources, std::cerr) ? 0 : 1;
}
