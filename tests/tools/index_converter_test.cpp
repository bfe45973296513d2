// kovo-djia: the written index file and the command's safety and exit statuses.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <streambuf>

#include "calendar/calendar_services.h"
#include "simulation/index_file.h"
#include "support/temp_folder.h"
#include "test_support.h"
#include "tools/index_converter.h"

namespace kovo::tools {
namespace {

namespace fs = std::filesystem;
using prices::CsvReadResult;
using prices::ParseDailyClosesCsv;
using simulation::ExpectedIndexLines;
using simulation::FirstInvestmentDay;
using simulation::IndexPrices;

// An output that accepts nothing, like a full disk or a closed standard output.
class FailingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

class IndexConverterTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::InitModelOnce();
    }

    std::string Write(const std::string& name, const std::string& text) {
        const fs::path path = folder / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    int Command(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return RunIndexConverter(args, out, err);
    }

    const testing::TempFolder scratch{"kovo-djia"};
    const fs::path folder = scratch.Path();
    std::ostringstream out, err;
};


TEST_F(IndexConverterTest, BuildsOneLinePerWeekdayWithZerosForMissingDays) {
    const CsvReadResult table = ParseDailyClosesCsv(
        "Date,Close\n2006-12-29,12463.15\n2007-01-02,.\n2007-01-03,12474.5\n2007-01-06,999\n2014-12-31,17823.07\n");
    ASSERT_EQ(table.errorText, "");
    const IndexFileLines file = BuildIndexFileLines(table.closes);
    ASSERT_EQ(file.errorText, "");
    ASSERT_EQ(file.lines.size(), static_cast<std::size_t>(ExpectedIndexLines));
    EXPECT_EQ(file.lines[0], "2007-01-01\t0");
    EXPECT_EQ(file.lines[1], "2007-01-02\t0");
    EXPECT_EQ(file.lines[2], "2007-01-03\t12474.50");
    EXPECT_EQ(file.lines[5], "2007-01-08\t0");  // the Saturday value is left out
    EXPECT_EQ(file.lines.back(), "2014-12-31\t17823.07");

    const IndexFileLines tooLarge = BuildIndexFileLines({{.dayNumber = FirstInvestmentDay, .close = 123456.0, .line = 0}});
    EXPECT_NE(tooLarge.errorText.find("2007-01-03"), std::string::npos);
}

TEST_F(IndexConverterTest, CommandWritesAFileTheIndexTableAccepts) {
    const std::string input = Write("in.csv", "Date,Close\n2007-01-03,12474.52\n2007-01-08,\"12,423.49\"\n");
    const std::string output = (folder / "DJIA_data.txt").string();
    Write("DJIA_data.txt", "old contents");
    ASSERT_EQ(Command({"-o", output, input}), 0) << err.str();
    EXPECT_EQ(err.str(), "");

    IndexPrices prices;
    EXPECT_FALSE(prices.Load(output).has_value());
    EXPECT_EQ(prices.IndexLineCount(), ExpectedIndexLines);
    EXPECT_EQ(prices.IndexValueOnOrAfter(FirstInvestmentDay), 12474.52);
    EXPECT_EQ(prices.IndexValueOnOrAfter(FirstInvestmentDay + 1), 12423.49);  // Thursday -> Monday

    std::ifstream file(output, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.substr(0, 49), "2007-01-01\t0\r\n2007-01-02\t0\r\n2007-01-03\t12474.52\r\n");
    EXPECT_FALSE(fs::exists(output + ".tmp"));
}

TEST_F(IndexConverterTest, CommandFailuresKeepTheOldFile) {
    const std::string output = Write("DJIA_data.txt", "old contents");
    const auto oldContents = [&] {
        std::ifstream file(output);
        return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ(Command({"-o", output, (folder / "missing.csv").string()}), 1);
    EXPECT_NE(err.str().find("cannot read"), std::string::npos);
    EXPECT_EQ(Command({"-o", output, folder.string()}), 1);  // a folder is no file
    EXPECT_EQ(Command({"-o", output, Write("bad.csv", "Date,Close\n2007-01-04,1\n2007-01-03,2\n2007-01-05,2\n")}), 1);
    EXPECT_NE(err.str().find("out of order"), std::string::npos);
    EXPECT_EQ(Command({"-o", output, Write("none.csv", "Date,Close\n2015-01-02,1\n")}), 1);
    EXPECT_NE(err.str().find("no closing values"), std::string::npos);
    EXPECT_EQ(Command({"-o", (folder / "no_such_folder" / "x.txt").string(),
                       Write("ok.csv", "Date,Close\n2007-01-03,1\n")}),
              1);
    EXPECT_TRUE(oldContents() == "old contents");
}

TEST_F(IndexConverterTest, CommandWritesSafely) {
    const std::string input = Write("in.csv", "Date,Close\n2007-01-03,12474.52\n");
    const std::string locked = Write("locked.txt", "keep me");
    fs::permissions(locked, fs::perms(0444));
    EXPECT_EQ(Command({"-o", locked, input}), 1);
    EXPECT_EQ(err.str().rfind("kovo-djia: cannot write " + locked, 0), 0u) << err.str();
    EXPECT_EQ(out.str(), "");

    const std::string target = Write("target.txt", "old");
    fs::permissions(target, fs::perms(0600));
    fs::create_symlink("target.txt", folder / "link.txt");
    ASSERT_EQ(Command({"-o", (folder / "link.txt").string(), input}), 0) << err.str();
    EXPECT_TRUE(fs::is_symlink(folder / "link.txt"));
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0600));
    IndexPrices prices;
    EXPECT_FALSE(prices.Load(target).has_value());
    EXPECT_EQ(prices.IndexValueOnOrAfter(FirstInvestmentDay), 12474.52);

