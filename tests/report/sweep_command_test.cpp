// kovo-report sweep and sweep-merge: options, price files, the periods file, the merge of
// files, and as a process: Ctrl-C and the progress line.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "calendar/calendar_services.h"
#include "report/sweep_command.h"
#include "report_result.h"
#include "support/process_run.h"
#include "support/temp_folder.h"
#include "sweep/sweep_support.h"

extern char** environ;

namespace {

using kovo::testing::ReadAll;
using kovo::testing::Report;
using kovo::testing::ReportResult;

class SweepCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kovo::testing::InitModelOnce(); }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = scratch_.File(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // The weekday walk of the years as a CSV of closes.
    std::string Prices(int firstYear, int lastYear, const std::string& name = "prices.csv") {
        std::string text = "Date,Close\n";
        for (const auto& point : kovo::testing::WeekdayWalk(firstYear, lastYear, 4).points)
            text += kovo::calendar::FormatDayNumberIso(point.day) + "," + std::to_string(point.close) + "\n";
        return Write(name, text);
    }

    const kovo::testing::TempFolder scratch_{"kovo-sweep-command"};
};

TEST_F(SweepCommand, BadOptionsGiveTheUsageAndStatusTwo) {
    const std::string prices = Prices(2020, 2020);
    const std::string before = ReadAll(prices);
    const std::string samePrices = (scratch_.Path() / "." / "prices.csv").string();
    for (const auto& [extra, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--jobs", "0"}, "--jobs takes a number of threads from 1 to 256"},
             {{"--direction", "sideways"}, "--direction takes long, short or both"},
             {{"--pairs", "Mars-Mars"}, "--pairs: \"Mars-Mars\": a pair is two different bodies."},
             {{"-o", samePrices}, "-o names the --prices file, which would be lost"},
             {{"--periods-out", prices}, "--periods-out names the --prices file"},
             {{"-o", "x.csv", "--periods-out", "x.csv"}, "--periods-out and -o name the same file"},
             {{"--events", "stations", "--periods-out", "p.csv"}, "--events must include aspects"},
             {{"--events", "aspects,eclipses"}, "--events takes a list of aspects, stations"},
             {{"--format", "xml"}, "--format takes text, csv or json"},
             {{"--seed", "18446744073709551616"}, "--seed takes a whole number"},
             {{"--days-after", "0"}, "--days-after takes a whole number of trading days from 1 to 250"},
             {{"--from", "2020-06-01", "--to", "2020-05-31"}, "--from is after --to"},
             {{"--holdout", "2020-02-30"}, "--holdout 2020-02-30: the calendar has no such day"},
             {{"--first", "Mars"}, "unknown option '--first'"},
             {{"--seed"}, "option '--seed' needs a value"}}) {
        std::vector<std::string> args{"sweep", "--prices", prices};
        args.insert(args.end(), extra.begin(), extra.end());
        const ReportResult r = Report(args);
        EXPECT_EQ(r.status, 2) << extra[0];
        EXPECT_EQ(r.err.rfind("kovo-report: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("\n\nusage: kovo-report sweep --prices FILE.csv"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_NE(Report({"sweep", "--pairs", "geo"}).err.find("--prices FILE.csv is needed"), std::string::npos);
    EXPECT_EQ(ReadAll(prices), before);
    EXPECT_FALSE(std::filesystem::exists("x.csv"));
    EXPECT_FALSE(std::filesystem::exists("p.csv"));
}

TEST_F(SweepCommand, MissingOrBadPricesAndRefusedRangesGiveStatusOne) {
    const std::string missing = scratch_.File("none.csv");
    ReportResult r = Report({"sweep", "--prices", missing});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(missing), std::string::npos) << r.err;
    const std::string zero = Write("zero.csv", "Date,Close\n2020-03-02,5\n2020-03-03,0\n2020-03-04,6\n");
    r = Report({"sweep", "--prices", zero});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kovo-report: " + zero + ": line 3: a close of 0.00 is not positive\n");
    const std::string output = Write("kept.txt", "kept");
    r = Report({"sweep", "--prices", Prices(2020, 2020), "--pairs", "Mars-Jupiter", "--holdout", "2020-12-31", "-o", output});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kovo-report: The hold-out date 2020-12-31 leaves 261 closes before it and 1 from it on; each side "
                     "needs at least 2.\n");
    EXPECT_EQ(ReadAll(output), "kept");
}

// The rows of a CSV without its header.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST_F(SweepCommand, ThePeriodsFileIsCsvOrJsonLinesByItsExtension) {
    const std::string prices = Prices(2020, 2020);
    const std::string csv = scratch_.File("periods.csv");
    const std::string lines = scratch_.File("periods.NDJSON");
    const std::vector<std::string> run{"sweep", "--prices", prices, "--pairs", "Jupiter-Saturn,Earth-Venus/helio",
                                       "--permutations", "20", "--format", "csv"};
    auto with = [&run](std::vector<std::string> extra) {
        std::vector<std::string> args = run;
        args.insert(args.end(), extra.begin(), extra.end());
        return Report(args);
    };
    const ReportResult plain = with({});
    const ReportResult first = with({"--periods-out", csv});
    const ReportResult second = with({"--periods-out", lines, "--jobs", "2"});
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(first.out, plain.out);
    EXPECT_EQ(second.out, plain.out);

    const std::vector<std::string> rows = Lines(ReadAll(csv));
    const std::vector<std::string> objects = Lines(ReadAll(lines));
    ASSERT_GT(rows.size(), 10u);
    EXPECT_EQ(rows[0], "pair,centricity,aspect,orb_level,orb,entry_date,exit_date,exact_utc");
    ASSERT_EQ(objects.size() + 1, rows.size());
    // Each line of JSON holds the fields of its CSV row; the exact minutes as an array.
    const auto quoted = [](const std::string& field) { return field.empty() ? "null" : "\"" + field + "\""; };
    std::vector<std::string> greatConjunction;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        std::vector<std::string> f;
        std::istringstream fields(rows[i]);
        for (std::string field; std::getline(fields, field, ',');) f.push_back(field);
        f.resize(8);
        std::string exacts;
        std::istringstream minutes(f[7]);
        for (std::string minute; std::getline(minutes, minute, ';');) exacts += (exacts.empty() ? "\"" : ",\"") + minute + "\"";
        EXPECT_EQ(objects[i - 1], "{\"pair\":" + quoted(f[0]) + ",\"centricity\":" + quoted(f[1]) + ",\"aspect\":" +
                                      quoted(f[2]) + ",\"orb_level\":" + quoted(f[3]) + ",\"orb\":" + f[4] +
                                      ",\"entry_date\":" + quoted(f[5]) + ",\"exit_date\":" + quoted(f[6]) +
                                      ",\"exact_utc\":[" + exacts + "]}");
        if (rows[i].rfind("Jupiter-Saturn,geo,Conjunction,", 0) == 0 && !f[7].empty())
            greatConjunction.push_back(f[3] + " " + f[7].substr(0, 11));
    }
    // The great conjunction of 21 December 2020, geocentrically, in each orb.
    EXPECT_EQ(greatConjunction, (std::vector<std::string>{"outer 2020-12-21T", "middle 2020-12-21T", "inner 2020-12-21T"}));
    EXPECT_NE(ReadAll(csv).find("\nEarth-Venus,helio,"), std::string::npos);
}

