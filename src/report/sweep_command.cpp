#include "report/sweep_command.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iterator>

#include "astro/pluto.h"
#include "backtest/price_series.h"
#include "export/sweep_export.h"
#include "report/run_output.h"
#include "report/sweep_options.h"
#include "sweep/sweep_merge.h"
#include "sweep/sweep_run.h"
#include "util/input_file.h"

namespace kovo::report {

namespace {

constexpr int kUsageError = 2;
// A century of 72 pairs both ways is some 10 MB of JSON; a file far beyond that is no sweep.
constexpr std::uintmax_t kMaxSweepBytes = 1ull << 30;

// Set by Ctrl-C while a sweep runs; the workers read it between steps.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

extern "C" void OnInterrupt(int) { interrupted.store(true); }

// Ctrl-C stops the sweep instead of ending the program, from construction to
// destruction; the previous handling is restored afterwards, so that the file writers'
// own cleanup on a signal applies while the results are written.
class InterruptScope {
public:
    InterruptScope() {
        interrupted.store(false);
        previous_ = std::signal(SIGINT, OnInterrupt);
    }
    ~InterruptScope() { std::signal(SIGINT, previous_ == SIG_ERR ? SIG_DFL : previous_); }
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

private:
    void (*previous_)(int) = SIG_DFL;
};

std::string Clock(double seconds) {
    const long long whole = static_cast<long long>(seconds + 0.5);
    const long long h = whole / 3600;
    const long long m = whole / 60 % 60;
    const long long s = whole % 60;
    char text[32];
    if (h > 0) std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", h, m, s);
    else std::snprintf(text, sizeof text, "%lld:%02lld", m, s);
    return text;
}

// The progress line on a terminal: units done, elapsed, the time left at the pace so far.
class ProgressLine {
public:
    ProgressLine(std::ostream& errors, bool shown, const char* what) : errors_(errors), shown_(shown), what_(what) {}

