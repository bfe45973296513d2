#include "astro/pluto.h"

#include <cmath>

#include "astro/catalogue.h"
#include "util/line_reader.h"
#include "util/rounding.h"

namespace kovo::astro {

namespace {

std::vector<std::string> geoRecords;
std::vector<std::string> helioRecords;

const std::vector<std::string>& Records(PlutoList list) {
    return list == PlutoList::Geocentric ? geoRecords : helioRecords;
}

// One base-60 digit; -1 when the character lies outside the digit's range.
int Digit(char c, int offset, int limit) {
    const int v = static_cast<unsigned char>(c) - offset;
    return v >= 0 && v < limit ? v : -1;
}

double Interpolate(PlutoList list, double instant, int lastDay) {
    if (!std::isfinite(instant)) return kAfterData;
    const double x = instant + 0.5;
    const double day = std::floor(x);
    const double f = x - day;
    if (day < kPlutoFirstDay) return kBeforeData;
    if (day > lastDay) return kAfterData;
    const long long k = static_cast<long long>(day) - kPlutoFirstDay;
    double lon0 = PlutoRecordDegrees(list, k);
    double lon1 = PlutoRecordDegrees(list, k + 1);
    if (lon0 < 0 || lon1 < 0) return kAfterData;
    if (lon1 - lon0 > 355) {
        lon0 += 360;
    } else if (lon0 - lon1 > 355) {
        lon1 += 360;
    }
    double v = lon0 + f * (lon1 - lon0);
    if (v >= 360) v -= 360;
    return v / 360 * FullCircle;
}

}  // namespace

PlutoLoadResult LoadPlutoFiles(const std::string& folder) {
    const std::string base = folder.empty() ? DataFolder() : folder;
    geoRecords.clear();
    helioRecords.clear();
    PlutoLoadResult result;
    const auto geo = util::ReadTrimmedLines(base + kPlutoGeoFile, geoRecords, util::LineEnds::Any);
    if (!geo.errorText.empty()) {
        result.message = "Error when reading geocentric Pluto data.\r\n" + geo.errorText;
        return result;
    }
    const auto helio = util::ReadTrimmedLines(base + kPlutoHelioFile, helioRecords, util::LineEnds::Any);
    result.ok = helio.errorText.empty();
    return result;
}

void SetPlutoRecords(PlutoList list, std::vector<std::string> records) {
    (list == PlutoList::Geocentric ? geoRecords : helioRecords) = std::move(records);
}

double PlutoRecordDegrees(PlutoList list, long long k) {
    const auto& records = Records(list);
    if (k < 0 || k >= static_cast<long long>(records.size())) return kAfterData;
    const std::string& r = records[static_cast<std::size_t>(k)];
    if (list == PlutoList::Geocentric) {
        if (r.size() < 3) return kAfterData;
        const int d60 = Digit(r[0], 58 + static_cast<int>(k % 55), 6);
        const int d = Digit(r[1], 59, 60);
        const int m = Digit(r[2], 60, 60);
        if (d60 < 0 || d < 0 || m < 0) return kAfterData;
        return (d60 * 60 + d) + m / 60.0;
    }
    if (r.size() < 4) return kAfterData;
    const int m = Digit(r[0], 60 + static_cast<int>(k % 7), 60);
    const int s = Digit(r[1], 60, 60);
    const int d60 = Digit(r[2], 58 + static_cast<int>(k % 55), 6);
    const int d = Digit(r[3], 59, 60);
    if (m < 0 || s < 0 || d60 < 0 || d < 0) return kAfterData;
    return (d60 * 60 + d) + m / 60.0 + s / 3600.0;
}

double PlutoGeocentric(double instant) { return Interpolate(PlutoList::Geocentric, instant, kPlutoGeoLastDay); }

double PlutoHeliocentric(double instant) { return Interpolate(PlutoList::Heliocentric, instant, kPlutoHelioLastDay); }

std::string EncodePlutoGeocentric(double degrees, long long k) {
    // Whole arcminutes, carried so that 59.99' becomes the next degree and 360° becomes 0°.
    long long minutes = util::RoundHalfEven(degrees * 60.0) % (360 * 60);
    if (minutes < 0) minutes += 360 * 60;
    const int d = static_cast<int>(minutes / 60);
    const int m = static_cast<int>(minutes % 60);
    std::string r(3, ' ');
    r[0] = static_cast<char>(d / 60 + 58 + k % 55);
    r[1] = static_cast<char>(d % 60 + 59);
    r[2] = static_cast<char>(m + 60);
    return r;
}

std::string EncodePlutoHeliocentric(double degrees, long long k) {
    long long seconds = util::RoundHalfEven(degrees * 3600.0) % (360 * 3600);
    if (seconds < 0) seconds += 360 * 3600;
    const int d = static_cast<int>(seconds / 3600);
    const int m = static_cast<int>(seconds / 60 % 60);
    const int s = static_cast<int>(seconds % 60);
    std::string r(4, ' ');
    r[0] = static_cast<char>(m + 60 + k % 7);
    r[1] = static_cast<char>(s + 60);
    r[2] = static_cast<char>(d / 60 + 58 + k % 55);
    r[3] = static_cast<char>(d % 60 + 59);
    return r;
}

}  // namespace kovo::astro
