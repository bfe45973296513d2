// The programs as a user starts them from a shell: without a display, and without the
// session's runtime folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/process_run.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

using kovo::testing::ProcessRun;

// Runs `program args` with `environment` in front (an `env` argument list), capturing
// both outputs.
ProcessRun RunProgram(const std::string& environment, const std::string& program, const std::string& args) {
    return kovo::testing::RunShell("env " + environment + " " + kovo::testing::ProgramInWorkingFolder(program) + " " +
                                   args);
}

// No display of any kind, and the window system left to its default.
const std::string kNoDisplay = "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";

TEST(AppProcess, VersionAndHelpNeedNoDisplay) {
    ProcessRun r = RunProgram(kNoDisplay, "kovo", "--version");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "KOVO " KOVO_VERSION "\n");
    r = RunProgram(kNoDisplay, "kovo", "--help");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("--version"), std::string::npos) << r.out;
    r = RunProgram(kNoDisplay, "kovo", "-h");
    EXPECT_EQ(r.status, 0) << r.err;
    r = RunProgram(kNoDisplay, "kovo", "--no-such-option --help");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no-such-option"), std::string::npos) << r.err;
}

// Under cron or su there is no XDG_RUNTIME_DIR; the chart is drawn without a word on
// standard error, and the private folder made for it is gone afterwards.
TEST(AppProcess, AChartWithoutARuntimeFolderIsDrawnQuietly) {
    const kovo::testing::TempFolder folder("kovo-app");
    const fs::path tmp = folder.Path();
    const fs::path svg = tmp / "chart.svg";
    const ProcessRun r =
        RunProgram("-u XDG_RUNTIME_DIR -u QT_QPA_PLATFORM TMPDIR='" + tmp.string() + "'", "kovo-report",
            "chart transits --from 2026-01-01 --to 2026-06-30 --tz GMT -o '" + svg.string() + "'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(fs::exists(svg));
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp), fs::directory_iterator()), 1) << "only the chart is left";
}

}  // namespace
