// The index price file reader and its lookups on arbitrary file contents.
#include <cstddef>
#include <cstdint>

#include "fuzz_input_file.h"
#include "simulation/index_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kovo::simulation::IndexPrices prices;
    (void)prices.Load(kovo::fuzz::WriteInputFile(data, size, "DJIA_data.txt"));
    // Lookups must stay inside the lines whatever was loaded.
    for (std::int32_t day = kovo::simulation::FirstInvestmentDay; day <= kovo::simulation::LastInvestmentDay; day += 97)
        (void)prices.IndexValueOnOrAfter(day);
    (void)prices.FindIndexLine("2011-03-15");
    return 0;
}