    std::ifstream file(locked);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()), "keep me");
}

// The download must survive a mistyped -o: by its own name, through a link or a hard link.
TEST_F(IndexConverterTest, CommandRefusesToWriteOverItsInput) {
    const std::string csv = "Date,Close\n2007-01-03,12474.52\n";
    const std::string input = Write("x.csv", csv);
    fs::create_symlink("x.csv", folder / "link.csv");
    fs::create_hard_link(input, folder / "hard.csv");
    for (const fs::path& output : {fs::path(input), folder / "link.csv", folder / "hard.csv", folder / "." / "x.csv"}) {
        EXPECT_EQ(Command({input, "-o", output.string()}), 1) << output;
        EXPECT_NE(err.str().find("it is the input file " + input), std::string::npos) << err.str();
        std::ifstream file(input, std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()), csv);
    }
    EXPECT_EQ(Command({input, "-o", (folder / "other.txt").string()}), 0) << err.str();
}

// Names are shown with their control characters escaped, so a crafted name cannot
// forge further message lines.
TEST_F(IndexConverterTest, MessagesEscapeControlCharactersOfNames) {
    const std::string missing = (folder / "a\nkovo-djia: fake\x1b[2J.csv").string();
    EXPECT_EQ(Command({missing}), 1);
    EXPECT_EQ(err.str(), "kovo-djia: cannot read " + (folder / "a\\x0Akovo-djia: fake\\x1B[2J.csv").string() +
                             ": not an existing file\n");
}

