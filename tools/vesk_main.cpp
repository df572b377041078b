// The database tool: creates the shipped database files and inspects database files.
#include <iostream>
#include <string>
#include <vector>

#include "tools/vesk_commands.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return vesktool::RunVesk(args, std::cout, std::cerr);
}
