// kovo-djia: converts a CSV of daily index closes into the index price file.
#include <iostream>
#include <string>
#include <vector>

#include "platform/standard_output.h"
#include "tools/index_converter.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!kovo::platform::StandardOutputOpen()) {
        // Otherwise the output file's temporary could take descriptor 1.
        kovo::platform::ClosedOutputBuffer closed;
        std::ostream out(&closed);
        return kovo::tools::RunIndexConverter(args, out, std::cerr);
    }
    return kovo::tools::RunIndexConverter(args, std::cout, std::cerr);
}
