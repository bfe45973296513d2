// kovo-djia's CSV reader and the index lines built from what it accepts.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "tools/index_converter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const kovo::prices::CsvReadResult table = kovo::prices::ReadDailyClosesCsv(in);
    if (table.errorText.empty()) (void)kovo::tools::BuildIndexFileLines(table.closes);
    return 0;
}
