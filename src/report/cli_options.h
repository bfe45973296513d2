#pragma once
// Command-line options of kovo-report: one subcommand and the inputs the window offers
// for that run. Parsing never exits; it returns an error text for the usage message.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kovo::report {

enum class Command { Transits, Search, All, Simulate, Positions, Help, Version, Chart };

// What a run prints: the report text, or its records in an export format.
enum class OutputFormat { Text, Csv, Json, ICalendar };

struct CliOptions {
    Command command = Command::Help;
    std::string helpTopic;  // subcommand whose help was asked for, or "" for the overview
    int first = 4;          // planet index 1..9
    int second = 5;
    bool heliocentric = false;
    std::string from;  // YYYY-MM-DD as typed
    std::string to;
    std::array<bool, 7> aspects{true, true, true, true, true, true, true};
    std::array<int, 3> orbs{10, 5, 2};
    std::optional<int> timezonePosition;  // none: the computer's zone, as the window starts
    bool abbreviations = false;           // the zone was named by its North American abbreviation
    std::string namedZone;                // a zone of the tz database ("America/New_York") instead
    int searchAspect = 1;
    int searchOrb = 6;
    bool searchFromEnd = false;
    bool keepSecond = false;
    bool details = false;
    std::string indexFile = "DJIA_data.txt";
    double stepDays = 1.0;
    bool lineFeeds = false;
    std::optional<std::size_t> limit;
    OutputFormat format = OutputFormat::Text;
    std::string outputPath;    // -o: written safely instead of standard output
    bool icsPeriods = false;   // iCalendar: all-day events for the outer-orb periods too
    bool summary = false;      // simulate: the summary table instead of the events
    // The chart command: the run it draws (Transits, Search or All), the file and its size.
    Command chartOf = Command::Transits;
    std::string chartPath;
    int chartWidth = 1600;
    int chartHeight = 900;
    bool chartCycles = false;  // --cycles: the bodies' retrograde cycles and ingresses too
    bool chartMoon = false;    // --moon: the Moon's phases and the eclipses too
    // transits (and chart transits): the second body is this fixed tropical longitude,
    // in degrees [0, 360), named secondName (its degree text when empty).
    std::optional<double> secondDegree;
    std::string secondName;
};

struct ParseResult {
    CliOptions options;
    std::string error;  // not empty when the arguments were not understood
};

ParseResult ParseCommandLine(const std::vector<std::string>& args);

// Aspect index 1..7 of an abbreviation ("tri") or name ("trine"), case-insensitive; 0
// when unknown.
int AspectFromText(const std::string& text);

// Planet index of a name ("Sun" and "Earth" both give 1), case-insensitive; 0 when unknown.
int PlanetIndexFromName(const std::string& name);

std::string UsageText(const std::string& topic);

// A --seed value: a whole number 0 .. 2^64 - 1 written plainly; nothing otherwise.
std::optional<std::uint64_t> ParseSeed(const std::string& text);
inline constexpr const char* kSeedProblem = "--seed takes a whole number from 0 to 18446744073709551615";

}  // namespace kovo::report