// Out of memory while reading a long table: the command says so and what it was doing,
// exits with 1 and writes nothing. It runs in a child whose address space is capped a
// few megabytes above what it already uses. AddressSanitizer reserves far more address
// space than such a cap allows, so the test cannot run under it.
TEST_F(IndexConverterTest, OutOfMemoryIsReportedAndWritesNothing) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address space caps do not work under AddressSanitizer";
#endif
    std::string csv = "Date,Close\n";
    const std::int32_t first = testing::Day(1000, 1, 1);
    for (std::int32_t day = first; day < first + 400000; ++day)
        csv += calendar::FormatDayNumberIso(day) + ",100\n";
    const std::string input = Write("long.csv", csv);
    csv.clear();
    csv.shrink_to_fit();
    const std::string output = (folder / "DJIA_data.txt").string();
    const std::string messages = (folder / "messages.txt").string();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        long pages = 0;
        if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
            std::fclose(statm);
        }
        const rlimit cap{.rlim_cur = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (6u << 20),
                         .rlim_max = RLIM_INFINITY};
        if (pages == 0 || ::setrlimit(RLIMIT_AS, &cap) != 0) ::_exit(9);
        std::ostringstream quiet, errors;
        const int status = RunIndexConverter({input, "-o", output}, quiet, errors);
        std::ofstream(messages) << errors.str();
        ::_exit(status);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::ifstream file(messages);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "kovo-djia: out of memory while converting " + input + "; nothing was written\n");
    EXPECT_FALSE(fs::exists(output));
    for (const auto& entry : fs::directory_iterator(folder)) EXPECT_NE(entry.path().extension(), ".tmp");
}

TEST_F(IndexConverterTest, CommandFailsWhenItsOutputIsLost) {
    const std::string input = Write("in.csv", "Date,Close\n2007-01-03,12474.52\n");
    FailingBuffer full;
    std::ostream lost(&full);
    std::ostringstream errors;
    EXPECT_EQ(RunIndexConverter({"--help"}, lost, errors), 1);
    EXPECT_EQ(errors.str().rfind("kovo-djia: cannot write output: ", 0), 0u) << errors.str();

    std::ostream lostAgain(&full);
    errors.str("");
    EXPECT_EQ(RunIndexConverter({"-o", (folder / "out.txt").string(), input}, lostAgain, errors), 1);
    EXPECT_EQ(errors.str().rfind("kovo-djia: cannot write output: ", 0), 0u) << errors.str();
}

TEST_F(IndexConverterTest, RealIndexFileSurvivesARoundTripThroughCsv) {
    const std::string real = testing::SharedIndexFile();
    KOVO_REQUIRE_INDEX_FILE(real);
    std::ifstream file(real, std::ios::binary);
    const std::string original((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // Newest first, quoted, holidays as ".": the layout of a typical download.
    std::vector<std::string> rows;
    std::istringstream lines(original);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string value = line.substr(11);
        rows.push_back("\"" + line.substr(0, 10) + "\",\"" + (value == "0" ? "." : value) + "\"");
    }
    std::string csv = "\"Date\",\"Close\"\r\n";
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) csv += *row + "\r\n";

    // The same table as a spreadsheet with a decimal comma saves it: semicolons, CR only.
    std::string european = "Date;Close\r";
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        std::string line = row->substr(1, 10) + ";" + row->substr(14, row->size() - 15);
        std::replace(line.begin(), line.end(), '.', ',');
        european += (line.back() == ',' ? line.substr(0, 11) : line) + "\r";  // holidays empty
    }

    for (const std::string& text : {csv, european}) {
        const CsvReadResult table = ParseDailyClosesCsv(text);
        ASSERT_EQ(table.errorText, "");
        const IndexFileLines rebuilt = BuildIndexFileLines(table.closes);
        std::string written;
        for (const std::string& line : rebuilt.lines) written += line + "\r\n";
        EXPECT_TRUE(written == original);
    }
}

TEST_F(IndexConverterTest, CommandUsage) {
    EXPECT_EQ(Command({"--help"}), 0);
    EXPECT_NE(out.str().find("Usage: kovo-djia"), std::string::npos);
    EXPECT_EQ(Command({}), 2);
    EXPECT_NE(err.str().find("no input file"), std::string::npos);
    EXPECT_EQ(Command({"-o"}), 2);
    EXPECT_EQ(Command({"--fast", "a.csv"}), 2);
    EXPECT_EQ(Command({"a.csv", "b.csv"}), 2);
}


}  // namespace
}  // namespace kovo::tools
