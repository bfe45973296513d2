#include "stats/random_stream.h"

namespace kovo::stats {

namespace {
constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15ULL;
}

std::uint64_t SplitMix64(std::uint64_t x) {
    std::uint64_t z = x + kGolden;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t IdentityHash(std::string_view text) {
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ULL;
    }
    return hash;
}

std::uint64_t StreamSeed(std::uint64_t runSeed, std::uint64_t ruleHash, StreamPurpose purpose) {
    return SplitMix64(SplitMix64(runSeed + static_cast<std::uint64_t>(purpose) * kGolden) ^ ruleHash);
}

std::uint64_t RandomStream::Below(std::uint64_t bound) {
    // 2^64 mod bound, computed without 128-bit arithmetic: (2^64 - bound) mod bound.
    const std::uint64_t excess = (std::uint64_t{0} - bound) % bound;
    std::uint64_t x = engine_();
    // Outputs in the top `excess` values would favour the low remainders.
    while (x > ~std::uint64_t{0} - excess) x = engine_();
    return x % bound;
}

}  // namespace kovo::stats
