// The Pluto file reader: the input is loaded as both position files, then its lines are
// decoded directly as records, and every lookup must stay inside what was read.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "astro/pluto.h"

namespace {

const std::string& Folder() {
    static const std::string folder = [] {
        const std::string f = "/tmp/kovo_fuzz_pluto_" + std::to_string(getpid()) + "/";
        std::filesystem::create_directories(f);
        return f;
    }();
    return folder;
}

void LookUpAcrossTheData(const kovo::astro::PlutoTables& tables) {
    for (double instant = kovo::astro::kPlutoFirstDay - 2.0; instant < kovo::astro::kPlutoHelioLastDay + 2.0;
         instant += 9973.25) {
        (void)tables.Geocentric(instant);
        (void)tables.Heliocentric(instant);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const char* name : {kovo::astro::kPlutoGeoFile, kovo::astro::kPlutoHelioFile})
        std::ofstream(Folder() + name, std::ios::binary) << text;
    kovo::astro::PlutoTables loaded;
    (void)loaded.Load(Folder());
    LookUpAcrossTheData(loaded);

    std::vector<std::string> records;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            records.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    records.push_back(line);
    kovo::astro::PlutoTables decoded;
    decoded.SetRecords(kovo::astro::PlutoList::Geocentric, records);
    decoded.SetRecords(kovo::astro::PlutoList::Heliocentric, std::move(records));
    LookUpAcrossTheData(decoded);
    for (long long k = -1; k < 64; ++k) {
        (void)decoded.RecordDegrees(kovo::astro::PlutoList::Geocentric, k);
        (void)decoded.RecordDegrees(kovo::astro::PlutoList::Heliocentric, k);
    }
    return 0;
}
