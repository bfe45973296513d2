#include "tools/index_converter.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "calendar/calendar_services.h"
#include "util/input_file.h"
#include "util/rounding.h"
#include "util/safe_file.h"
#include "util/utf8.h"

namespace kovo::tools {
namespace {

constexpr std::uintmax_t kMaxInputBytes = 64u << 20;  // far beyond any daily table

constexpr const char* kUsage =
    "Usage: kovo-djia [-o PATH] INPUT.csv\n"
    "Converts a CSV table of daily index closes into DJIA_data.txt: one line per weekday\n"
    "of 2007-2014 (2088 lines), the date, a TAB and the close with two decimals, or 0 for\n"
    "a day without a value.\n"
    "The CSV needs a header line with a Date column (YYYY-MM-DD or MM/DD/YYYY) and a Close\n"
    "or DJIA column; \".\" or an empty field marks a day without a value. Fields are\n"
    "separated by commas, or by semicolons or TABs when the header holds no comma (then\n"
    "12474,52 is read as 12474.52). The file must be UTF-8 or ASCII text.\n"
    "An existing output file is replaced only when the new one is complete; a link is\n"
    "followed to the file it names, and its permissions are kept. The output may not be\n"
    "the input file.\n"
    "  -o PATH   write to PATH instead of DJIA_data.txt in the working folder\n"
    "  --help    show this text\n"
    "  --version show the version\n";

struct Arguments {
    std::string input;
    std::string output = "DJIA_data.txt";
    bool help = false;
    bool version = false;
    std::string usageError;
};

Arguments ParseArguments(const std::vector<std::string>& args) {
    Arguments parsed;
    for (std::size_t i = 0; i < args.size() && parsed.usageError.empty(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "--version") {
            parsed.version = true;
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
    if (parsed.usageError.empty() && !parsed.help && !parsed.version && parsed.input.empty())
        parsed.usageError = "no input file";
    return parsed;
}

// The table of the input file; errorText names the file as `path` gives it.
prices::CsvReadResult ReadTable(const util::InputFile& input, const std::string& path) {
    prices::CsvReadResult table;
    if (!input.errorText.empty()) {
        table.errorText = input.errorText;
        return table;
    }
    table = prices::ReadDailyClosesCsv(*input.stream);
    if (input.stream->bad()) table.errorText = "cannot read " + path;
    else if (!table.errorText.empty()) table.errorText = path + ": " + table.errorText;
    return table;
}

std::string Convert(const Arguments& arguments) {
    const util::InputFile input = util::OpenInputFile(arguments.input, kMaxInputBytes);
    const std::string name = util::PrintableName(arguments.input);
    const prices::CsvReadResult table = ReadTable(input, name);
    if (!table.errorText.empty()) return table.errorText;
    const IndexFileLines file = BuildIndexFileLines(table.closes);
    if (!file.errorText.empty()) return name + ": " + file.errorText;
    bool anyValue = false;
    std::string content;
    for (const std::string& line : file.lines) {
        anyValue = anyValue || line.substr(line.find('\t') + 1) != "0";
        content += line + "\r\n";
    }
    if (!anyValue) return name + ": no closing values between 2007-01-01 and 2014-12-31";
    return util::WriteFileAtomically(arguments.output, content, {arguments.input});
}

// Writes text to out and flushes it; false, with the reason on err, when it was lost
// (a full disk, a closed standard output).
bool Deliver(std::ostream& out, const std::string& text, std::ostream& err) {
    errno = 0;
    out << text;
    out.flush();
    if (out) return true;
    const int error = errno;
    err << "kovo-djia: cannot write output: " << (error != 0 ? std::strerror(error) : "write error") << "\n";
    return false;
}

}  // namespace

IndexFileLines BuildIndexFileLines(const std::vector<prices::DailyClose>& closes) {
    IndexFileLines result;
    auto next = closes.begin();
    for (std::int32_t day = kIndexFileFirstDay; day <= kIndexFileLastDay; ++day) {
        if (day % 7 >= 5) continue;  // day number mod 7: 0 is Monday, 5 and 6 the weekend
        while (next != closes.end() && next->dayNumber < day) ++next;
        std::string value = "0";
        if (next != closes.end() && next->dayNumber == day && next->close && *next->close > 0) {
            value = util::FixedTwoDecimals(*next->close);
            if (value.size() > 8) {
                result.errorText = "the close " + value + " of " + calendar::FormatDayNumberIso(day) +
                                   " does not fit the 8 characters of a value";
                return result;
            }
        }
        result.lines.push_back(calendar::FormatDayNumberIso(day) + "\t" + value);
    }
    return result;
}

int RunIndexConverter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments arguments = ParseArguments(args);
    if (!arguments.usageError.empty()) {
        err << "kovo-djia: " << arguments.usageError << "\n" << kUsage;
        return 2;
    }
    if (arguments.help) return Deliver(out, kUsage, err) ? 0 : 1;
    if (arguments.version) return Deliver(out, std::string("kovo-djia ") + KOVO_VERSION + "\n", err) ? 0 : 1;
    try {
        if (const std::string error = Convert(arguments); !error.empty()) {
            err << "kovo-djia: " << error << "\n";
            return 1;
        }
    } catch (const std::bad_alloc&) {
        // The output file is replaced only by a complete one, so nothing half written stays.
        err << "kovo-djia: out of memory while converting ";
        err << arguments.input.c_str();
        err << "; nothing was written\n";
        return 1;
    }
    const std::string done = "Wrote " + std::to_string(simulation::ExpectedIndexLines) + " lines to " + util::PrintableName(arguments.output) + "\n";
    return Deliver(out, done, err) ? 0 : 1;
}

}  // namespace kovo::tools