TEST_F(SweepCommand, MergesTheJsonOfSweepsSplitByTheirPairs) {
    const std::string prices = Prices(2021, 2021);
    const std::vector<std::string> common{"--prices", prices, "--events", "aspects,stations", "--direction", "both",
                                          "--permutations", "30"};
    auto sweep = [&common](std::string pairs, std::vector<std::string> extra) {
        std::vector<std::string> args{"sweep", "--pairs", std::move(pairs)};
        args.insert(args.end(), common.begin(), common.end());
        args.insert(args.end(), extra.begin(), extra.end());
        return Report(args);
    };
    const std::string a = scratch_.File("a.json");
    const std::string b = scratch_.File("b.json");
    const std::string c = scratch_.File("c.json");
    ASSERT_EQ(sweep("Mars-Jupiter,Sun-Venus", {"--format", "json", "-o", a}).status, 0);
    ASSERT_EQ(sweep("Earth-Mars/helio", {"--format", "json", "-o", b}).status, 0);
    ASSERT_EQ(sweep("Earth-Mercury/helio", {"--format", "json", "-o", c, "--seed", "2"}).status, 0);
    const ReportResult one = sweep("Mars-Jupiter,Sun-Venus,Earth-Mars/helio", {"--format", "csv"});
    ReportResult merged = Report({"sweep-merge", a, b, "--format", "csv"});
    ASSERT_EQ(merged.status, 0) << merged.err;
    EXPECT_EQ(merged.out, one.out);
    merged = Report({"sweep-merge", a, b, "--format", "json"});
    EXPECT_TRUE(kovo::testing::SameText(merged.out, sweep("Mars-Jupiter,Sun-Venus,Earth-Mars/helio", {"--format", "json"}).out));

    merged = Report({"sweep-merge", a, b, c});
    EXPECT_EQ(merged.status, 1);
    EXPECT_EQ(merged.err, "kovo-report: " + c + " is a sweep of other settings than " + a +
                              " (they differ in their seed); only sweeps of the same prices and settings merge.\n");
    const std::string damaged = Write("damaged.json", ReadAll(a).substr(0, 100));
    merged = Report({"sweep-merge", a, damaged});
    EXPECT_EQ(merged.status, 1);
    EXPECT_EQ(merged.err.rfind("kovo-report: " + damaged + ": line 1: ", 0), 0u) << merged.err;
    std::string seed = ReadAll(a);
    seed.replace(seed.find("\"seed\":\"1\""), 10, "\"seed\":\"99999999999999999999\"");
    const std::string huge = Write("huge.json", seed);
    merged = Report({"sweep-merge", huge});
    EXPECT_EQ(merged.status, 1);
    EXPECT_EQ(merged.err, "kovo-report: " + huge + ": \"seed\" is a whole number from 0 to 18446744073709551615\n");
    const std::string kept = ReadAll(b);
    merged = Report({"sweep-merge", a, b, "-o", b});
    EXPECT_EQ(merged.status, 2);
    EXPECT_EQ(merged.err, "kovo-report: -o names " + b + ", which would be lost\n");
    EXPECT_EQ(ReadAll(b), kept);
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"sweep-merge"}, {"sweep-merge", a, "--jobs", "2"},
                                                {"sweep-merge", a, "--format", "xml"}, {"sweep-merge", a, "-o"}}) {
        merged = Report(bad);
        EXPECT_EQ(merged.status, 2) << bad.back();
        EXPECT_NE(merged.err.find("usage: kovo-report sweep-merge FILE.json"), std::string::npos) << merged.err;
    }
}

