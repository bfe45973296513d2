#include "platform/named_time_zone.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <date/tz.h>

#include "platform/zone_timeline.h"

namespace kovo::platform {

namespace {

namespace fs = std::filesystem;

constexpr double kUnixEpochJd = 2440587.5;
constexpr double kSecondsPerDay = 86400.0;
// Beyond these the tz rules mean nothing and the conversions below would overflow.
constexpr double kEarliestJd = 1721425.5;  // 0001-01-01
constexpr double kLatestJd = 5373484.5;    // 9999-12-31
// The largest zone file is a few kilobytes; anything far larger is not one.
constexpr std::size_t kMostFileBytes = 1 << 20;

std::int64_t SecondsFromEpoch(double jd) {
    const double clamped = std::clamp(jd, kEarliestJd, kLatestJd);
    return static_cast<std::int64_t>(std::floor((clamped - kUnixEpochJd) * kSecondsPerDay + 0.5));
}

// Not places: Debian's link to the computer's own setting and the database's fill-ins;
// "posix" and "right" repeat the database (the latter counting leap seconds).
bool IsSetAside(std::string_view name) {
    const std::string_view first = name.substr(0, name.find('/'));
    return name == "localtime" || name == "posixrules" || name == "Factory" || first == "posix" || first == "right";
}

// A name that can only reach a file inside the database: no empty, hidden, "." or ".."
// parts and only the characters zone names use.
bool IsZoneName(std::string_view name) {
    if (name.empty() || name.size() > 255) return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        const std::string_view part = name.substr(start, end - start);
        if (part.empty() || part[0] == '.') return false;
        for (const char c : part)
            if (!std::isalnum(static_cast<unsigned char>(c)) && std::strchr("_+-.", c) == nullptr) return false;
        start = end + 1;
    }
    return !IsSetAside(name);
}

// The whole file, or why it cannot be had.
std::optional<std::string> ReadWholeFile(const fs::path& path, std::string& problem, bool& missing) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        missing = errno == ENOENT || errno == ENOTDIR;
        problem = std::string("it cannot be opened: ") + std::strerror(errno);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[8192];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0 && bytes.size() <= kMostFileBytes)
        bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed) problem = std::string("it cannot be read: ") + std::strerror(error);
    else if (bytes.size() > kMostFileBytes) problem = "it is far too large for a zone file";
    if (!problem.empty()) return std::nullopt;
    return bytes;
}

bool DatabaseIsMissing(const fs::path& folder) {
    std::error_code error;
    return !fs::is_directory(folder, error) || fs::directory_iterator(folder, error) == fs::directory_iterator();
}

NamedTimeZoneLoad Refusal(NamedTimeZoneLoad::Failure failure, std::string problem) {
    return {.zone = std::nullopt, .failure = failure, .problem = std::move(problem)};
}

}  // namespace

std::string TimeZoneDatabaseFolder() {
    const char* set = std::getenv("TZDIR");
    return set != nullptr && *set != '\0' ? std::string(set) : std::string("/usr/share/zoneinfo");
}

NamedTimeZoneLoad NamedTimeZone::Load(std::string_view name) {
    using Failure = NamedTimeZoneLoad::Failure;
    const std::string text(name);
    const fs::path folder = TimeZoneDatabaseFolder();
    if (!IsZoneName(name)) return Refusal(Failure::UnknownName, "unknown time zone '" + text + "'");
    const fs::path path = folder / text;
    std::error_code error;
    if (fs::is_directory(path, error)) return Refusal(Failure::UnknownName, "unknown time zone '" + text + "'");
    std::string problem;
    bool missing = false;
    const std::optional<std::string> bytes = ReadWholeFile(path, problem, missing);
    if (!bytes && missing) {
        if (DatabaseIsMissing(folder))
            return Refusal(Failure::NoDatabase, "the time-zone database is missing (no zone files in " +
                                                    folder.string() + ")");
        return Refusal(Failure::UnknownName, "unknown time zone '" + text + "'");
    }
    TzifRead read;
    if (bytes) read = ParseTzif(*bytes);
    else read.problem = problem;
    std::optional<PosixTzRule> rule;
    if (read.data && !read.data->footer.empty() && !(rule = PosixTzRule::Parse(read.data->footer)))
        read = {.data = std::nullopt, .problem = "its rule for later years, '" + read.data->footer + "', cannot be read"};
    if (!read.data)
        return Refusal(Failure::Unreadable,
                       "the time-zone database entry " + text + " cannot be read: " + read.problem);
    return {.zone = NamedTimeZone(text, std::make_shared<const ZoneTimeline>(std::move(*read.data), rule)),
            .failure = Failure::None,
            .problem = {}};
}

std::optional<NamedTimeZone> NamedTimeZone::Find(std::string_view name) { return Load(name).zone; }

NamedTimeZone::Reading NamedTimeZone::AtInstant(double instantUt) const {
    const TzifType& type = timeline_->AtInstant(SecondsFromEpoch(instantUt));
    return {.offsetSeconds = type.offsetSeconds, .abbreviation = type.abbreviation};
}

int NamedTimeZone::OffsetAtLocal(double local) const { return timeline_->OffsetAtLocal(SecondsFromEpoch(local)); }

std::vector<int> NamedTimeZone::OffsetsAtLocal(double local) const {
    return timeline_->OffsetsAtLocal(SecondsFromEpoch(local));
}

std::vector<std::string> NamedTimeZone::AbbreviationsBetween(double fromUt, double toUt) const {
    return timeline_->AbbreviationsBetween(SecondsFromEpoch(fromUt), SecondsFromEpoch(toUt));
}

std::vector<std::string> NamedTimeZoneNames() {
    const fs::path folder = TimeZoneDatabaseFolder();
    std::vector<std::string> names;
    std::error_code error;
    fs::recursive_directory_iterator walk(folder, error);
    for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        const std::string name = walk->path().lexically_relative(folder).generic_string();
        if (walk->is_directory(error)) {
            if (!IsZoneName(name)) walk.disable_recursion_pending();
            continue;
        }
        // Only zone files: the folder also holds tables and notes.
        char magic[4] = {};
        std::FILE* file = IsZoneName(name) ? std::fopen(walk->path().c_str(), "rb") : nullptr;
        if (file == nullptr) continue;
        const bool zone = std::fread(magic, 1, 4, file) == 4 && std::memcmp(magic, "TZif", 4) == 0;
        std::fclose(file);
        if (zone) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string SystemTimeZoneName() {
    try {
        const date::time_zone* zone = date::current_zone();
        return zone != nullptr ? std::string(zone->name()) : std::string();
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace kovo::platform
