// kovo-report: the program's runs from a shell, printing the output area's text.
#include <iostream>
#include <string>
#include <vector>

#include "platform/standard_output.h"
#include "report/report_commands.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool errorsIsTerminal = isatty(fileno(stderr)) != 0;
    if (!kovo::platform::StandardOutputOpen()) {
        kovo::platform::ClosedOutputBuffer closed;
        std::ostream out(&closed);
        return kovo::report::RunReport(args, out, std::cerr, errorsIsTerminal);
    }
    return kovo::report::RunReport(args, std::cout, std::cerr, errorsIsTerminal);
}
