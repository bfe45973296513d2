// kovo-djia: converts a CSV of daily index closes into the index price file.
#include <iostream>
#include <string>
#include <vector>

#include "platform/standard_output.h"
#include "simulation/index_csv.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!kovo::platform::StandardOutputOpen()) {
        // Otherwise the output file's temporary could take descriptor 1.
        kovo::platform::ClosedOutputBuffer closed;
        std::ostream out(&closed);
        return kovo::simulation::RunIndexConverter(args, out, std::cerr);
    }
    return kovo::simulation::RunIndexConverter(args, std::cout, std::cerr);
}
