// kovo-report's export options: what the parser accepts, and where the run's text or
// records end up (standard output or the -o file, which a refusal leaves alone).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "report/cli_options.h"
#include "report/report_commands.h"
#include "report_result.h"
#include "support/temp_folder.h"

using namespace kovo::report;
namespace fs = std::filesystem;

namespace {

using Result = kovo::testing::ReportResult;
using kovo::testing::Report;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

const std::vector<std::string> kYear = {"transits", "--from", "2026-01-01", "--to", "2026-12-31", "--tz", "GMT"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

}  // namespace

TEST(ExportOptions, ParsedForTheRunsThatHaveRecords) {
    auto r = ParseCommandLine({"all", "--format", "ICS", "-o", "out.ics", "--ics-periods"});
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.options.format, OutputFormat::ICalendar);
    EXPECT_EQ(r.options.outputPath, "out.ics");
    EXPECT_TRUE(r.options.icsPeriods);
    r = ParseCommandLine({"simulate", "--format", "csv", "--summary"});
    ASSERT_EQ(r.error, "");
    EXPECT_TRUE(r.options.summary);
    EXPECT_EQ(ParseCommandLine({"transits"}).options.format, OutputFormat::Text);

    EXPECT_EQ(ParseCommandLine({"transits", "--format", "xml"}).error, "--format takes text, csv, json or ics");
    EXPECT_EQ(ParseCommandLine({"transits", "-o"}).error, "option '-o' needs a value");
    EXPECT_EQ(ParseCommandLine({"transits", "-o", ""}).error, "-o takes a file name");
    EXPECT_EQ(ParseCommandLine({"transits", "--ics-periods"}).error, "--ics-periods goes with --format ics");
    EXPECT_EQ(ParseCommandLine({"simulate", "--format", "ics", "--ics-periods"}).error, "--ics-periods is for transit runs");
    EXPECT_EQ(ParseCommandLine({"search", "--summary", "--format", "csv"}).error, "--summary is for simulate");
    EXPECT_EQ(ParseCommandLine({"simulate", "--summary", "--format", "json"}).error, "--summary goes with --format csv");
    EXPECT_NE(ParseCommandLine({"positions", "--format", "csv"}).error, "");
    EXPECT_NE(ParseCommandLine({"positions", "-o", "x.txt"}).error, "");
    EXPECT_EQ(Report({"positions", "--format", "json"}).status, 2);
}

TEST(ExportOptions, TheFileHoldsWhatStandardOutputWouldHave) {
    const kovo::testing::TempFolder scratch("kovo-run-output");
    const fs::path& folder = scratch.Path();
    for (const char* format : {"text", "csv", "json"}) {
        const fs::path file = folder / (std::string("out.") + format);
        const Result printed = Report(With(kYear, {"--format", format}));
        const Result written = Report(With(kYear, {"--format", format, "-o", file.string()}));
        EXPECT_EQ(written.status, 0) << written.err;
        EXPECT_EQ(written.out, "") << format;
        EXPECT_EQ(ReadAll(file), printed.out) << format;
    }
    EXPECT_EQ(Report(kYear).out, ReadAll(folder / "out.text")) << "the text is still the default";
    EXPECT_EQ(ReadAll(folder / "out.csv").rfind("first,second,centricity,aspect,", 0), 0u);
    EXPECT_EQ(ReadAll(folder / "out.json").rfind("{\n  \"format\": \"kovo-results\",", 0), 0u);
}

TEST(ExportOptions, ARefusedRunLeavesTheFileAloneAndAnUnwritableOneIsReported) {
    const kovo::testing::TempFolder scratch("kovo-run-output-refused");
    const fs::path& folder = scratch.Path();
    const fs::path file = folder / "keep.csv";
    std::ofstream(file) << "old";
    for (const char* format : {"text", "csv"}) {
        const Result r = Report({"transits", "--from", "2026-01-01", "--to", "2026-01-02", "--tz", "GMT", "--format",
                                 format, "-o", file.string()});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("at least 3 days"), std::string::npos) << r.err;
        EXPECT_EQ(ReadAll(file), "old") << format;
    }
    const Result r = Report(With(kYear, {"--format", "json", "-o", (folder / "missing" / "x.json").string()}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("kovo-report: cannot write " + (folder / "missing" / "x.json").string(), 0), 0u) << r.err;
    EXPECT_FALSE(fs::exists(folder / "missing"));
}

