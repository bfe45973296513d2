// The zone files themselves: a damaged, cut or foreign file and a missing database are
// refusals with their reason, and the names offered are exactly the zones that open. Each
// case runs against a scratch copy of the database named by $TZDIR.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "platform/named_time_zone.h"
#include "platform/tzif_file.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using kovo::platform::NamedTimeZone;
using Failure = kovo::platform::NamedTimeZoneLoad::Failure;

namespace {

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A scratch database in place of the system's for the life of the object.
class ScratchDatabase {
public:
    ScratchDatabase() : system_(kovo::platform::TimeZoneDatabaseFolder()) {}
    const fs::path& Folder() const { return folder_; }
    std::string Real(const std::string& name) const { return ReadBytes(system_ / name); }
    void Put(const std::string& name, const std::string& bytes) const { WriteBytes(folder_ / name, bytes); }

private:
    fs::path system_;
    const kovo::testing::TempFolder scratch_{"kovo-tzdb"};
    const fs::path folder_ = scratch_.Path();
    const kovo::testing::ScopedEnv tzdir_{"TZDIR", folder_.string()};
};

std::string BigEndian(std::int64_t value, int width) {
    std::string bytes;
    for (int shift = (width - 1) * 8; shift >= 0; shift -= 8) bytes += static_cast<char>((value >> shift) & 0xff);
    return bytes;
}

struct RawType {
    std::int64_t offset;
    int daylight;
    int abbreviationIndex;
};

// A version 2 file: an empty first block, then these changes and types.
std::string Tzif(const std::vector<std::pair<std::int64_t, int>>& changes, const std::vector<RawType>& types,
                 const std::string& abbreviations, const std::string& footer) {
    auto header = [](std::size_t times, std::size_t typeCount, std::size_t chars) {
        return "TZif2" + std::string(15, '\0') + BigEndian(0, 4) + BigEndian(0, 4) + BigEndian(0, 4) +
               BigEndian(static_cast<std::int64_t>(times), 4) + BigEndian(static_cast<std::int64_t>(typeCount), 4) +
               BigEndian(static_cast<std::int64_t>(chars), 4);
    };
    std::string file = header(0, 1, 1) + BigEndian(0, 4) + std::string(2, '\0') + std::string(1, '\0');
    file += header(changes.size(), types.size(), abbreviations.size());
    for (const auto& change : changes) file += BigEndian(change.first, 8);
    for (const auto& change : changes) file += static_cast<char>(change.second);
    for (const RawType& t : types)
        file += BigEndian(t.offset, 4) + static_cast<char>(t.daylight) + static_cast<char>(t.abbreviationIndex);
    return file + abbreviations + "\n" + footer + "\n";
}

std::string ProblemOf(const char* name) {
    const auto load = NamedTimeZone::Load(name);
    EXPECT_FALSE(load.zone.has_value()) << name;
    EXPECT_EQ(load.failure, Failure::Unreadable) << name << ": " << load.problem;
    return load.problem;
}

}  // namespace

TEST(ZoneDatabase, DamagedFilesAreRefusedWithTheirReason) {
    ScratchDatabase db;
    const std::string real = db.Real("America/New_York");
    ASSERT_GT(real.size(), 1000u) << "is tzdata installed?";
    db.Put("America/New_York", std::string(4000, 'x'));
    db.Put("Cut/Short", real.substr(0, real.size() / 2));
    db.Put("Cut/Header", real.substr(0, 30));
    db.Put("Empty/File", "");
    std::string badFooter = real.substr(0, real.rfind('\n', real.size() - 2)) + "\nEST5EDT,M3.2.0\n";
    db.Put("Bad/Footer", badFooter);
    db.Put("Good/Copy", real);

    EXPECT_EQ(ProblemOf("America/New_York"),
              "the time-zone database entry America/New_York cannot be read: it is not a zone file (TZif)");
    EXPECT_NE(ProblemOf("Cut/Short").find("cut short"), std::string::npos);
    EXPECT_NE(ProblemOf("Cut/Header").find("cut short"), std::string::npos);
    EXPECT_NE(ProblemOf("Empty/File").find("cut short"), std::string::npos);
    EXPECT_NE(ProblemOf("Bad/Footer").find("'EST5EDT,M3.2.0'"), std::string::npos);

    const auto good = NamedTimeZone::Load("Good/Copy");
    ASSERT_TRUE(good.zone.has_value()) << good.problem;
    EXPECT_EQ(good.zone->AtInstant(2461223.0).abbreviation, "EDT");  // July 2026
    EXPECT_TRUE(NamedTimeZone::Load("Nowhere/Else").failure == Failure::UnknownName);
}

