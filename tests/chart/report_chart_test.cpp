// kovo-report chart as a process: the file is written for a run and not for bad input.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "chart_test_support.h"
#include "report/cli_options.h"
#include "support/process_run.h"
#include "support/temp_folder.h"

namespace kovo::chart {
namespace {

namespace fs = std::filesystem;

using kovo::testing::ProcessRun;
using kovo::testing::ReadAll;

ProcessRun Report(const std::string& args) {
    return kovo::testing::RunShell(kovo::testing::ProgramInWorkingFolder("kovo-report") + " " + args);
}

class ReportChart : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    const kovo::testing::TempFolder scratch_{"kovo-report-chart"};
    const fs::path dir_ = scratch_.Path();
};

TEST_F(ReportChart, DrawsTheRunAsSvgOrPngOfTheAskedSize) {
    ProcessRun r = Report("chart transits --from 2026-01-01 --to 2026-12-31 --tz GMT -o '" + Path("mj.svg") + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    QFile svg(QString::fromStdString(Path("mj.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const testing::SvgShapes shapes = testing::ReadSvg(svg.readAll());
    EXPECT_TRUE(shapes.wellFormed);
    EXPECT_EQ(shapes.byId.count("period-0-0-outer"), 1u);
    EXPECT_EQ(shapes.WithClass("lane").size(), 7u);

    r = Report("chart all --from 2026-01-01 --to 2026-03-31 --tz GMT --aspects con,opp --size 800x1000 -o '" +
               Path("all.png") + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(QImage(QString::fromStdString(Path("all.png"))).size(), QSize(800, 1000));

    r = Report("chart search --from 2026-01-01 --aspect trine -o '" + Path("search.svg") + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(Path("search.svg")));
}

TEST_F(ReportChart, CyclesAddTheBodiesLanesOnlyToTheChart) {
    const std::string run = "chart transits --first Mercury --second Venus --from 2024-01-01 --to 2024-12-31 --tz GMT";
    ProcessRun r = Report(run + " -o '" + Path("plain.svg") + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    r = Report(run + " --cycles -o '" + Path("cycles.svg") + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    QFile plain(QString::fromStdString(Path("plain.svg")));
    QFile cycles(QString::fromStdString(Path("cycles.svg")));
    ASSERT_TRUE(plain.open(QIODevice::ReadOnly) && cycles.open(QIODevice::ReadOnly));
    EXPECT_TRUE(testing::ReadSvg(plain.readAll()).WithClass("cycle-lane").empty());
    const testing::SvgShapes shapes = testing::ReadSvg(cycles.readAll());
    EXPECT_EQ(shapes.WithClass("cycle-lane").size(), 2u);
    // Mercury's seven stations of 2024 (its December 2023 spell ended on 2 January) and Venus's none.
    EXPECT_EQ(shapes.WithClass("station").size(), 7u);
    EXPECT_TRUE(shapes.HasText("Venus retrograde, signs"));
    // A flag of the chart alone.
    r = Report("transits --cycles --from 2024-01-01 --to 2024-12-31");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("unknown option '--cycles'"), std::string::npos) << r.err;
    EXPECT_NE(report::UsageText("chart").find("--cycles"), std::string::npos);
}

TEST_F(ReportChart, BadOptionsAndRefusedRunsWriteNoFile) {
    ProcessRun r = Report("chart --from 2026-01-01 --to 2026-12-31");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("chart needs -o FILE.svg or -o FILE.png"), std::string::npos) << r.err;
    r = Report("chart -o '" + Path("x.jpg") + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(".svg or .png"), std::string::npos) << r.err;
    r = Report("chart --size 50x50 -o '" + Path("x.png") + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--size takes"), std::string::npos) << r.err;
    // --size is the chart's alone (-o of transits writes the report text).
    r = Report("transits --size 800x600 -o '" + Path("x.png") + "'");
    EXPECT_EQ(r.status, 2);
    // A refused run: the planet with itself.
    r = Report("chart --first Jupiter --second Jupiter --from 2026-01-01 --to 2026-12-31 -o '" + Path("x.png") + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Transit of a planet to itself is not possible."), std::string::npos) << r.err;
    // A file that cannot be written leaves the old one.
    std::ofstream(Path("old.svg")) << "old";
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    r = Report("chart --from 2026-01-01 --to 2026-03-31 --tz GMT -o '" + Path("old.svg") + "'");
    fs::permissions(dir_, fs::perms::owner_all);
    if (::geteuid() != 0) {
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("kovo-report: cannot write the chart: "), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadAll(Path("old.svg")), r.status == 0 ? ReadAll(Path("old.svg")) : "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST(ReportChartOptions, TheRunWordAndTheChartOptions) {
    auto parsed = report::ParseCommandLine({"chart", "all", "--keep", "second", "-o", "a.SVG", "--size", "640x480"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.command, report::Command::Chart);
    EXPECT_EQ(parsed.options.chartOf, report::Command::All);
    EXPECT_TRUE(parsed.options.keepSecond);
    EXPECT_EQ(parsed.options.chartPath, "a.SVG");
    EXPECT_EQ(parsed.options.chartWidth, 640);
    EXPECT_EQ(parsed.options.chartHeight, 480);
    parsed = report::ParseCommandLine({"chart", "-o", "a.png"});
    EXPECT_EQ(parsed.options.chartOf, report::Command::Transits);
    EXPECT_EQ(report::ParseCommandLine({"chart", "-o", "a.png", "--size", "640x"}).error.substr(0, 6), "--size");
    EXPECT_EQ(report::ParseCommandLine({"chart", "--help"}).options.helpTopic, "chart");
    EXPECT_NE(report::UsageText("chart").find("kovo-report chart"), std::string::npos);
}

}  // namespace
}  // namespace kovo::chart
