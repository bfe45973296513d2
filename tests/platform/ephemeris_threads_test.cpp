// The ephemeris layer on threads other than the one that set it up: the library keeps its
// state per thread, so each new thread must get the process's data path and give back
// its open files when it ends.
#include <gtest/gtest.h>

#include <unistd.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>

#include "platform/ephemeris.h"

using namespace kovo;

namespace {

constexpr int kMars = 4;
constexpr double kJ2000 = 2451545.0;

double MarsOnNewThread(double instant) {
    double longitude = 0;
    std::thread worker([&] { longitude = platform::gc_app_long_rv_planet(kMars, instant, 0, nullptr); });
    worker.join();
    return longitude;
}

std::size_t OpenDescriptors() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

// A folder of its own made the working folder for the test's duration.
class InScratchFolder {
public:
    InScratchFolder()
        : previous_(std::filesystem::current_path()),
          folder_(std::filesystem::temp_directory_path() / ("kovo-ephe-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
    }
    ~InScratchFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(folder_, ignored);
    }
    InScratchFolder(const InScratchFolder&) = delete;
    InScratchFolder& operator=(const InScratchFolder&) = delete;
    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path folder_;
};

}  // namespace

// Before each thread closed its files, every finished thread left its planet and moon
// files open, so a program starting a worker per run ran out of descriptors.
TEST(Concurrency, FinishedThreadsLeaveNoDataFilesOpen) {
    ASSERT_GE(MarsOnNewThread(kJ2000), 0.0);  // whatever the process opens once
    const std::size_t before = OpenDescriptors();
    // 1650 and 2150 lie in different data files.
    for (const double instant : {2323890.5, 2506420.5, kJ2000}) ASSERT_GE(MarsOnNewThread(instant), 0.0);
    EXPECT_EQ(OpenDescriptors(), before);
}

// The library's own default path starts with the working folder. A thread left with it
// would read a stray or damaged data file there instead of the program's files.
TEST(Concurrency, NewThreadsReadTheFilesOfTheProcessPath) {
    const double onMain = platform::gc_app_long_rv_planet(kMars, kJ2000, 0, nullptr);
    ASSERT_GE(onMain, 0.0);
    const InScratchFolder scratch;
    for (const char* name : {"sepl_18.se1", "semo_18.se1"}) {
        std::ofstream(scratch.Folder() / name, std::ios::binary) << std::string(4096, '\x5a');
    }
    EXPECT_EQ(std::bit_cast<std::uint64_t>(MarsOnNewThread(kJ2000)), std::bit_cast<std::uint64_t>(onMain));
}

// Once computations have begun the path is fixed for every thread: naming another folder
// then reports that it was not taken.
TEST(Concurrency, TheDataPathIsFixedOnceComputationsBegin) {
    ASSERT_GE(platform::gc_app_long_rv_planet(kMars, kJ2000, 0, nullptr), 0.0);
    EXPECT_FALSE(platform::set_datafiles_folder("/nonexistent-kovo-folder"));
    EXPECT_GE(MarsOnNewThread(kJ2000), 0.0);
}

// Near the 1800 seam of the data files two files cover the same days; which one answered
// used to depend on what the thread had computed before, so walking forwards or backwards
// gave other bits than a thread that starts there.
TEST(Concurrency, ResultsAtAFileSeamDoNotDependOnEarlierCalls) {
    constexpr double kSeam = 2378496.5;  // 1800-01-01
    for (const double instant : {kSeam - 6, kSeam + 0.5, kSeam + 20, kSeam + 75}) {
        const double fresh = MarsOnNewThread(instant);
        for (const double before : {kSeam - 3650, kSeam + 3650}) {
            double longitude = 0;
            std::thread worker([&] {
                platform::gc_app_long_rv_planet(kMars, before, 0, nullptr);
                longitude = platform::gc_app_long_rv_planet(kMars, instant, 0, nullptr);
            });
            worker.join();
            EXPECT_EQ(std::bit_cast<std::uint64_t>(longitude), std::bit_cast<std::uint64_t>(fresh))
                << instant << " after " << before;
        }
    }
}
