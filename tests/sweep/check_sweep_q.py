#!/usr/bin/env python3
"""kovo-report sweep's q-values recomputed with statsmodels, and its ranking checked.

Writes a seeded random walk of weekday closes, runs `kovo-report sweep --format json`
over a few pairs with cycles, the Moon's phases, both sides and a hold-out, and turns
that JSON into CSV with `kovo-report sweep-merge` (so both describe one run). Checks:
the CSV's q, before_q and after_q columns equal statsmodels'
multipletests(p, method="fdr_bh") over the JSON's unrounded p-values of all rows to 4
decimals (the JSON's to 1e-12); rules without a p-value have no q; the rows are sorted
by q, then p, rules without a p-value last; the heading's counts agree.

usage: check_sweep_q.py KOVO_REPORT WORK_FOLDER
Exit 0 passed, 1 failed, 77 skipped (statsmodels missing and CI not set).
"""
import csv
import datetime
import io
import json
import math
import os
import random
import subprocess
import sys

SKIP = 77
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def write_walk(path):
    rng = random.Random(3107)
    day = datetime.date(2015, 1, 1)
    close = 100.0
    with open(path, "w", encoding="utf-8") as out:
        out.write("Date,Close\n")
        while day <= datetime.date(2019, 12, 31):
            if day.weekday() < 5:
                out.write(f"{day.isoformat()},{close:.4f}\n")
                close *= math.exp(rng.gauss(0.0002, 0.011))
            day += datetime.timedelta(days=1)


def run(args):
    done = subprocess.run(args, capture_output=True, text=True)
    if done.returncode != 0:
        print(" ".join(args), "exited with", done.returncode, done.stderr)
        sys.exit(1)
    return done.stdout


def check_family(rows, table, p_key, q_key, multipletests):
    """BH over every row's p of the family; the CSV's rounded q and the JSON's exact q."""
    tested = [i for i, row in enumerate(rows) if row[p_key] is not None]
    check(len(tested) > 100, f"{p_key}: only {len(tested)} rules with a p-value")
    expected = multipletests([rows[i][p_key] for i in tested], method="fdr_bh")[1]
    for i, want in zip(tested, expected):
        got = rows[i][q_key]
        check(got is not None and abs(got - want) <= 1e-12, f"row {i + 1} {q_key}: {got} against {want}")
        text = table[i][q_key]
        check(text == f"{want:.4f}" or abs(float(text) - want) <= 0.5e-4 + 1e-12,
              f"row {i + 1} CSV {q_key}: {text} against {want:.6f}")
    for i, row in enumerate(rows):
        if row[p_key] is None:
            check(row[q_key] is None and table[i][q_key] == "", f"row {i + 1}: a {q_key} without a p-value")
    return len(tested), sum(1 for want in expected if want < 0.10)


def main():
    try:
        from statsmodels.stats.multitest import multipletests
    except ImportError as error:
        print(f"cannot import {error.name}: install python3-statsmodels (scripts/setup.sh --tests)")
        sys.exit(1 if os.environ.get("CI", "") not in ("", "0", "false") else SKIP)
    report, folder = sys.argv[1], sys.argv[2]
    os.makedirs(folder, exist_ok=True)
    prices = os.path.join(folder, "walk.csv")
    write_walk(prices)
    swept = os.path.join(folder, "sweep.json")
    run([report, "sweep", "--prices", prices, "--pairs", "Mars-Jupiter,Sun-Venus,Earth-Saturn/helio,Mercury-Mars/helio",
         "--events", "aspects,stations,phases", "--direction", "both", "--holdout", "2018-01-01",
         "--permutations", "199", "--format", "json", "-o", swept])
    with open(swept, encoding="utf-8") as f:
        doc = json.load(f)
    rows = doc["rows"]
    table = list(csv.DictReader(io.StringIO(run([report, "sweep-merge", swept, "--format", "csv"]))))
    check(len(table) == len(rows), f"{len(table)} CSV rows against {len(rows)} in the JSON")
    for i, (row, line) in enumerate(zip(rows, table)):
        check(line["pair"] == row["pair"] and line["side"] == row["side"] and line["rule"] == row["rule"],
              f"row {i + 1}: the CSV and the JSON differ")
        check(line["p"] == ("" if row["p"] is None else f"{row['p']:.4f}"), f"row {i + 1}: p {line['p']}")
    tested, passing = check_family(rows, table, "p", "q", multipletests)
    check_family(rows, table, "before_p", "before_q", multipletests)
    check_family(rows, table, "after_p", "after_q", multipletests)
    check(doc["rulesTested"] == tested and doc["rulesPassing"] == passing,
          f"heading counts {doc['rulesTested']}/{doc['rulesPassing']} against {tested}/{passing}")
    # Ranked by q, then p; rules without a p-value last.
    keys = [(row["q"] is None, row["q"] or 0, row["p"] is None, row["p"] or 0) for row in rows]
    for i in range(1, len(keys)):
        check(keys[i - 1] <= keys[i], f"rows {i} and {i + 1} out of order: {keys[i - 1]} then {keys[i]}")
    check([int(line["rank"]) for line in table] == list(range(1, len(table) + 1)), "ranks not 1, 2, ...")
    print(f"q-values of {len(rows)} rules ({tested} with a p-value, {passing} passing) against statsmodels")
    for failure in failures[:20]:
        print("FAILED:", failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
