// The database tool: creates the shipped database files and inspects database files.
#include <iostream>
#include <string>
#include <vector>

#include "engine/codec/standard_algorithms.h"
#include "tools/vesk_commands.h"

int main(int argc, char** argv) {
    vesk::RegisterStandardAlgorithms();  // files name their codecs; the registry must know them
    const std::vector<std::string> args(argv + 1, argv + argc);
    return vesktool::RunVesk(args, std::cout, std::cerr);
}
