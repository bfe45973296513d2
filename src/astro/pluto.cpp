#include "astro/pluto.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "astro/catalogue.h"
#include "util/line_reader.h"
#include "util/rounding.h"

namespace kovo::astro {

namespace {

// One base-60 digit; -1 when the character lies outside the digit's range.
int Digit(char c, int offset, int limit) {
    const int v = static_cast<unsigned char>(c) - offset;
    return v >= 0 && v < limit ? v : -1;
}

// Longitude in degrees of record text r read as record k; -100 when it cannot be decoded.
double DecodeRecord(PlutoList list, const std::string& r, long long k) {
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

// Whether two consecutive days lie further apart than Pluto moves, the short way round.
bool OutOfStep(double previous, double degrees, double maxStep) {
    const double apart = std::fabs(degrees - previous);
    return std::min(apart, 360 - apart) > maxStep;
}

// Reads one file into `records` and checks it; returns "" when it is sound, otherwise
// the path and the first problem.
std::string LoadList(const std::string& path, PlutoList list, std::vector<std::string>& records) {
    const bool geo = list == PlutoList::Geocentric;
    const std::size_t needed = geo ? kPlutoGeoRecords : kPlutoHelioRecords;
    const std::size_t length = geo ? 3 : 4;
    const double maxStep = geo ? kPlutoGeoMaxDailyStep : kPlutoHelioMaxDailyStep;
    records.clear();
    records.reserve(needed);
    std::string problem;
    long long k = 0;
    double previous = -1;
    auto check = [&](std::string& record, std::size_t lineNumber) {
        const double degrees = record.size() == length ? DecodeRecord(list, record, k) : kAfterData;
        if (record.size() != length) {
            problem = "record is not " + std::to_string(length) + " characters long";
        } else if (degrees < 0) {
            problem = "record cannot be decoded";
        } else if (previous >= 0 && OutOfStep(previous, degrees, maxStep)) {
            problem = "record out of step with its neighbours";
        }
        if (!problem.empty()) {
            problem = "line " + std::to_string(lineNumber) + ": " + problem;
            return false;
        }
        // Records past the needed count are checked and counted but not kept.
        if (records.size() < needed) records.push_back(std::move(record));
        previous = degrees;
        ++k;
        return true;
    };
    // A record line is a few characters; a longer one is damage and need not be kept whole.
    const auto read = util::ForEachTrimmedLine(path, util::LineEnds::Any, check, 64);
    if (problem.empty() && !read.errorText.empty()) problem = read.errorText;
    if (problem.empty() && static_cast<std::size_t>(k) != needed)
        problem = std::to_string(k) + " records, " + std::to_string(needed) + " needed";
    return problem.empty() ? std::string() : path + ": " + problem;
}

}  // namespace

PlutoLoadResult PlutoTables::Load(const std::string& folder) {
    const std::string base = folder.empty() ? DataFolder() : folder;
    PlutoLoadResult result;
    const char* heading = "Error when reading geocentric Pluto data.\r\n";
    result.reason = LoadList(base + kPlutoGeoFile, PlutoList::Geocentric, geo_);
    if (result.reason.empty()) {
        heading = "Error when reading heliocentric Pluto data.\r\n";
        result.reason = LoadList(base + kPlutoHelioFile, PlutoList::Heliocentric, helio_);
    }
    if (!result.reason.empty()) {
        // Half a table would answer lookups with wrong longitudes; none answer with the sentinel.
        std::vector<std::string>().swap(geo_);
        std::vector<std::string>().swap(helio_);
        result.message = heading + result.reason;
        return result;
    }
    result.ok = true;
    return result;
}

void PlutoTables::SetRecords(PlutoList list, std::vector<std::string> records) {
    (list == PlutoList::Geocentric ? geo_ : helio_) = std::move(records);
}

double PlutoTables::RecordDegrees(PlutoList list, long long k) const {
    const auto& records = list == PlutoList::Geocentric ? geo_ : helio_;
    if (k < 0 || k >= static_cast<long long>(records.size())) return kAfterData;
    return DecodeRecord(list, records[static_cast<std::size_t>(k)], k);
}

double PlutoTables::Interpolate(PlutoList list, double instant, int lastDay) const {
    if (!std::isfinite(instant)) return kAfterData;
    const double x = instant + 0.5;
    const double day = std::floor(x);
    const double f = x - day;
    if (day < kPlutoFirstDay) return kBeforeData;
    if (day > lastDay) return kAfterData;
    const long long k = static_cast<long long>(day) - kPlutoFirstDay;
    double lon0 = RecordDegrees(list, k);
    double lon1 = RecordDegrees(list, k + 1);
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

double PlutoTables::Geocentric(double instant) const {
    return Interpolate(PlutoList::Geocentric, instant, kPlutoGeoLastDay);
}

double PlutoTables::Heliocentric(double instant) const {
    return Interpolate(PlutoList::Heliocentric, instant, kPlutoHelioLastDay);
}

namespace {

struct ProgramPluto {
    PlutoTables tables;
    PlutoLoadResult load;
};

const ProgramPluto& Program() {
    static const ProgramPluto program = [] {
        ProgramPluto read;
        read.load = read.tables.Load();
        return read;
    }();
    return program;
}

}  // namespace

const PlutoTables& ProgramPlutoTables() { return Program().tables; }

PlutoLoadResult LoadPlutoFiles(const std::string& folder) {
    if (folder.empty()) return Program().load;
    PlutoTables other;
    return other.Load(folder);
}

double PlutoRecordDegrees(PlutoList list, long long k) { return ProgramPlutoTables().RecordDegrees(list, k); }

double PlutoGeocentric(double instant) { return ProgramPlutoTables().Geocentric(instant); }

double PlutoHeliocentric(double instant) { return ProgramPlutoTables().Heliocentric(instant); }

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
