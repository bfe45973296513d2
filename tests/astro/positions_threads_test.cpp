// Positions computed on two threads at once, each walking the same instants in its own
// order, must be the very bits a single thread computes: no state of one computation
// (open files, delta-T, Pluto records) may leak into another.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <thread>
#include <vector>

#include "astro/catalogue.h"
#include "astro/positions.h"
#include "astro/separation_longitudes.h"
#include "test_support.h"

using namespace kovo;
using astro::kPlanetCount;
using astro::kPluto;

namespace {

constexpr int kInstants = 10000;
constexpr double kFirstInstant = 2305448.0;        // 1600-01-01 12:00 UT
constexpr double kStep = 219145.0 / kInstants;      // to the end of 2199
constexpr double kOffset = 0.3712;                  // away from whole hours
constexpr std::size_t kValuesPerInstant = 2 * kPlanetCount + 2 * (kPlanetCount - 1);

double Instant(int i) { return kFirstInstant + i * kStep + kOffset * (i % 3); }

// Every body in both frames the scan asks for: apparent (Pluto from its files) and,
// for the separations, the mean-of-date frame with one delta-T per instant.
void ComputeInstant(int i, double* out) {
    const double instant = Instant(i);
    for (int planet = 1; planet <= kPlanetCount; ++planet) {
        *out++ = astro::PlanetLongitude(planet, instant, false);
        *out++ = astro::PlanetLongitude(planet, instant, true);
    }
    for (const bool heliocentric : {false, true}) {
        const astro::SeparationInstant at(instant, heliocentric);
        for (int planet = 1; planet < kPluto; ++planet)
            *out++ = astro::SeparationLongitude(planet, at, astro::SeparationFrame::MeanOfDate);
    }
}

std::vector<double> Compute(bool backwards) {
    std::vector<double> values(kInstants * kValuesPerInstant);
    for (int n = 0; n < kInstants; ++n) {
        const int i = backwards ? kInstants - 1 - n : n;
        ComputeInstant(i, values.data() + static_cast<std::size_t>(i) * kValuesPerInstant);
    }
    return values;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// The first index whose bits differ, for the failure message.
std::size_t FirstDifference(const std::vector<double>& a, const std::vector<double>& b) {
    for (std::size_t k = 0; k < a.size(); ++k)
        if (std::memcmp(&a[k], &b[k], sizeof(double)) != 0) return k;
    return a.size();
}

}  // namespace

TEST(Concurrency, TwoThreadsInOppositeOrdersGiveTheBitsOfOneThread) {
    ASSERT_TRUE(kovo::testing::InitModelOnce());
    const std::vector<double> serial = Compute(false);
    std::size_t found = 0;
    for (const double v : serial) found += v >= 0 ? 1 : 0;
    // Everything but geocentric Pluto after 2099 has a position.
    ASSERT_GT(found, serial.size() * 9 / 10);

    std::vector<double> forwards;
    std::vector<double> backwards;
    std::thread first([&] { forwards = Compute(false); });
    std::thread second([&] { backwards = Compute(true); });
    first.join();
    second.join();

    EXPECT_TRUE(SameBits(forwards, serial)) << "value " << FirstDifference(forwards, serial);
    EXPECT_TRUE(SameBits(backwards, serial)) << "value " << FirstDifference(backwards, serial);
}