TEST_F(SweepCommand, AProgressLineIsDrawnOnlyOnATerminal) {
    const std::vector<std::string> args{"sweep", "--prices", Prices(2020, 2020), "--pairs", "Mars-Jupiter,Sun-Venus",
                                        "--events", "aspects,phases", "--permutations", "10", "--jobs", "1"};
    std::ostringstream out, err;
    ASSERT_EQ(kovo::report::RunSweepCommand(args, out, err, true), 0) << err.str();
    EXPECT_EQ(err.str().rfind("\rSweep: 0 of 3 pairs and rule sets done, 0:00 elapsed", 0), 0u) << err.str();
    EXPECT_NE(err.str().find("\rSweep: 3 of 3 pairs and rule sets done, "), std::string::npos) << err.str();
    EXPECT_EQ(err.str().back(), '\r');  // the line is cleared before the table is printed

    std::string line = kovo::testing::ProgramInWorkingFolder("kovo-report");
    for (const std::string& arg : args) line += " " + kovo::testing::ShellQuoted(arg);
    const kovo::testing::ProcessRun run = kovo::testing::RunShell(line);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(kovo::testing::SameText(run.out, out.str()));
}

// kovo-report started with its outputs in files and SIGINT at its default; the pid.
pid_t Start(const std::vector<std::string>& args, const std::string& out, const std::string& err) {
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    posix_spawnattr_setsigdefault(&attributes, &interrupt);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    const std::string program = (std::filesystem::current_path() / "kovo-report").string();
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program.c_str(), &files, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    return failed == 0 ? pid : -1;
}

// The exit status, or -1 when the program was killed; killed when it runs past `limit`.
int WaitFor(pid_t pid, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    int raw = 0;
    while (waitpid(pid, &raw, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, &raw, 0);
            ADD_FAILURE() << "still running after " << limit.count() << " s";
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// Whether the process has its own handler for SIGINT yet (the SigCgt mask of Linux's
// /proc/PID/status): kovo-report installs one only while the sweep runs.
bool CatchesInterrupt(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (SIGINT - 1) & 1) != 0;
    return false;
}

TEST_F(SweepCommand, CtrlCStopsTheSweepAndWritesNothing) {
    // Every pair over seventy years: far longer than the wait before the interrupt.
    const std::string prices = Prices(1950, 2019);
    const std::string table = Write("table.txt", "an earlier table");
    const std::string periods = Write("periods.csv", "earlier periods");
    const std::string out = scratch_.File("stdout.txt");
    const std::string err = scratch_.File("stderr.txt");
    const auto started = std::chrono::steady_clock::now();
    const pid_t pid = Start({"sweep", "--prices", prices, "--pairs", "all", "--permutations", "100", "--jobs", "2",
                             "-o", table, "--periods-out", periods},
                            out, err);
    ASSERT_GT(pid, 0);
    // Once the sweep has begun (its handler is in place, however slow the start), and a
    // little into it.
    for (int wait = 0; wait < 3000 && !CatchesInterrupt(pid); ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_EQ(kill(pid, SIGINT), 0);
    EXPECT_EQ(WaitFor(pid, std::chrono::seconds(120)), kovo::report::kInterruptedStatus);
    EXPECT_EQ(ReadAll(err), "kovo-report: the sweep was interrupted; nothing was written\n");
    EXPECT_EQ(ReadAll(out), "");
    EXPECT_EQ(ReadAll(table), "an earlier table");
    EXPECT_EQ(ReadAll(periods), "earlier periods");
    std::size_t left = 0;
    for (const auto& entry : std::filesystem::directory_iterator(scratch_.Path())) left += entry.is_regular_file();
    EXPECT_EQ(left, 5u);  // no temporary file beside the outputs
    RecordProperty("seconds", std::to_string(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()));
}

}  // namespace
