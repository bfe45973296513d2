// kovo-djia: converts a CSV of daily index closes into the index price file.
#include <iostream>
#include <string>
#include <vector>

#include "simulation/index_csv.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return kovo::simulation::RunIndexConverter(args, std::cout, std::cerr);
}
