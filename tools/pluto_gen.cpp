// Writes "pluto.slx" and "hpluto.2199.slx": Pluto at 0h UT of every day from
// 1 January 1600, from the ephemeris layer in the frames the program uses.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "astro/catalogue.h"
#include "astro/pluto.h"
#include "platform/ephemeris.h"

namespace {

constexpr double kDegreesPerRadian = 360.0 / (2.0 * 3.14159265358979323846);

// Through the day after the last covered one, which interpolation reads.
bool WriteFile(const std::filesystem::path& path, int lastDay, bool heliocentric) {
    const auto tmp = path.string() + ".tmp";
    std::ofstream out(tmp, std::ios::binary);
    if (!out) {
        std::cerr << "cannot write " << tmp << "\n";
        return false;
    }
    for (long long k = 0; k <= lastDay + 1 - kovo::astro::kPlutoFirstDay; ++k) {
        const double instant = kovo::astro::kPlutoFirstDay + k - 0.5;
        const double radians = heliocentric ? kovo::platform::PlutoHeliocentricFromEphemeris(instant)
                                            : kovo::platform::PlutoGeocentricFromEphemeris(instant);
        if (radians < 0) {
            std::cerr << "no Pluto position from the ephemeris at JD " << instant << "\n";
            return false;
        }
        const double degrees = radians * kDegreesPerRadian;
        out << (heliocentric ? kovo::astro::EncodePlutoHeliocentric(degrees, k)
                             : kovo::astro::EncodePlutoGeocentric(degrees, k))
            << "\r\n";
    }
    out.close();
    if (!out) return false;
    std::filesystem::rename(tmp, path);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: kovo-pluto-gen OUTPUT_FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    kovo::platform::set_datafiles_folder("");
    const bool ok = WriteFile(folder / kovo::astro::kPlutoGeoFile, kovo::astro::kPlutoGeoLastDay, false) &&
                    WriteFile(folder / kovo::astro::kPlutoHelioFile, kovo::astro::kPlutoHelioLastDay, true);
    return ok ? 0 : 1;
}
