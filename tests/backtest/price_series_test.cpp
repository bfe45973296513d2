// Reading a price series: the CSV reader's layouts and refusals, and the backtest's own
// refusals of closes that are not positive and of series too short to trade.
#include <gtest/gtest.h>
#include <signal.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include <sys/stat.h>

#include "backtest/price_series.h"
#include "support/temp_folder.h"
#include "synthetic_prices.h"
#include "test_support.h"

namespace kovo::backtest {
namespace {

PriceSeriesLoad FromText(const std::string& text) { return PriceSeriesFromTable(prices::ParseDailyClosesCsv(text)); }

TEST(PriceSeriesTest, ReadsEitherOrderAndLeavesOutDaysWithoutValue) {
    const PriceSeriesLoad newestFirst =
        FromText("Date,Open,Close,Adj Close\n01/05/2007,1,12398.01,1\n2007-01-04,1,.,1\n2007-01-03,1,12474.52,1\n");
    ASSERT_EQ(newestFirst.errorText, "");
    ASSERT_EQ(newestFirst.series.Size(), 2u);
    EXPECT_EQ(newestFirst.series.points[0].day, testing::Day(2007, 1, 3));
    EXPECT_DOUBLE_EQ(newestFirst.series.points[0].close, 12474.52);
    EXPECT_EQ(newestFirst.series.points[0].line, 4u);
    EXPECT_EQ(newestFirst.series.points[1].day, testing::Day(2007, 1, 5));

    const PriceSeriesLoad value = FromText("DATE,VALUE\n2007-01-03,5\n2007-01-04,\n2007-01-05,6\n");
    ASSERT_EQ(value.errorText, "");
    EXPECT_EQ(value.series.Size(), 2u);
    EXPECT_EQ(value.series.column, "VALUE");
    EXPECT_EQ(newestFirst.series.column, "Close");
    EXPECT_EQ(ClipToRange(value.series, 0, testing::Day(2007, 1, 4)).column, "VALUE");
}

TEST(PriceSeriesTest, RefusesBadTablesWithTheLineNumber) {
    EXPECT_EQ(FromText("Date,Close\n2007-01-03,5\n2007-01-04,0\n2007-01-05,6\n").errorText,
              "line 3: a close of 0.00 is not positive");
    EXPECT_EQ(FromText("Date,Close\n2007-01-03,5\n2007-01-04,-2\n").errorText,
              "line 3: \"-2\" is not a closing value");
    const std::string duplicate = FromText("Date,Close\n2007-01-03,5\n2007-01-03,6\n").errorText;
    EXPECT_EQ(duplicate.rfind("line 3: dates out of order", 0), 0u) << duplicate;
    const std::string mixed = FromText("Date,Close\n2007-01-03,5\n2007-01-05,6\n2007-01-04,7\n").errorText;
    EXPECT_EQ(mixed.rfind("line 4: dates out of order", 0), 0u) << mixed;
    EXPECT_EQ(FromText("Date,Close\n2007-01-03,5\n2007-01-04,.\n").errorText,
              "the table holds 1 close; a backtest needs at least 2");
    EXPECT_EQ(FromText("Date,Close\n").errorText, "the table holds 0 closes; a backtest needs at least 2");
    EXPECT_TRUE(FromText("Date,Close\n2007-01-03,5\n2007-01-04,0\n").series.Empty());
}

TEST(PriceSeriesTest, ReadsFilesAndNamesThePathInEveryRefusal) {
    const kovo::testing::TempFolder scratch("kovo-price-series");
    const auto& folder = scratch.Path();
    const std::string good = (folder / "good.csv").string();
    std::ofstream(good) << "Date,Close\r\n2007-01-03,5\r\n2007-01-04,6\r\n";
    const PriceSeriesLoad load = ReadPriceSeriesFile(good);
    EXPECT_EQ(load.errorText, "");
    EXPECT_EQ(load.series.Size(), 2u);
    EXPECT_EQ(load.series.source, good);

    const std::string bad = (folder / "bad.csv").string();
    std::ofstream(bad) << "Date,Close\n2007-01-03,5\n2007-01-04,0\n";
    EXPECT_EQ(ReadPriceSeriesFile(bad).errorText, bad + ": line 3: a close of 0.00 is not positive");
    // What the path names instead of a file, in the user's words.
    EXPECT_EQ(ReadPriceSeriesFile(folder.string()).errorText, "cannot read " + folder.string() + ": a folder, not a file");
    const std::string fifo = (folder / "pipe.csv").string();
    std::filesystem::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadPriceSeriesFile(fifo).errorText, "cannot read " + fifo + ": a pipe (FIFO), not a file");
    EXPECT_EQ(ReadPriceSeriesFile("/dev/null").errorText, "cannot read /dev/null: a device, not a file");
    const std::string missing = (folder / "missing.csv").string();
    EXPECT_EQ(ReadPriceSeriesFile(missing).errorText, "cannot read " + missing + ": not an existing file");
    std::filesystem::remove_all(folder);
}

// Reads the path again and again while another thread swaps a FIFO and a regular file
// in under its name: the check must be made on what was opened, or an open lands on
// the FIFO and waits for a writer for ever. Runs in a child so that a hang is a failure.
TEST(PriceSeriesTest, AFifoSwappedInAfterTheCheckIsRefusedWithoutWaiting) {
    const kovo::testing::TempFolder scratch("kovo-price-series-fifo");
    const auto& folder = scratch.Path();
    const std::string path = (folder / "prices.csv").string();
    const std::string fifo = (folder / "fifo.csv").string();
    std::ofstream(path) << "Date,Close\n2007-01-03,5\n2007-01-04,6\n";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::atomic<bool> done{false};
        // Each exchange is one atomic rename: the name holds one or the other, never none.
        std::thread swapper([&] {
            while (!done) ::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, fifo.c_str(), RENAME_EXCHANGE);
        });
        int unexpected = 0;
        // The window between a check and an open is microseconds: keep trying for a while.
        const auto stop = std::chrono::steady_clock::now() + std::chrono::seconds(4);
        while (std::chrono::steady_clock::now() < stop) {
            const std::string error = ReadPriceSeriesFile(path).errorText;
            if (!error.empty() && error != "cannot read " + path + ": a pipe (FIFO), not a file") ++unexpected;
        }
        done = true;
        swapper.join();
        ::_exit(unexpected == 0 ? 0 : 3);
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            std::filesystem::remove_all(folder);
            FAIL() << "reading hung on a FIFO";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a read gave an unexpected message";
}

TEST(PriceSeriesTest, FindsTradingDaysAroundAnyDay) {
    const PriceSeries week = testing::ThreeWeeks();
    const std::int32_t monday = testing::FirstMonday();
    EXPECT_EQ(week.FirstOnOrAfter(monday - 10), 0u);
    EXPECT_EQ(week.FirstOnOrAfter(monday + 5), 5u);  // Saturday: the next Monday
    EXPECT_EQ(week.FirstOnOrAfter(monday + 2), 2u);
    EXPECT_FALSE(week.FirstOnOrAfter(monday + 19).has_value());
    EXPECT_FALSE(week.LastBefore(monday).has_value());
    EXPECT_EQ(week.LastBefore(monday + 7), 4u);  // Monday: the Friday before
    EXPECT_EQ(ClipToRange(week, monday + 5, monday + 9).Size(), 3u);
}

}  // namespace
}  // namespace kovo::backtest
