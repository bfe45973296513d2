// kovo-report's option parser: the input is the argument list, split at NUL bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "report/cli_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    if (args.back().empty()) args.pop_back();
    const kovo::report::ParseResult parsed = kovo::report::ParseCommandLine(args);
    // The usage text of whatever topic was asked for must be printable too.
    if (parsed.error.empty()) (void)kovo::report::UsageText(parsed.options.helpTopic);
    return 0;
}
