#!/usr/bin/env python3
"""kovo-report backtest's significance figures recomputed from its own trades.

Writes a seeded random walk of weekday closes, runs `kovo-report backtest --format json
--trades ROW` for a few rows, and recomputes from the closes and the listed trades,
independently of the C++ code: the baseline over every start day, the excess, the
circular-shift p-value and the bootstrap interval (with a Python implementation of the
64-bit Mersenne Twister, SplitMix64 and FNV-1a written from their published
definitions), the Benjamini-Hochberg q-values of the run (statsmodels), the series' mean
return of each event-study horizon, and the volatility and Sharpe ratio of the daily
equity (numpy).

usage: check_backtest.py KOVO_REPORT WORK_FOLDER
Exit 0 passed, 1 failed, 77 skipped (numpy or statsmodels missing and CI not set).
"""
import json
import math
import os
import random
import subprocess
import sys

SKIP = 77
MASK = (1 << 64) - 1
GOLDEN = 0x9E3779B97F4A7C15
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def close(a, b, tolerance, what):
    if a is None or b is None:
        check(a is None and b is None, f"{what}: {a} against {b}")
        return
    check(abs(a - b) <= tolerance * max(1.0, abs(a), abs(b)), f"{what}: {a!r} against {b!r}")


class MT19937_64:
    """std::mt19937_64: w=64, n=312, m=156, r=31, a=0xB5026F5AA96619E9, u=29, d=0x5555555555555555,
    s=17, b=0x71D67FFFEDA60000, t=37, c=0xFFF7EEE000000000, l=43, f=6364136223846793005."""

    def __init__(self, seed):
        self.mt = [0] * 312
        self.mt[0] = seed & MASK
        for i in range(1, 312):
            self.mt[i] = (6364136223846793005 * (self.mt[i - 1] ^ (self.mt[i - 1] >> 62)) + i) & MASK
        self.index = 312

    def next(self):
        if self.index >= 312:
            for i in range(312):
                x = (self.mt[i] & 0xFFFFFFFF80000000) | (self.mt[(i + 1) % 312] & 0x7FFFFFFF)
                xa = x >> 1
                if x & 1:
                    xa ^= 0xB5026F5AA96619E9
                self.mt[i] = self.mt[(i + 156) % 312] ^ xa
            self.index = 0
        y = self.mt[self.index]
        self.index += 1
        y ^= (y >> 29) & 0x5555555555555555
        y ^= (y << 17) & 0x71D67FFFEDA60000
        y ^= (y << 37) & 0xFFF7EEE000000000
        y ^= y >> 43
        return y & MASK

    def below(self, bound):
        limit = (1 << 64) - (1 << 64) % bound
        while True:
            x = self.next()
            if x < limit:
                return x % bound


def splitmix(x):
    z = (x + GOLDEN) & MASK
    z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & MASK
    z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & MASK
    return z ^ (z >> 31)


def fnv1a(text):
    h = 0xCBF29CE484222325
    for byte in text.encode():
        h = ((h ^ byte) * 0x100000001B3) & MASK
    return h


def stream_seed(run_seed, identity, purpose):
    return splitmix(splitmix((run_seed + purpose * GOLDEN) & MASK) ^ fnv1a(identity))


def write_walk(path):
    rng = random.Random(20071)
    import datetime
    day = datetime.date(2001, 1, 1)
    close_ = 1000.0
    rows = []
    while day.year < 2011:
        if day.weekday() < 5:
            close_ *= math.exp(rng.gauss(0.0002, 0.011))
            rows.append((day.isoformat(), f"{close_:.2f}"))
        day += datetime.timedelta(days=1)
    with open(path, "w") as f:
        f.write("Date,Close\n" + "".join(f"{d},{c}\n" for d, c in rows))
    return [d for d, _ in rows], [float(c) for _, c in rows]


def run(report, prices, extra):
    args = [report, "backtest", "--prices", prices, "--first", "Mars", "--second", "Jupiter", "--format", "json",
            "--permutations", "2000", "--seed", "77"] + extra
    done = subprocess.run(args, capture_output=True, text=True)
    if done.returncode != 0:
        print(done.stderr)
        sys.exit(1)
    return json.loads(done.stdout)