// An all-transits run that has to leave out a pair ends with status 1: its -o file stays
// as it was in every format, and the report on standard output names what was left out.
TEST(ExportOptions, ARunThatSkipsAPairWritesNoFileAndSaysSoInTheReport) {
    const kovo::testing::TempFolder scratch("kovo-run-output-skipped");
    const fs::path& folder = scratch.Path();
    const fs::path file = folder / "keep.txt";
    const std::vector<std::string> run = {"all", "--first", "Sun", "--from", "2099-06-01", "--to", "2100-06-01",
                                          "--tz", "GMT"};
    for (const char* format : {"text", "csv", "json", "ics"}) {
        std::ofstream(file) << "old";
        const Result r = Report(With(run, {"--format", format, "-o", file.string()}));
        EXPECT_EQ(r.status, 1) << format;
        EXPECT_NE(r.err.find("End date is too late for Pluto."), std::string::npos) << r.err;
        EXPECT_EQ(ReadAll(file), "old") << format;
    }
    const Result printed = Report(run);
    EXPECT_EQ(printed.status, 1);
    EXPECT_NE(printed.out.find("Sun and Jupiter"), std::string::npos);
    const std::string tail = "A pair was not scanned: End date is too late for Pluto.\r\n";
    ASSERT_GE(printed.out.size(), tail.size());
    EXPECT_EQ(printed.out.substr(printed.out.size() - tail.size()), tail);
}

// --limit imitates the window's full output area for the text; an export made with it
// still holds every record, so it cannot pass for complete while lacking some.
TEST(ExportOptions, TheLimitCutsTheTextButNoExport) {
    const std::vector<std::string> years = {"transits", "--from", "2000-01-01", "--to", "2019-12-31", "--tz", "GMT"};
    const auto events = [](const std::string& ics) {
        std::size_t n = 0;
        for (std::size_t at = ics.find("BEGIN:VEVENT"); at != std::string::npos; at = ics.find("BEGIN:VEVENT", at + 1)) ++n;
        return n;
    };
    const Result whole = Report(With(years, {"--format", "csv"}));
    const Result limited = Report(With(years, {"--format", "csv", "--limit", "1000"}));
    EXPECT_EQ(limited.status, 0) << limited.err;
    EXPECT_TRUE(limited.out == whole.out) << "the CSV lost rows";
    const Result wholeIcs = Report(With(years, {"--format", "ics"}));
    const Result limitedIcs = Report(With(years, {"--format", "ics", "--limit", "1000"}));
    EXPECT_GT(events(wholeIcs.out), 20u);
    EXPECT_EQ(events(limitedIcs.out), events(wholeIcs.out));
    const Result text = Report(With(years, {"--limit", "1000"}));
    EXPECT_NE(text.out.find("Textbox is full -- "), std::string::npos);
}

// A simulation reads its index file: -o naming that file (also through a link) is refused.
TEST(ExportOptions, ASimulationNeverWritesOverItsIndexFile) {
    const char* shared = std::getenv("KOVO_SHARED_DATA");
    const fs::path real = shared != nullptr ? fs::path(shared) / "DJIA_data.txt" : fs::path();
    if (real.empty() || !fs::exists(real)) GTEST_SKIP() << "needs the shared DJIA_data.txt";
    const kovo::testing::TempFolder scratch("kovo-run-output-index");
    const fs::path& folder = scratch.Path();
    const fs::path index = folder / "DJIA_data.txt";
    fs::copy_file(real, index);
    fs::create_symlink(index, folder / "link.txt");
    const std::string before = ReadAll(index);
    for (const fs::path& output : {index, folder / "link.txt"}) {
        const Result r = Report({"simulate", "--from", "2008-01-01", "--to", "2009-12-31", "--index-file",
                                 index.string(), "-o", output.string()});
        EXPECT_EQ(r.status, 1) << output;
        EXPECT_NE(r.err.find("it is the input file " + index.string()), std::string::npos) << r.err;
        EXPECT_EQ(ReadAll(index), before);
    }
}
