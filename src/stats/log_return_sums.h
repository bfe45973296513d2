#pragma once
// Prefix sums of the log returns of a close series, so that the log return of any hold
// is one subtraction.
//
// P[0..N-1] are the closes (all > 0) of N trading days, indexed 0..N-1. There are
// M = N - 1 daily log returns x[i] = ln(P[i+1] / P[i]), i = 0..M-1 (the step from day i
// to day i+1). The prefix sums are S[i] = x[0] + ... + x[i-1] = ln(P[i] / P[0]), each
// computed directly as ln(P[i] / P[0]) so that rounding does not build up over a
// century of closes.
//
// A hold from day b to day e (b <= e) earns ln(P[e] / P[b]) = S[e] - S[b].
//
// Circular holds: a calendar shifted by k trading days may push a hold past the last
// day. The daily returns are then read as a circle of M steps: the step after x[M-1] is
// x[0] again, so a hold of L steps (1 <= L <= M) starting at day b (0 <= b < M) earns
// x[b] + ... + x[b+L-1] with indexes taken modulo M. The jump from the last close to the
// first is never a step of its own; each day's return keeps its size, only its place in
// the calendar moves. The sums are stored twice over (S[M + i] = S[M] + S[i]) so that a
// circular hold is one subtraction too.
#include <cstddef>
#include <vector>

namespace kovo::stats {

// A hold from the close of trading day `entry` to the close of trading day `exit`.
struct Hold {
    std::size_t entry = 0;
    std::size_t exit = 0;  // >= entry
    std::size_t Length() const { return exit - entry; }
};

class LogReturnSums {
public:
    // closes: P[0..N-1], every close > 0 (not checked: a close of 0 or below gives
    // infinities or NaN). Fewer than two closes give a series without steps.
    explicit LogReturnSums(const std::vector<double>& closes);

    std::size_t Closes() const { return closes_; }
    // M = N - 1, the number of daily steps (0 for fewer than two closes).
    std::size_t Steps() const { return closes_ < 2 ? 0 : closes_ - 1; }
    // S[i] = ln(P[i] / P[0]), i = 0..N-1.
    double Prefix(std::size_t i) const { return sums_[i]; }
    // ln(P[exit] / P[entry]); entry <= exit < N.
    double Of(const Hold& hold) const { return sums_[hold.exit] - sums_[hold.entry]; }
    double Of(std::size_t entry, std::size_t exit) const { return sums_[exit] - sums_[entry]; }
    // The circular hold of `length` steps from day `start`: start < M, 1 <= length <= M
    // (0 <= length <= M also works: length 0 gives 0). Without wrap it equals
    // Of(start, start + length).
    double Circular(std::size_t start, std::size_t length) const { return sums_[start + length] - sums_[start]; }

private:
    std::size_t closes_ = 0;
    std::vector<double> sums_;  // S[0..M] and then S[M] + S[1..M]: 2M + 1 values
};

}  // namespace kovo::stats
