#pragma once
// What a transit run found, as data: one TransitPeriod per transit of one aspect, and
// the run's inputs and outcome around them. The report text, exporters and charts are
// all rendered from these records.
//
// Units: day numbers for dates (civil dates in the run's time zone), Julian Days in UT
// for instants, radians for deviations from the exact aspect.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "transits/transit_params.h"
#include "util/run_outcome.h"

namespace kovo::transits {

// Orb levels, from the widest in.
enum OrbLevel : int { kOuterOrb = 0, kMiddleOrb = 1, kInnerOrb = 2 };
inline constexpr int kOrbLevels = 3;

// A date on which an orb was entered or left.
struct OrbDate {
    std::int32_t day = 0;  // the civil date the report shows
    // The first body retrograde at local midnight beginning day floor(t), t being the local
    // instant of the scan step that saw the change. Always false where the report gives no
    // marks: in heliocentric runs and in the all-transits run (likewise below).
    bool retrograde = false;

    friend bool operator==(const OrbDate&, const OrbDate&) = default;
};

// One stay inside one orb. An end is absent when it was not recorded: the range (or a
// stop) cut it, or it fell in the same scan step as a change of a wider orb, of which
// only the widest is recorded. Both absent: the level was not reached.
struct OrbSpan {
    std::optional<OrbDate> entry;
    std::optional<OrbDate> exit;

    bool Reached() const { return entry.has_value() || exit.has_value(); }
    friend bool operator==(const OrbSpan&, const OrbSpan&) = default;
};

// The civil date of an entry or exit, or nothing where it is absent (see OrbSpan). Every
// output reads its dates through this one rule: an absent date is an empty report cell,
// an empty CSV field or JSON null, "already inside" / "not left" in a calendar, and the
// edge of the wider span (or of the range) in a chart, an event window or a backtest.
inline std::optional<std::int32_t> OrbDay(const std::optional<OrbDate>& date) {
    return date ? std::optional<std::int32_t>(date->day) : std::nullopt;
}

// The closest approach of one pass. Exact when it came within kExactDeviation: then
// `instantUt` is the whole minute found by FindExactMinimum; otherwise it is the scan
// step of the smallest deviation seen (or local midnight of the start day when that was
// the scan's first step).
struct TransitMinimum {
    double instantUt = 0;
    std::int32_t day = 0;  // the civil date the report shows (exact: of the rounded minute)
    double deviation = 0;  // radians
    bool exact = false;
    bool retrograde = false;  // the first body, at the local midnight ending that day
    // Exact minima in a zone whose offset has seconds (local mean time): the whole UT
    // minute nearest the exact instant, which `instantUt` (a minute of the local grid)
    // falls between. Exports give it, so that no zone moves the UT minute; else unset.
    std::optional<double> utMinute{};
};

// One line of the report: a pass towards the exact aspect inside the outer orb. A
// retrograde loop gives several. The middle and inner spans hold the entry and exit
// recorded on this line; the exit of a span that outlasts several passes stays on the
// line of its entry.
struct TransitPass {
    OrbSpan middle;
    OrbSpan inner;
    std::optional<TransitMinimum> minimum;
};

// One transit period: from entering the outer orb of one aspect to leaving it.
struct TransitPeriod {
    int aspect = 0;  // aspect index 1..7
    OrbSpan outer;
    std::vector<TransitPass> passes;  // the report's lines, never empty once recorded
    bool cutAtStart = false;          // already inside the outer orb when the scan began
    bool cutAtEnd = false;            // still inside when the scan ended or was stopped

    int ExactPasses() const;
    // Whether any orb was entered or left: the report names the aspect only then.
    bool HasOrbDates() const;
};

// One scan of one pair.
struct TransitResult {
    // The scan's inputs: pair, centricity, orbs, aspects, range (after the start-date
    // back-off; a search ends on 31 December 2099) and time zone. Filled once the run's
    // checks passed; a refused run keeps the defaults.
    TransitRunParams inputs;
    std::vector<TransitPeriod> periods;
    util::RunOutcome outcome = util::RunOutcome::Refused;
    std::string refusal;      // the text of the message that refused the run
    bool outputFull = false;  // the output area refused rows: the text lacks some periods
    bool searchFound = false;  // a search ended at the first transit's outer-orb exit

    bool Recorded() const { return !periods.empty(); }
};

// The all-transits run: one result per pair scanned or refused, in run order (a planet
// paired with itself is skipped and has none).
struct AllTransitsResult {
    std::vector<TransitResult> pairs;
    util::RunOutcome outcome = util::RunOutcome::Refused;
    std::string refusal;  // when the whole run was refused before any pair
};

}  // namespace kovo::transits
