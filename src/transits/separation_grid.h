#pragma once
// The scan's separations at its grid instants t_i = first + i x step (local Julian
// dates), each asked of the ephemeris at most once, and, when the scan is lazy, only
// where the bodies' motion bounds (astro/motion_bounds.h) cannot settle what the scan
// wants to know. Every answer equals what the scan would compute with positions at every
// step: a bound is used only where it proves the outcome with room for rounding, and
// anything it cannot prove is computed.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "transits/pair_positions.h"
#include "transits/transit_params.h"

namespace kovo::transits {

// [level][aspect]: whether the deviation from each selected aspect is within each orb.
using OrbFlags = std::array<std::array<bool, 8>, 3>;

class SeparationGrid {
public:
    SeparationGrid(const TransitRunParams& params, const PairPositions& positions, double first, double step, bool lazy);

    double Instant(std::int64_t i) const { return first_ + static_cast<double>(i) * step_; }

    OrbFlags Flags(std::int64_t i);
    double Deviation(std::int64_t i, int aspect);
    // The scan's minimum test at step i: the deviation strictly below both neighbours'.
    bool IsStepMinimum(std::int64_t i, int aspect);

    // Consecutive steps whose deviation from `aspect` counts toward a tracked minimum.
    struct Run {
        int aspect = 0;
        std::int64_t from = 0;
        std::int64_t to = 0;
    };
    struct Smallest {
        double deviation = 0;
        std::int64_t index = 0;  // the first step with that deviation
    };
    // The smallest deviation over the runs' steps, when it is below `below`.
    std::optional<Smallest> SmallestBelow(const std::vector<Run>& runs, double below);

    // Lets go of what no question about steps from `from` on can need.
    void Forget(std::int64_t from);

private:
    struct Sample {
        double ut = 0;  // the instant positions were asked for
        double separation = 0;
        bool bounded = false;  // positions exist and the bounds hold here
        double clearance = 0;  // the deviations' distance from the nearest orb edge
    };
    using Samples = std::map<std::int64_t, Sample>;

    const Sample& At(std::int64_t i);
    Samples::iterator Evaluate(std::int64_t i);
    double DeviationOf(const Sample& s, int aspect) const;
    OrbFlags FlagsOf(const Sample& s) const;
    bool Bounded(std::int64_t i) const;
    double Ut(std::int64_t i) const;
    bool ProvenMonotone(std::int64_t i, int aspect) const;
    bool KeepsCell(Samples::const_iterator q, std::int64_t j) const;
    struct Range {
        double low = 0;
        double high = 0;
        double rate = 0;  // the mean rate of the two samples, radians a day
        double span = 0;  // days between them
    };
    std::optional<Range> Reach(Samples::const_iterator q, double days) const;
    bool Apart(double s1, double s2, double days, double c) const;
    struct Gap {
        double lowerBound = 0;
        std::int64_t index = 0;
    };
    std::optional<Gap> LowestGap(const Run& run) const;
    double LowerBound(std::int64_t j, int aspect, Samples::const_iterator left, Samples::const_iterator right,
                      bool usable) const;

    const TransitRunParams& params_;
    const PairPositions& positions_;
    double first_;
    double step_;
    bool lazy_;
    double speed_;  // radians a day the separation can move at most
    double turn_;   // radians a day squared its rate can change at most
    double boundsEnd_;  // the last instant (UT) the bounds hold for both bodies
    double swing_ = 0;  // days between the zone's smallest and largest offsets
    std::vector<double> edges_;  // separations where a selected aspect's orb begins or ends
    Samples samples_;
};

}  // namespace kovo::transits