    void Done(std::size_t done, std::size_t total) {
        if (!shown_ || total == 0) return;
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
        const double left = done == 0 ? 0 : elapsed / static_cast<double>(done) * static_cast<double>(total - done);
        std::string line = "Sweep: " + std::to_string(done) + " of " + std::to_string(total) + " " + what_ +
                           " done, " + Clock(elapsed) + " elapsed";
        if (done > 0 && done < total) line += ", about " + Clock(left) + " left";
        const std::size_t width = line.size();
        if (line.size() < drawn_) line += std::string(drawn_ - line.size(), ' ');
        drawn_ = width;
        errors_ << "\r" << line << std::flush;
    }
    void Clear() {
        if (drawn_ > 0) errors_ << "\r" << std::string(drawn_, ' ') << "\r" << std::flush;
        drawn_ = 0;
    }

private:
    std::ostream& errors_;
    bool shown_;
    const char* what_;
    std::size_t drawn_ = 0;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

std::string Render(const sweep::SweepResult& result, SweepFormat format) {
    switch (format) {
        case SweepFormat::Csv: return exporting::SweepCsv(result);
        case SweepFormat::Json: return exporting::SweepJson(result);
        case SweepFormat::Text: break;
    }
    return exporting::SweepText(result);
}

// Writes the periods (when asked) and then the table, each complete or not at all.
int Deliver(const sweep::SweepResult& result, const SweepOptions& o, std::ostream& out, std::ostream& errors) {
    if (!o.periodsPath.empty()) {
        const std::string periods = PeriodsAsJsonLines(o.periodsPath) ? exporting::SweepPeriodsJsonLines(result)
                                                                     : exporting::SweepPeriodsCsv(result);
        if (WriteWholeFile(o.periodsPath, periods, errors) != 0) return 1;
    }
    return DeliverText(o.outputPath, Render(result, o.format), out, errors);
}

int Sweep(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors, bool errorsIsTerminal) {
    SweepOptions o;
    if (const std::string problem = ParseSweepOptions(args, o); !problem.empty()) {
        errors << "kovo-report: " << problem << "\n\n" << SweepUsageText("sweep");
        return kUsageError;
    }
    if (o.help) {
        out << SweepUsageText("sweep");
        return 0;
    }
    const backtest::PriceSeriesLoad load = backtest::ReadPriceSeriesFile(o.pricesPath);
    if (!load.errorText.empty()) {
        errors << "kovo-report: " << load.errorText << "\n";
        return 1;
    }
    const auto loaded = astro::LoadPlutoFiles();
    o.request.pluto = {.available = loaded.ok, .reason = loaded.reason};

    const std::vector<sweep::SweepUnit> units = sweep::UnitsOf(o.request);
    const bool pairsOnly = std::all_of(units.begin(), units.end(),
                                       [](const sweep::SweepUnit& u) { return u.kind == sweep::UnitKind::Pair; });
    ProgressLine progress(errors, errorsIsTerminal, pairsOnly ? "pairs" : "pairs and rule sets");
    progress.Done(0, units.size());
    sweep::SweepResult result;
    {
        const InterruptScope scope;
        const sweep::SweepControl control{
            .stop = &interrupted,
            .unitDone = [&](std::size_t done, std::size_t total) { progress.Done(done, total); },
            .keepPeriods = !o.periodsPath.empty()};
        result = sweep::RunSweep(o.request, load.series, control);
        progress.Clear();
        if (interrupted.load()) {
            errors << "kovo-report: the sweep was interrupted; nothing was written\n";
            return kInterruptedStatus;
        }
    }
    if (result.outcome != util::RunOutcome::Completed) {
        errors << "kovo-report: " << result.refusal << "\n";
        return 1;
    }
    return Deliver(result, o, out, errors);
}

int Merge(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors) {
    SweepOptions o;
    std::vector<std::string> files;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            out << SweepUsageText("sweep-merge");
            return 0;
        }
        if (a == "-o" || a == "--format") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                errors << "kovo-report: option '" << a << "' needs a value\n\n" << SweepUsageText("sweep-merge");
                return kUsageError;
            }
            const std::string& value = args[++i];
            if (a == "-o") {
                o.outputPath = value;
            } else if (value == "text" || value == "csv" || value == "json") {
                o.format = value == "text" ? SweepFormat::Text : value == "csv" ? SweepFormat::Csv : SweepFormat::Json;
            } else {
                errors << "kovo-report: --format takes text, csv or json\n\n" << SweepUsageText("sweep-merge");
                return kUsageError;
            }
        } else if (a.rfind("-", 0) == 0 && a.size() > 1) {
            errors << "kovo-report: unknown option '" << a << "'\n\n" << SweepUsageText("sweep-merge");
            return kUsageError;
        } else {
            files.push_back(a);
        }
    }
    if (files.empty()) {
        errors << "kovo-report: sweep-merge needs the JSON files of the sweeps to merge\n\n"
               << SweepUsageText("sweep-merge");
        return kUsageError;
    }
    for (const std::string& file : files)
        if (!o.outputPath.empty() && util::IdentityOf(file).Known() && util::IdentityOf(file) == util::IdentityOf(o.outputPath)) {
            errors << "kovo-report: -o names " << file << ", which would be lost\n";
            return kUsageError;
        }
    std::vector<sweep::SweepResult> parts;
    for (const std::string& file : files) {
        util::InputFile input = util::OpenInputFile(file, kMaxSweepBytes);
        if (!input.errorText.empty()) {
            errors << "kovo-report: " << input.errorText << "\n";
            return 1;
        }
        const std::string text{std::istreambuf_iterator<char>(*input.stream), std::istreambuf_iterator<char>()};
        if (input.stream->bad()) {
            errors << "kovo-report: cannot read " << file << "\n";
            return 1;
        }
        auto part = exporting::ReadSweepJson(text);
        if (auto* why = std::get_if<std::string>(&part)) {
            errors << "kovo-report: " << file << ": " << *why << "\n";
            return 1;
        }
        parts.push_back(std::move(std::get<sweep::SweepResult>(part)));
    }
    auto merged = sweep::MergeSweeps(std::move(parts), files);
    if (auto* why = std::get_if<std::string>(&merged)) {
        errors << "kovo-report: " << *why << "\n";
        return 1;
    }
    return Deliver(std::get<sweep::SweepResult>(merged), o, out, errors);
}

}  // namespace

