#include "platform/tzif_file.h"

#include <array>
#include <cstdlib>

namespace kovo::platform {

namespace {

constexpr std::size_t kHeaderSize = 44;
// No zone has ever been a day and two hours or more from Greenwich.
constexpr int kMostOffsetSeconds = 26 * 3600;

struct Counts {
    std::uint32_t isUt = 0, isStd = 0, leap = 0, time = 0, type = 0, chars = 0;
};

class Bytes {
public:
    explicit Bytes(std::string_view bytes) : bytes_(bytes) {}

    bool Has(std::size_t n) const { return bytes_.size() - pos_ >= n; }
    std::size_t Position() const { return pos_; }
    std::string_view Take(std::size_t n) {
        const std::string_view part = bytes_.substr(pos_, n);
        pos_ += n;
        return part;
    }
    std::int64_t Signed(std::size_t width) {
        std::uint64_t value = 0;
        for (const char c : Take(width)) value = (value << 8) | static_cast<unsigned char>(c);
        if (width == 4) return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
        return static_cast<std::int64_t>(value);
    }
    std::string_view Rest() const { return bytes_.substr(pos_); }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

std::string ReadHeader(Bytes& in, char& version, Counts& counts) {
    if (!in.Has(kHeaderSize)) return "it is cut short";
    if (in.Take(4) != "TZif") return "it is not a zone file (TZif)";
    version = in.Take(1)[0];
    if (version != '\0' && (version < '2' || version > '4')) return "its version is unknown";
    in.Take(15);
    std::array<std::uint32_t*, 6> fields{&counts.isUt, &counts.isStd, &counts.leap,
                                         &counts.time, &counts.type,  &counts.chars};
    for (std::uint32_t* field : fields) *field = static_cast<std::uint32_t>(in.Signed(4));
    if (counts.type == 0) return "it has no local time type";
    if (counts.chars == 0) return "it has no abbreviations";
    if ((counts.isUt != 0 && counts.isUt != counts.type) || (counts.isStd != 0 && counts.isStd != counts.type))
        return "its counts disagree";
    return {};
}

std::size_t BlockSize(const Counts& c, std::size_t timeWidth) {
    return std::size_t{c.time} * (timeWidth + 1) + std::size_t{c.type} * 6 + c.chars +
           std::size_t{c.leap} * (timeWidth + 4) + c.isStd + c.isUt;
}

std::string ReadTypes(Bytes& in, const Counts& counts, TzifData& data) {
    struct Raw {
        std::int64_t offset;
        bool daylight;
        std::size_t index;
    };
    std::vector<Raw> raw;
    for (std::uint32_t i = 0; i < counts.type; ++i) {
        const std::int64_t offset = in.Signed(4);
        const auto daylight = static_cast<unsigned char>(in.Take(1)[0]);
        const auto index = static_cast<unsigned char>(in.Take(1)[0]);
        if (std::llabs(offset) >= kMostOffsetSeconds) return "it gives an offset beyond 26 hours";
        if (daylight > 1) return "it marks daylight saving with neither 0 nor 1";
        if (index >= counts.chars) return "an abbreviation lies outside the file's list";
        raw.push_back({offset, daylight == 1, index});
    }
    const std::string_view chars = in.Take(counts.chars);
    if (chars.back() != '\0') return "its abbreviations do not end";
    for (const Raw& r : raw) {
        const std::string_view tail = chars.substr(r.index);
        data.types.push_back({.offsetSeconds = static_cast<int>(r.offset),
                              .daylight = r.daylight,
                              .abbreviation = std::string(tail.substr(0, tail.find('\0')))});
    }
    return {};
}

// One data block; the first (32-bit) block of a version 2+ file is only stepped over.
std::string ReadBlock(Bytes& in, const Counts& counts, std::size_t timeWidth, TzifData& data) {
    if (!in.Has(BlockSize(counts, timeWidth))) return "it is cut short";
    for (std::uint32_t i = 0; i < counts.time; ++i) {
        const std::int64_t at = in.Signed(timeWidth);
        if (!data.changes.empty() && at <= data.changes.back()) return "its changes are out of order";
        data.changes.push_back(at);
    }
    for (std::uint32_t i = 0; i < counts.time; ++i) {
        const auto type = static_cast<unsigned char>(in.Take(1)[0]);
        if (type >= counts.type) return "a change names a local time type it does not have";
        data.typeAfter.push_back(type);
    }
    if (std::string problem = ReadTypes(in, counts, data); !problem.empty()) return problem;
    // Leap seconds and the standard/UT indicators do not change civil readings.
    in.Take(std::size_t{counts.leap} * (timeWidth + 4) + counts.isStd + counts.isUt);
    return {};
}

TzifRead Failed(std::string problem) { return {.data = std::nullopt, .problem = std::move(problem)}; }

}  // namespace

TzifRead ParseTzif(std::string_view bytes) {
    Bytes in(bytes);
    char version = 0;
    Counts counts;
    if (std::string problem = ReadHeader(in, version, counts); !problem.empty()) return Failed(problem);
    TzifData data;
    if (version == '\0') {
        if (std::string problem = ReadBlock(in, counts, 4, data); !problem.empty()) return Failed(problem);
        return {.data = std::move(data), .problem = {}};
    }
    if (!in.Has(BlockSize(counts, 4))) return Failed("it is cut short");
    in.Take(BlockSize(counts, 4));
    char secondVersion = 0;
    if (std::string problem = ReadHeader(in, secondVersion, counts); !problem.empty()) return Failed(problem);
    if (std::string problem = ReadBlock(in, counts, 8, data); !problem.empty()) return Failed(problem);
    const std::string_view rest = in.Rest();
    const std::size_t close = rest.size() > 1 ? rest.find('\n', 1) : std::string_view::npos;
    if (rest.empty() || rest[0] != '\n' || close == std::string_view::npos) return Failed("its footer is cut short");
    data.footer = std::string(rest.substr(1, close - 1));
    return {.data = std::move(data), .problem = {}};
}

}  // namespace kovo::platform