TEST(ZoneDatabase, FieldsOutOfTheirRangeAreRefused) {
    using kovo::platform::ParseTzif;
    const std::string abbreviations("LMT\0EST\0", 8);
    const std::vector<RawType> types{{-17762, 0, 0}, {-18000, 0, 4}};
    const auto sound = ParseTzif(Tzif({{-2717650800, 1}}, types, abbreviations, "EST5"));
    ASSERT_TRUE(sound.data.has_value()) << sound.problem;
    EXPECT_EQ(sound.data->types[1].abbreviation, "EST");
    EXPECT_EQ(sound.data->footer, "EST5");

    const std::pair<std::string, std::string> cases[] = {
        {Tzif({{0, 2}}, types, abbreviations, ""), "a change names a local time type it does not have"},
        {Tzif({{10, 1}, {10, 0}}, types, abbreviations, ""), "its changes are out of order"},
        {Tzif({}, {{26 * 3600, 0, 0}}, abbreviations, ""), "it gives an offset beyond 26 hours"},
        {Tzif({}, {{0, 2, 0}}, abbreviations, ""), "it marks daylight saving with neither 0 nor 1"},
        {Tzif({}, {{0, 0, 8}}, abbreviations, ""), "an abbreviation lies outside the file's list"},
        {Tzif({}, {{0, 0, 0}}, "LMT", ""), "its abbreviations do not end"},
        {Tzif({}, {}, abbreviations, ""), "it has no local time type"},
        {"TZif9" + std::string(39, '\0'), "its version is unknown"},
    };
    for (const auto& [bytes, problem] : cases) EXPECT_EQ(ParseTzif(bytes).problem, problem);
}

TEST(ZoneDatabase, EveryCutOfARealFileIsRefusedNotMisread) {
    ScratchDatabase db;
    const std::string real = db.Real("Europe/London");
    ASSERT_GT(real.size(), 1000u);
    // Any proper prefix lacks the footer's closing line feed at least.
    for (std::size_t length = 0; length + 1 < real.size(); length += 7) {
        const auto read = kovo::platform::ParseTzif(std::string_view(real).substr(0, length));
        EXPECT_FALSE(read.data.has_value()) << length;
        EXPECT_FALSE(read.problem.empty()) << length;
    }
    EXPECT_TRUE(kovo::platform::ParseTzif(real).data.has_value());
}

TEST(ZoneDatabase, AnEmptyOrMissingDatabaseIsSaidToBeMissing) {
    ScratchDatabase db;
    for (const char* name : {"UTC", "America/New_York"}) {
        const auto load = NamedTimeZone::Load(name);
        EXPECT_EQ(load.failure, Failure::NoDatabase) << name;
        EXPECT_NE(load.problem.find("time-zone database is missing"), std::string::npos) << load.problem;
    }
    EXPECT_TRUE(kovo::platform::NamedTimeZoneNames().empty());
    const kovo::testing::ScopedEnv missing("TZDIR", (db.Folder() / "not-there").string());
    EXPECT_EQ(NamedTimeZone::Load("UTC").failure, Failure::NoDatabase);
}

TEST(ZoneDatabase, NamesListOnlyZoneFilesThatOpen) {
    ScratchDatabase db;
    const std::string utc = db.Real("UTC");
    db.Put("UTC", utc);
    db.Put("Europe/London", db.Real("Europe/London"));
    db.Put("zone.tab", "GB\t+513030-0000731\tEurope/London\n");
    db.Put("localtime", utc);
    db.Put("posixrules", utc);
    db.Put("Factory", utc);
    db.Put("posix/UTC", utc);
    db.Put("right/UTC", utc);
    EXPECT_EQ(kovo::platform::NamedTimeZoneNames(), (std::vector<std::string>{"Europe/London", "UTC"}));
    // The names set aside are not zones even when asked for by name.
    for (const char* name : {"localtime", "posixrules", "Factory", "posix/UTC", "right/UTC", "Europe"})
        EXPECT_EQ(NamedTimeZone::Load(name).failure, Failure::UnknownName) << name;
    EXPECT_EQ(NamedTimeZone::Load("zone.tab").failure, Failure::Unreadable);  // there, but no zone
}