def check_row(doc, dates, closes, row, cost):
    trades = doc["trades"]["list"]
    index = {d: i for i, d in enumerate(dates)}
    holds = [(index[t["entryDate"]], index[t["exitDate"]]) for t in trades]
    sign = 1.0
    net = [(1 - cost) * (closes[e] / closes[b]) * (1 - cost) - 1 for b, e in holds]
    for t, r in zip(trades, net):
        close(t["return"], r, 1e-9, f"{row}: trade return")
    n = len(closes)
    # Baseline: every start day of each hold length.
    means, hits = [], []
    for b, e in holds:
        length = e - b
        starts = range(n - length)
        means.append(sum(closes[s + length] / closes[s] - 1 for s in starts) / len(starts))
        hits.append(sum(1 for s in starts if closes[s + length] > closes[s]) / len(starts))
    base = (1 - cost) * (1 + sum(means) / len(means)) * (1 - cost) - 1
    close(doc["strategy"]["baselineMeanPct"], 100 * base, 1e-8, f"{row}: baseline mean")
    close(doc["strategy"]["baselineHitPct"], 100 * sum(hits) / len(hits), 1e-8, f"{row}: baseline hit rate")
    close(doc["strategy"]["excessPct"], 100 * (sum(net) / len(net) - base), 1e-8, f"{row}: excess")
    # Circular shifts: the daily log returns read as a circle of n - 1 steps.
    steps = n - 1
    x = [math.log(closes[i + 1] / closes[i]) for i in range(steps)]
    identity = doc["identity"]
    gen = MT19937_64(stream_seed(77, identity, 1))
    observed = sum(sum(x[b:e]) for b, e in holds) * sign
    beat = 0
    for _ in range(2000):
        k = 1 + gen.below(steps - 1)
        total = sum(sum(x[(s + k) % steps] for s in range(b, e)) for b, e in holds) * sign
        beat += total >= observed - 1e-12 * len(holds)
    # The JSON writes 10 significant digits: the count of shifts behind p is exact.
    check(round(doc["strategy"]["pValue"] * 2001) == 1 + beat, f"{row}: p-value {doc['strategy']['pValue']}, "
          f"{beat} of 2000 shifts at least as good")
    # Bootstrap percentile interval of the mean trade return.
    import numpy as np
    gen = MT19937_64(stream_seed(77, identity, 2))
    resampled = []
    for _ in range(2000):
        draws = [net[gen.below(len(net))] for _ in range(len(net))]
        total = 0.0
        for r in draws:
            total += r
        resampled.append(total / len(net))
    low, high = np.percentile(resampled, [2.5, 97.5])
    close(doc["strategy"]["ciLowPct"], 100 * float(low), 1e-8, f"{row}: interval low")
    close(doc["strategy"]["ciHighPct"], 100 * float(high), 1e-8, f"{row}: interval high")
    # Daily equity: volatility and Sharpe over every step of the range.
    equity = [1.0] * n
    held = 1.0
    k = 1
    for (b, e), r in zip(holds, net):
        while k <= b:
            equity[k] = held
            k += 1
        start = equity[b] * (1 - cost)
        for k in range(b + 1, e + 1):
            equity[k] = start * (closes[k] / closes[b])
        equity[e] *= 1 - cost
        held = equity[e]
        k = e + 1
    while k < n:
        equity[k] = held
        k += 1
    daily = np.array([equity[i + 1] / equity[i] - 1 for i in range(n - 1)])
    close(doc["strategy"]["annualisedVolatility"], float(np.std(daily, ddof=1) * math.sqrt(252)), 1e-8,
          f"{row}: volatility")
    close(doc["strategy"]["sharpe"], float(daily.mean() / np.std(daily, ddof=1) * math.sqrt(252)), 1e-8,
          f"{row}: Sharpe")
    print(f"{row}: {len(holds)} trades, excess {doc['strategy']['excessPct']:.6f} %, p {doc['strategy']['pValue']}, "
          f"interval {doc['strategy']['ciLowPct']:.6f} .. {doc['strategy']['ciHighPct']:.6f} %: recomputed")


def main():
    try:
        import numpy  # noqa: F401
        from statsmodels.stats.multitest import multipletests
    except ImportError as error:
        print(f"cannot import {error.name}: install python3-numpy and python3-statsmodels (scripts/setup.sh --tests)")
        sys.exit(1 if os.environ.get("CI", "") not in ("", "0", "false") else SKIP)
    report, folder = sys.argv[1], sys.argv[2]
    os.makedirs(folder, exist_ok=True)
    prices = os.path.join(folder, "walk.csv")
    dates, closes = write_walk(prices)
    aspects = ["Conjunction", "Opposition", "Square", "Trine", "Sextile", "Semisextile", "Quincunx"]
    abbreviations = ["con", "opp", "sqr", "tri", "sxt", "ssx", "qui"]
    for aspect, orb, cost in [(3, 10, 0.0), (4, 5, 0.0), (1, 10, 12.5)]:
        doc = run(report, prices, ["--trades", f"{abbreviations[aspect - 1]}:{orb}", "--cost-bp", str(cost)])
        doc["strategy"] = next(s for s in doc["strategies"] if s["aspect"] == aspects[aspect - 1]
                               and s["orbDegrees"] == orb)
        doc["identity"] = f"Mars-Jupiter geo long {aspect} {orb}"
        check_row(doc, dates, closes, f"{aspects[aspect - 1]} {orb}°, {cost} bp", cost / 10000)
    # q-values of the whole run and the series' mean h-day returns of the event study.
    p = [s["pValue"] for s in doc["strategies"] if s["pValue"] is not None]
    q = multipletests(p, method="fdr_bh")[1]
    for got, want in zip([s["qValue"] for s in doc["strategies"] if s["pValue"] is not None], q):
        close(got, float(want), 1e-9, "q-value")
    check(doc["rulesTested"] == len(p), f"rules tested {doc['rulesTested']} against {len(p)}")
    n = len(closes)
    for row in doc["eventStudy"]:
        for h in row["horizons"]:
            d = h["tradingDays"]
            mean = sum(closes[b + d] / closes[b] - 1 for b in range(n - d)) / (n - d)
            if h["count"]:
                close(h["seriesMean"], mean, 1e-9, f"{row['aspect']} +{d} series mean")
    print(f"q-values of {len(p)} rules against statsmodels; event-study series means recomputed")
    for failure in failures[:20]:
        print("FAILED:", failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