bool IsSweepCommand(const std::string& command) { return command == "sweep" || command == "sweep-merge"; }

std::string SweepUsageText(const std::string& command) {
    if (command == "sweep-merge")
        return "usage: kovo-report sweep-merge FILE.json... [--format text|csv|json] [-o PATH]\n\n"
               "Merges the JSON results of sweeps of the same prices and settings run over different\n"
               "pairs (kovo-report sweep --pairs LIST --format json) into the result of one sweep over\n"
               "all their pairs: the rows are kept as they are, the q-values are recomputed over the\n"
               "merged rows and the rows ranked again. A pair may be in one file only; a body's cycles\n"
               "and the Moon's phases in several files are taken once.\n\n"
               "options:\n"
               "  --format FORMAT     text (default), csv or json\n"
               "  -o PATH             write to PATH (complete or not at all) instead of standard output\n";
    return "usage: kovo-report sweep --prices FILE.csv [OPTIONS]\n\n"
           "Backtests every pair's aspects at three orbs against the closes of FILE.csv, one rule per\n"
           "pair, aspect, orb and direction, with every figure of the backtest and its significance,\n"
           "and ranks them by the Benjamini-Hochberg q-value over the whole sweep, then by p.\n"
           "Each rule's figures and seeds are those of the single backtest of its pair.\n\n"
           "options:\n"
           "  --prices FILE.csv   the daily closes (as for backtest)\n"
           "  --from YYYY-MM-DD   first day (default the first close)\n"
           "  --to YYYY-MM-DD     last day (default the last close)\n"
           "  --pairs PAIRS       geo (the Sun and Mercury ... Pluto, 36 pairs), helio (the Earth and\n"
           "                      Mercury ... Pluto, 36), all (both, the default) or a list such as\n"
           "                      Mars-Jupiter,Jupiter-Saturn/helio,Sun-Moon\n"
           "  --aspects LIST      con,opp,sqr,tri,sxt,ssx,qui or all (default all)\n"
           "  --orbs O,M,I        outer, middle and inner orb in whole degrees (default 10,5,2)\n"
           "  --direction SIDE    long (default), short or both\n"
           "  --events LIST       aspects (default), stations, ingresses, phases: stations add the\n"
           "                      retrograde-cycle rules of every body of the pairs, ingresses the\n"
           "                      ingress rule, phases the Moon's phase rules\n"
           "  --days-after N      trading days a station or ingress rule holds (default 5)\n"
           "  --days-around N     trading days either side of a lunar phase (default 3)\n"
           "  --holdout DATE      also evaluate every rule before DATE and from DATE on\n"
           "  --permutations N    circular shifts and bootstrap resamples per rule (default 10000)\n"
           "  --seed S            the seed of those draws (default 1)\n"
           "  --cost-bp N         costs in basis points on every entry and exit (default 0)\n"
           "  --jobs N            worker threads (default: the machine's cores); the output is the\n"
           "                      same for any number\n"
           "  --format FORMAT     text (default), csv or json (json merges with sweep-merge)\n"
           "  -o PATH             write to PATH (complete or not at all) instead of standard output\n"
           "  --periods-out PATH  also write every in-orb period found (pair, centricity, aspect, orb,\n"
           "                      entry and exit dates, exact UTC) as CSV, or as JSON Lines when PATH\n"
           "                      ends in .jsonl, .ndjson or .json\n\n"
           "On a terminal a progress line is drawn on standard error. Ctrl-C stops the workers and\n"
           "writes nothing (exit status 130).\n";
}

int RunSweepCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors,
                    bool errorsIsTerminal) {
    if (!args.empty() && args[0] == "sweep-merge") return Merge(args, out, errors);
    return Sweep(args, out, errors, errorsIsTerminal);
}

}  // namespace kovo::report
