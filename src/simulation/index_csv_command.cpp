// The kovo-djia command line: reads a CSV of daily closes and writes the index price file.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "simulation/index_csv.h"

namespace kovo::simulation {
namespace {

constexpr std::uintmax_t kMaxInputBytes = 64u << 20;  // far beyond any daily table

constexpr const char* kUsage =
    "Usage: kovo-djia [-o PATH] INPUT.csv\n"
    "Converts a CSV table of daily index closes into DJIA_data.txt: one line per weekday\n"
    "of 2007-2014 (2088 lines), the date, a TAB and the close with two decimals, or 0 for\n"
    "a day without a value.\n"
    "The CSV needs a header line with a Date column (YYYY-MM-DD or MM/DD/YYYY) and a Close\n"
    "or DJIA column; \".\" or an empty field marks a day without a value.\n"
    "  -o PATH   write to PATH instead of DJIA_data.txt in the working folder\n"
    "  --help    show this text\n";

struct Arguments {
    std::string input;
    std::string output = "DJIA_data.txt";
    bool help = false;
    std::string usageError;
};

Arguments ParseArguments(const std::vector<std::string>& args) {
    Arguments parsed;
    for (std::size_t i = 0; i < args.size() && parsed.usageError.empty(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "-o") {
            if (i + 1 == args.size() || args[i + 1].empty()) parsed.usageError = "-o needs a path";
            else parsed.output = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            parsed.usageError = "unknown option " + arg;
        } else if (!parsed.input.empty()) {
            parsed.usageError = "more than one input file";
        } else {
            parsed.input = arg;
        }
    }
    if (parsed.usageError.empty() && !parsed.help && parsed.input.empty())
        parsed.usageError = "no input file";
    return parsed;
}

// The whole file, or an error text.
std::string ReadWholeFile(const std::string& path, std::string& content) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return "cannot read " + path + ": not an existing file";
    if (std::filesystem::file_size(path, error) > kMaxInputBytes) return path + " is too large";
    std::ifstream file(path, std::ios::binary);
    if (!file) return "cannot read " + path;
    content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad()) return "cannot read " + path;
    return {};
}

std::string Convert(const Arguments& arguments) {
    std::string text;
    if (std::string error = ReadWholeFile(arguments.input, text); !error.empty()) return error;
    const CsvReadResult table = ParseIndexCsv(text);
    if (!table.errorText.empty()) return arguments.input + ": " + table.errorText;
    const IndexFileLines file = BuildIndexFileLines(table.closes);
    if (!file.errorText.empty()) return arguments.input + ": " + file.errorText;
    bool anyValue = false;
    std::string content;
    for (const std::string& line : file.lines) {
        anyValue = anyValue || line.substr(line.find('\t') + 1) != "0";
        content += line + "\r\n";
    }
    if (!anyValue) return arguments.input + ": no closing values between 2007-01-01 and 2014-12-31";
    return WriteFileAtomically(arguments.output, content);
}

}  // namespace

int RunIndexConverter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments arguments = ParseArguments(args);
    if (!arguments.usageError.empty()) {
        err << "kovo-djia: " << arguments.usageError << "\n" << kUsage;
        return 2;
    }
    if (arguments.help) {
        out << kUsage;
        return 0;
    }
    if (const std::string error = Convert(arguments); !error.empty()) {
        err << "kovo-djia: " << error << "\n";
        return 1;
    }
    out << "Wrote " << ExpectedIndexLines << " lines to " << arguments.output << "\n";
    return 0;
}

}  // namespace kovo::simulation
