#pragma once
// Seeded random numbers that are the same on every platform, compiler and standard
// library, so that a run given the same seed reproduces its p-values and intervals.
//
// The engine is std::mt19937_64, whose raw output the C++ standard fixes bit for bit
// (from a single 64-bit seed). Draws in a range use our own reduction below, never
// std::uniform_int_distribution, whose algorithm differs between standard libraries.
//
// Seeds: a run has one seed; every rule and purpose gets its own stream from it,
//   StreamSeed(runSeed, ruleHash, purpose) = SplitMix64(SplitMix64(runSeed + purpose * G) ^ ruleHash)
// with G = 0x9E3779B97F4A7C15 (arithmetic modulo 2^64), so that a rule's draws do not
// depend on how many rules run before it or on which thread.
//   SplitMix64(x): z = x + G; z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
//                  z = (z ^ (z >> 27)) * 0x94D049BB133111EB; return z ^ (z >> 31)
//   IdentityHash(text): 64-bit FNV-1a of the text's bytes (offset basis
//                  0xCBF29CE484222325, prime 0x100000001B3), for a rule's identity
//                  written as text, e.g. "long con 8".
#include <cstdint>
#include <random>
#include <string_view>

namespace kovo::stats {

// What a stream is drawn for; part of its seed so that the two never share draws.
enum class StreamPurpose : std::uint64_t { CircularShift = 1, Bootstrap = 2 };

std::uint64_t SplitMix64(std::uint64_t x);
std::uint64_t IdentityHash(std::string_view text);
std::uint64_t StreamSeed(std::uint64_t runSeed, std::uint64_t ruleHash, StreamPurpose purpose);

// A stream of uniform draws.
class RandomStream {
public:
    explicit RandomStream(std::uint64_t seed) : engine_(seed) {}

    // A uniform whole number in 0..bound-1 (bound >= 1), without bias: raw 64-bit
    // outputs x at or above the largest multiple of bound not above 2^64 are drawn
    // again, and x mod bound is returned.
    std::uint64_t Below(std::uint64_t bound);

    // The engine's next raw 64-bit output.
    std::uint64_t Raw() { return engine_(); }

private:
    std::mt19937_64 engine_;
};

}  // namespace kovo::stats
