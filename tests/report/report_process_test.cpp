// kovo-report as a process: exit statuses when standard output fails or the Pluto
// files are missing. The program runs from a copy of the data folder so that its
// files can be taken away without touching the build.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "platform/standard_output.h"
#include "report/report_commands.h"
#include "support/process_run.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

using kovo::testing::ProcessRun;
using kovo::testing::TempFolder;

// Runs `program args` through the shell; both outputs are captured unless `redirection`
// sends standard output elsewhere.
ProcessRun Shell(const fs::path& program, const std::string& args, const std::string& redirection = "") {
    return kovo::testing::RunShell(kovo::testing::ShellQuoted(program.string()) + " " + args, redirection);
}

const fs::path kReport = fs::current_path() / "kovo-report";

// `scratch` made a data folder with kovo-report and both Pluto files, less those named.
fs::path DataFolderWithout(const TempFolder& scratch, const std::string& missing) {
    const fs::path& folder = scratch.Path();
    fs::copy_file(kReport, folder / "kovo-report");
    for (const char* file : {"pluto.slx", "hpluto.2199.slx"})
        if (missing != file) fs::copy_file(fs::current_path() / file, folder / file);
    return folder;
}

}  // namespace

TEST(ReportProcess, AFailedWriteToStandardOutputIsReported) {
    ProcessRun r = Shell(kReport, "--help", ">/dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kovo-report: cannot write output: No space left on device\n");
    r = Shell(kReport, "transits --from 2026-01-01 --to 2026-12-31 --tz GMT", ">&-");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kovo-report: cannot write output: Bad file descriptor\n");
    r = Shell(kReport, "--help", ">/dev/null");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

TEST(ReportProcess, AClosedStreamFailsEveryCommandThatPrints) {
    kovo::platform::ClosedOutputBuffer closed;
    std::ostream out(&closed);
    std::ostringstream err;
    EXPECT_EQ(kovo::report::RunReport({"positions", "--body", "Mars", "--from", "2026-01-01", "--to", "2026-01-05"},
                                      out, err, false),
              1);
    EXPECT_EQ(err.str(), "kovo-report: cannot write output: Bad file descriptor\n");
}

TEST(ReportProcess, MissingPlutoFilesRefusePlutoRunsWithStatusOne) {
    for (const std::string missing : {"pluto.slx", "hpluto.2199.slx"}) {
        const TempFolder scratch("kovo-no-pluto");
        const fs::path folder = DataFolderWithout(scratch, missing);
        const std::string path = (folder / missing).string();
        ProcessRun r = Shell(folder / "kovo-report",
                      "transits --first Mars --second Pluto --from 2026-01-01 --to 2026-12-31 --tz GMT", ">/dev/null");
        EXPECT_EQ(r.status, 1) << missing;
        EXPECT_NE(r.err.find("Pluto data is not available.\n" + path), std::string::npos) << r.err;
        r = Shell(folder / "kovo-report", "simulate --first Earth --second Pluto --from 2011-03-15 --to 2011-09-30",
                  ">/dev/null");
        EXPECT_EQ(r.status, 1) << missing;
        EXPECT_NE(r.err.find("Pluto data is not available."), std::string::npos) << r.err;
        r = Shell(folder / "kovo-report", "positions --body Pluto --from 2030-01-01 --to 2030-01-02", ">/dev/null");
        EXPECT_EQ(r.status, 1) << missing;
        EXPECT_NE(r.err.find("Pluto data is not available.\n" + path), std::string::npos) << r.err;
        // Runs without Pluto still succeed; the start-up message names the file.
        r = Shell(folder / "kovo-report", "transits --first Mars --second Jupiter --from 2026-01-01 --to 2026-12-31 --tz GMT",
                  ">/dev/null");
        EXPECT_EQ(r.status, 0) << missing;
        EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
    }
}

TEST(ReportProcess, TimeZoneNamesOutsideTheDatabaseExitWithStatusTwo) {
    ProcessRun r = Shell(kReport, "transits --from 2026-01-01 --to 2026-12-31 --tz Nowhere/Else");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("kovo-report: unknown time zone 'Nowhere/Else': ", 0), 0u) << r.err;
    EXPECT_EQ(r.out, "");
    r = Shell(kReport, "transits --from 2026-01-01 --to 2026-12-31 --tz America/New_York");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(", times in America/New_York"), std::string::npos);
    // The list's own texts keep their fixed offsets, though the database knows "GMT" and "EST" too.
    for (const char* fixed : {"GMT", "EST/CDT", "-300"}) {
        r = Shell(kReport, std::string("transits --from 2026-01-01 --to 2026-12-31 --tz ") + fixed);
        EXPECT_EQ(r.status, 0) << fixed << ": " << r.err;
        EXPECT_EQ(r.out.find(", times in"), std::string::npos) << fixed;
    }
}

// Running out of memory anywhere in a command ends it with status 1 and a message that
// names the command, instead of an abort by an uncaught std::bad_alloc. The chart
// writer is the seam where the test can make memory run out.
TEST(ReportProcess, OutOfMemoryEndsTheCommandWithAMessage) {
    std::ostringstream out, err;
    const kovo::report::ChartFileWriter exhausted = [](const kovo::exporting::RunRecords&,
                                                       const kovo::report::ChartRequest&) -> std::string {
        throw std::bad_alloc();
    };
    const int status = kovo::report::RunReport(
        {"chart", "transits", "--from", "2026-01-01", "--to", "2026-03-31", "--tz", "GMT", "-o", "never.svg"}, out,
        err, false, exhausted);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err.str(), "kovo-report: out of memory while running chart; nothing was written to the output file\n");
    EXPECT_FALSE(fs::exists("never.svg"));
}
