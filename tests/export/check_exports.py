#!/usr/bin/env python3
"""kovo-report's CSV, JSON and iCalendar files read back with independent parsers
(Python's csv and json modules, the icalendar package) and compared field by field
with the text report of the same run.

usage: check_exports.py KOVO_REPORT CASE [SHARED_DATA_FOLDER]
CASE: year, all, search, named, simulation, unwritable. Exit 0 passed, 1 failed, 77 skipped.
"""
import csv
import datetime as dt
import io
import json
import math
import os
import re
import subprocess
import sys
import tempfile

SKIP = 77
ABBREVIATIONS = {"conjunction": "con", "opposition": "opp", "square": "sqr", "trine": "tri", "sextile": "sxt",
                 "semisextile": "ssx", "quincunx": "qui"}
FULL_CIRCLE = 6.28318530717959
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def run(report, args, expect_status=0):
    done = subprocess.run([report] + args, capture_output=True)
    if done.returncode != expect_status:
        raise SystemExit(f"kovo-report {' '.join(args)} exited {done.returncode}: {done.stderr.decode()}")
    return done.stdout


def export(report, args, fmt, extra=()):
    """The document written with -o, and the same document on standard output."""
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "out." + fmt)
        run(report, args + ["--format", fmt, "-o", path] + list(extra))
        with open(path, "rb") as f:
            written = f.read()
    printed = run(report, args + ["--format", fmt] + list(extra))
    if fmt != "ics":  # DTSTAMP differs between the two runs
        check(written == printed, f"{fmt}: -o file and standard output differ")
    return written


# ---- the text report -----------------------------------------------------------------

def cell(line, start, end):
    return line[start:end].strip()


def parse_transit_report(text):
    """Blocks of (heading, periods); a period is a list of report lines as cells."""
    blocks = []
    lines = text.split("\n")
    i = 0
    while i < len(lines):
        if lines[i].startswith("-----") and i + 1 < len(lines) and not lines[i + 1].startswith("Aspect"):
            heading = lines[i + 1]
            i += 4  # rule, heading, column header, rule
            periods, aspect = [], ""
            while i < len(lines) and "|" in lines[i]:
                line = lines[i]
                row = {
                    "aspect": cell(line, 0, 12), "outer_start": cell(line, 14, 26),
                    "middle_start": cell(line, 26, 38), "inner_start": cell(line, 38, 50),
                    "minimum_at": cell(line, 52, 64), "inner_end": cell(line, 66, 78),
                    "middle_end": cell(line, 78, 90), "outer_end": cell(line, 90, 102),
                    "minimum": line[104:].strip(),
                }
                if row["aspect"] or row["outer_start"] or row["outer_end"]:
                    aspect = row["aspect"].lower() or aspect
                    periods.append({"aspect": aspect, "lines": []})
                periods[-1]["lines"].append(row)
                i += 1
            blocks.append((heading, periods))
        else:
            i += 1
    return blocks


def bare(date_cell):
    return date_cell.rstrip("r*")


def degrees_minutes(arcsec):
    """The report's degree text of a deviation (whole degrees, minutes half to even)."""
    deg = arcsec / 3600.0
    d = math.floor(deg + 0.00001)
    m = round((deg - d) * 60.0)
    if m == 60:
        d, m = d + 1, 0
    return f"{d}°{m}'"


def near_half_minute(arcsec):
    minutes = arcsec / 60.0
    return abs(minutes - round(minutes - 0.5) - 0.5) < 0.02


def expected_rows(period, offset_minutes, marks):
    """The CSV rows a report period stands for, as dictionaries of the checked fields."""
    lines = period["lines"]
    first = lines[0]

    def span(level):
        reached = [l for l in lines if l[level + "_start"] or l[level + "_end"]]
        if not reached:
            return "", ""
        return bare(reached[0][level + "_start"]), bare(reached[-1][level + "_end"])

    middle, inner = span("middle"), span("inner")
    base = {"aspect": period["aspect"], "outer_start": bare(first["outer_start"]),
            "middle_start": middle[0], "inner_start": inner[0], "inner_end": inner[1],
            "middle_end": middle[1], "outer_end": bare(first["outer_end"])}
    exact = [l for l in lines if "*" in l["minimum_at"]]
    base["exact_passes"] = str(len(exact))
    rows = []
    for l in exact:
        date = l["minimum_at"].split("*")[0]
        clock = l["minimum"].split(" ")[0]
        local = dt.datetime.fromisoformat(f"{date}T{clock}")
        # A named zone's offset is a function of the reading and its abbreviation.
        minutes = offset_minutes(local, l["minimum"]) if callable(offset_minutes) else offset_minutes
        utc = local - dt.timedelta(minutes=minutes)
        sign = "-" if minutes < 0 else "+"
        offset = f"{sign}{abs(minutes) // 60:02d}:{abs(minutes) % 60:02d}"
        rows.append(dict(base, exact_local=local.strftime("%Y-%m-%dT%H:%M") + offset,
                         exact_utc=utc.strftime("%Y-%m-%dT%H:%MZ"), minimum_date=date,
                         first_retrograde_at_exact=("true" if l["minimum_at"].endswith("r") else "false")
                         if marks else "", deviation=None))
    if not exact:
        minima = [l for l in lines if l["minimum_at"]]
        if not minima:  # cut by the range before any closest approach
            return [dict(base, exact_local="", exact_utc="", minimum_date="", first_retrograde_at_exact="",
                         deviation="")]
        closest = min(minima, key=lambda l: tuple(int(x) for x in re.findall(r"\d+", l["minimum"])))
        rows.append(dict(base, exact_local="", exact_utc="", minimum_date=bare(closest["minimum_at"]),
                         first_retrograde_at_exact="", deviation=closest["minimum"]))
    return rows


def compare_transit_csv(text, csv_bytes, pairs, offset_minutes, marks, centricity="geocentric"):
    """pairs: the (first, second) names of the report's blocks in order."""
    check(not csv_bytes.startswith(b"\xef\xbb\xbf"), "CSV starts with a byte-order mark")
    check(b"\n" not in csv_bytes.replace(b"\r\n", b""), "CSV has a line end other than CRLF")
    rows = list(csv.DictReader(io.StringIO(csv_bytes.decode("utf-8"), newline="")))
    expected = []
    for (heading, periods), (first, second) in zip(parse_transit_report(text), pairs):
        check(f" {first} and {second}" in heading, f"heading {heading!r} is not {first} and {second}")
        for period in periods:
            for row in expected_rows(period, offset_minutes, marks):
                expected.append(dict(row, first=first, second=second))
    check(len(rows) == len(expected), f"CSV has {len(rows)} rows, the report stands for {len(expected)}")
    for n, (got, want) in enumerate(zip(rows, expected), start=1):
        check(got["centricity"] == centricity, f"row {n}: centricity {got['centricity']}")
        for key, value in want.items():
            if key == "deviation":
                continue
            check(got[key] == value, f"row {n}: {key} is {got[key]!r}, the report says {value!r}")
        if want["deviation"] == "":
            check(got["min_deviation_arcsec"] == "", f"row {n}: a deviation without a closest approach")
            continue
        arcsec = float(got["min_deviation_arcsec"])
        if want["deviation"] is None:
            check(0 <= arcsec < 60.1, f"row {n}: an exact minimum {arcsec}\" off")
        elif not near_half_minute(arcsec):
            check(degrees_minutes(arcsec) == want["deviation"],
                  f"row {n}: {arcsec}\" is {degrees_minutes(arcsec)}, the report says {want['deviation']}")
        check(got["exact_passes"].isdigit(), f"row {n}: exact_passes {got['exact_passes']!r}")
        if got["cut_at_start"] == "true":
            check(got["outer_start"] == "", f"row {n}: cut at the start yet entered the outer orb")
        if got["cut_at_end"] == "true":
            check(got["outer_end"] == "", f"row {n}: cut at the end yet left the outer orb")
    return rows


def compare_json(json_bytes, rows, key, pairs, zone_label, offset_minutes):
    document = json.loads(json_bytes.decode("utf-8"))
    check(document["format"] == "kovo-results" and document["version"] == 1, "JSON format or version")
    items = document[key]
    check(len(items) == len(rows), f"JSON has {len(items)} {key}, the CSV {len(rows)} rows")
    for n, (item, row) in enumerate(zip(items, rows), start=1):
        check(list(item.keys()) == list(row.keys()), f"{key} {n}: fields {list(item.keys())}")
        for name, text in row.items():
            value = item[name]
            if value is None:
                ok = text == ""
            elif isinstance(value, bool):
                ok = text == ("true" if value else "false")
            elif isinstance(value, (int, float)):
                ok = text != "" and abs(float(text) - value) < 1e-9
            else:
                ok = text == value
            check(ok, f"{key} {n}: JSON {name} {value!r}, CSV {text!r}")
    if pairs is not None:
        inputs = document["inputs"]
        check([(p["first"], p["second"]) for p in inputs["pairs"]] == pairs, f"JSON pairs {inputs['pairs']}")
        check(inputs["time_zone"] == {"label": zone_label, "offset_minutes": offset_minutes},
              f"JSON time zone {inputs['time_zone']}")
    return document


def compare_calendar(ics_bytes, rows, with_periods, centricity="geocentric"):
    from icalendar import Calendar

    for line in ics_bytes.split(b"\r\n")[:-1]:
        check(len(line) <= 75, f"iCalendar line of {len(line)} octets")
    check(ics_bytes.endswith(b"\r\n") and b"\n" not in ics_bytes.replace(b"\r\n", b""), "iCalendar line ends")
    calendar = Calendar.from_ical(ics_bytes)
    check(str(calendar["VERSION"]) == "2.0" and "PRODID" in calendar, "VERSION or PRODID missing")
    events = calendar.walk("VEVENT")
    exact_events = [e for e in events if isinstance(e.decoded("DTSTART"), dt.datetime)]
    period_events = [e for e in events if not isinstance(e.decoded("DTSTART"), dt.datetime)]
    exact_rows = [r for r in rows if r["exact_utc"]]
    check(len(exact_events) == len(exact_rows), f"{len(exact_events)} exact events for {len(exact_rows)} exact rows")
    uids = [str(e["UID"]) for e in events]
    check(len(set(uids)) == len(uids), "UIDs repeat")
    for event, row in zip(exact_events, exact_rows):
        start = event.decoded("DTSTART")
        check(start.utcoffset() == dt.timedelta(0), f"DTSTART {start} not in UTC")
        check(start.strftime("%Y-%m-%dT%H:%MZ") == row["exact_utc"], f"DTSTART {start} for {row['exact_utc']}")
        check("DTEND" not in event and "DURATION" not in event, "an exact event has a duration")
        summary = f"{row['first']} {row['aspect']} {row['second']} (exact, {centricity})"
        check(str(event["SUMMARY"]) == summary, f"SUMMARY {event['SUMMARY']!r}, wanted {summary!r}")
        description = str(event["DESCRIPTION"])
        for level in ("outer", "middle", "inner"):
            for side in ("start", "end"):
                if row[f"{level}_{side}"]:
                    check(row[f"{level}_{side}"] in description, f"DESCRIPTION lacks {level}_{side}: {description!r}")
    if with_periods:
        starts = {(r["first"], r["second"], r["aspect"], r["outer_start"]) for r in rows}
        check(len(period_events) == len(starts), f"{len(period_events)} period events for {len(starts)} periods")
        for event in period_events:
            check(isinstance(event.decoded("DTEND"), dt.date), "a period event without an end date")
    else:
        check(not period_events, "period events without --ics-periods")
    return calendar


# ---- cases -----------------------------------------------------------------------------

def case_year(report, _shared):
    args = ["transits", "--first", "Mars", "--second", "Jupiter", "--from", "2026-01-01", "--to", "2026-12-31",
            "--tz", "EST/CDT"]
    text = run(report, args + ["--lf"]).decode("utf-8")
    csv_bytes = export(report, args, "csv")
    pairs = [("Mars", "Jupiter")]
    rows = compare_transit_csv(text, csv_bytes, pairs, -300, True)
    check(len(rows) >= 5, f"only {len(rows)} rows for a year of Mars and Jupiter")
    compare_json(export(report, args, "json"), rows, "periods", pairs, "EST/CDT", -300)
    ics = export(report, args, "ics", ["--ics-periods"])
    compare_calendar(ics, rows, True)
    again = export(report, args, "ics", ["--ics-periods"])
    uid = re.compile(rb"UID:[^\r]*")
    check(uid.findall(ics) == uid.findall(again), "UIDs change between two exports of one run")
    compare_calendar(export(report, args, "ics"), rows, False)


def case_all(report, _shared):
    args = ["all", "--first", "Mars", "--from", "2026-01-01", "--to", "2026-06-30", "--tz", "330"]
    text = run(report, args + ["--lf"]).decode("utf-8")
    blocks = parse_transit_report(text)
    pairs = [tuple(re.search(r"for (\w+) and (\w+)", h).groups()) for h, _ in blocks]
    check(len(pairs) >= 4, f"{len(pairs)} pairs in the all-transits report")
    rows = compare_transit_csv(text, export(report, args, "csv"), pairs, 330, False)
    document = json.loads(export(report, args, "json"))
    check(document["run"] == "all-transits", f"JSON run {document['run']}")
    compare_json(export(report, args, "json"), rows, "periods", None, None, None)
    compare_calendar(export(report, args, "ics"), rows, False)


def case_search(report, _shared):
    searches = [
        ["search", "--first", "Jupiter", "--second", "Saturn", "--aspect", "opp", "--orb", "10", "--from",
         "2026-01-01", "--tz", "GMT"],
        ["search", "--first", "Sun", "--second", "Mars", "--aspect", "con", "--orb", "6", "--from", "2026-03-01",
         "--tz", "GMT+5:30"],
    ]
    offsets = [0, 330]
    for args, offset in zip(searches, offsets):
        text = run(report, args + ["--lf"]).decode("utf-8")
        pair = [(args[2], args[4])]
        rows = compare_transit_csv(text, export(report, args, "csv"), pair, offset, True)
        check(len(rows) == 1, f"a search gave {len(rows)} rows")
        zone = "GMT" if offset == 0 else "GMT+5:30"
        document = compare_json(export(report, args, "json"), rows, "periods", pair, zone, offset)
        check(document["run"] == "search", f"JSON run {document['run']}")
        compare_calendar(export(report, args, "ics"), rows, False)


def zone_offset_of_reading(zone):
    """The offset, in minutes, of a report's local reading ("05:33 EDT") in a tz zone:
    of the two readings a repeated hour allows, the one with that abbreviation."""
    def offset(local, cell):
        abbreviation = cell.split(" ", 1)[1]
        for fold in (0, 1):
            aware = local.replace(tzinfo=zone, fold=fold)
            if aware.tzname() == abbreviation:
                return int(aware.utcoffset().total_seconds() // 60)
        check(False, f"{cell} is no reading of {zone.key} on {local.date()}")
        return 0
    return offset


def case_named(report, _shared):
    from zoneinfo import ZoneInfo

    runs = [("America/New_York", ["--first", "Sun", "--second", "Mars"], {"EST", "EDT"}),
            ("Asia/Kathmandu", ["--first", "Mars", "--second", "Jupiter"], {"+0545"})]
    for name, bodies, abbreviations in runs:
        zone = ZoneInfo(name)
        args = ["transits"] + bodies + ["--from", "2026-01-01", "--to", "2026-12-31", "--tz", name]
        text = run(report, args + ["--lf"]).decode("utf-8")
        pairs = [(bodies[1], bodies[3])]
        blocks = parse_transit_report(text)
        check(len(blocks) == 1 and f", times in {name}" in blocks[0][0], f"heading {blocks[0][0]!r} does not name {name}")
        rows = compare_transit_csv(text, export(report, args, "csv"), pairs, zone_offset_of_reading(zone), True)
        exact_rows = [r for r in rows if r["exact_utc"]]
        check(len(exact_rows) >= 4, f"{name}: only {len(exact_rows)} exact rows")
        seen = set()
        for n, row in enumerate(rows, start=1):
            check(row["time_zone"] == name, f"{name} row {n}: time_zone {row['time_zone']!r}")
            if not row["exact_utc"]:
                continue
            # The offset written with each event is the one in force at its instant.
            utc = dt.datetime.strptime(row["exact_utc"], "%Y-%m-%dT%H:%MZ").replace(tzinfo=dt.timezone.utc)
            local = dt.datetime.fromisoformat(row["exact_local"])
            check(local.utcoffset() == utc.astimezone(zone).utcoffset(),
                  f"{name} row {n}: {row['exact_local']} for {row['exact_utc']}, "
                  f"the zone is at {utc.astimezone(zone).isoformat()}")
            check(local.replace(tzinfo=None) == (utc + local.utcoffset()).replace(tzinfo=None),
                  f"{name} row {n}: {row['exact_local']} is not {row['exact_utc']} plus its offset")
            seen.add(utc.astimezone(zone).tzname())
        check(seen == abbreviations, f"{name}: the exact minima fall in {sorted(seen)}, not {sorted(abbreviations)}")
        # The inputs name the zone, with its offset at the start of the range.
        start = dt.datetime(2026, 1, 1, tzinfo=zone).utcoffset().total_seconds() // 60
        compare_json(export(report, args, "json"), rows, "periods", pairs, name, int(start))
        calendar = compare_calendar(export(report, args, "ics"), rows, False)
        for event, row in zip([e for e in calendar.walk("VEVENT")], exact_rows):
            utc = event.decoded("DTSTART").astimezone(zone)
            reading = f"{utc.strftime('%Y-%m-%d %H:%M')} {utc.tzname()}"
            check(reading in str(event["DESCRIPTION"]), f"{name}: DESCRIPTION {event['DESCRIPTION']!r} lacks {reading}")


EVENT = re.compile(r"^(\w+) +(\d+)°, (?:investment #(\d+) on (\S+) of \$([\d,.]+)"
                   r"|redemption #(\d+) on (\S+), (gained|lost) \$([\d,.]+), total (gain|loss) is \$([\d,.]+)"
                   r"|investment #(\d+) (cancelled)\.)$")


def case_simulation(report, shared):
    index = os.path.join(shared, "DJIA_data.txt") if shared else ""
    if not index or not os.path.isfile(index):
        if os.environ.get("CI", "") not in ("", "0", "false"):
            print("CI is set but the real index history is missing:", index)
            return 1
        print("no index history beside the repository: skipped")
        return SKIP
    args = ["simulate", "--first", "Earth", "--second", "Jupiter", "--from", "2009-01-01", "--to", "2012-12-31",
            "--details", "--index-file", index]
    text = run(report, args + ["--lf"]).decode("utf-8")
    rows = list(csv.DictReader(io.StringIO(export(report, args, "csv").decode("utf-8"), newline="")))
    events = [m for m in (EVENT.match(line) for line in text.split("\n")) if m]
    check(len(events) >= 10, f"only {len(events)} event lines in the report")
    check(len(rows) == len(events), f"{len(rows)} CSV rows for {len(events)} event lines")
    last_date = {}
    for n, (row, m) in enumerate(zip(rows, events), start=1):
        aspect, orb = m.group(1).lower(), m.group(2)
        check((row["aspect"], row["orb"]) == (aspect, orb), f"event {n}: {row['aspect']} {row['orb']}")
        money = lambda s: float(s.replace(",", ""))
        if m.group(3):
            want = ("investment", m.group(3), m.group(4))
            check(money(row["amount_usd"]) == money(m.group(5)), f"event {n}: amount {row['amount_usd']}")
            last_date[(aspect, orb)] = m.group(4)
        elif m.group(6):
            want = ("redemption", m.group(6), m.group(7))
            sign = -1 if m.group(8) == "lost" else 1
            total_sign = -1 if m.group(10) == "loss" else 1
            check(abs(float(row["amount_usd"]) - sign * money(m.group(9))) < 0.005,
                  f"event {n}: amount {row['amount_usd']} for {m.group(0)}")
            check(abs(float(row["running_total_usd"]) - total_sign * money(m.group(11))) < 0.005,
                  f"event {n}: running total {row['running_total_usd']} for {m.group(0)}")
        else:
            want = ("cancellation", m.group(12), row["date"])
            check(row["amount_usd"] == "", f"event {n}: a cancellation with an amount")
        check((row["kind"], row["number"], row["date"]) == want, f"event {n}: {row} for {m.group(0)!r}")
    document = compare_json(export(report, args, "json"), rows, "events", None, None, None)
    check(document["run"] == "simulation" and document["inputs"]["first"] == "Earth", "JSON simulation inputs")
    # The summary table against the report's closing lines.
    summary = list(csv.DictReader(io.StringIO(export(report, args, "csv", ["--summary"]).decode("utf-8"),
                                              newline="")))
    slot_lines = re.findall(r"^Ea (\w+) Ju, +(\d+)°, (?:ends with \$([-\d,.]+)|no investments)$", text, re.M)
    slots = [r for r in summary if r["orb"]]
    check(len(slots) == len(slot_lines), f"{len(slots)} slot rows for {len(slot_lines)} slot lines")
    for row, (abbreviation, orb, total) in zip(slots, slot_lines):
        check(ABBREVIATIONS[row["aspect"]] == abbreviation and row["orb"] == orb, f"slot {row} for {abbreviation} {orb}")
        check((row["total_usd"] == "") == (total == ""), f"slot {row}: total {total!r}")
        if total:
            check(abs(float(row["total_usd"]) - float(total.replace(",", ""))) < 0.005, f"slot {row}: {total}")
    count = re.search(r"Total number of investments = (\d+)", text).group(1)
    check(summary[-1]["investments"] == count, f"total investments {summary[-1]['investments']} for {count}")
    calendar_events = [line for line in export(report, args, "ics").split(b"\r\n") if line == b"BEGIN:VEVENT"]
    check(len(calendar_events) == len(rows), f"{len(calendar_events)} calendar events for {len(rows)} events")


def case_unwritable(report, _shared):
    args = ["transits", "--from", "2026-01-01", "--to", "2026-12-31", "--tz", "GMT", "--format", "csv"]
    with tempfile.TemporaryDirectory() as folder:
        missing = os.path.join(folder, "no such folder", "out.csv")
        locked = os.path.join(folder, "locked.csv")
        with open(locked, "w") as f:
            f.write("old\n")
        os.chmod(locked, 0o444)
        for path in (missing, locked, folder):
            done = subprocess.run([report] + args + ["-o", path], capture_output=True)
            message = done.stderr.decode()
            check(done.returncode == 1, f"-o {path}: exit status {done.returncode}")
            check(message.startswith("kovo-report: ") and path in message, f"-o {path}: message {message!r}")
            check(done.stdout == b"", f"-o {path}: printed {done.stdout[:40]!r}")
        check(not os.path.exists(missing), "a file appeared in a folder that does not exist")
        with open(locked) as f:
            check(f.read() == "old\n", "the read-only file changed")
        check(sorted(os.listdir(folder)) == ["locked.csv"], f"files left behind: {os.listdir(folder)}")


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    report, case = sys.argv[1], sys.argv[2]
    shared = sys.argv[3] if len(sys.argv) > 3 else ""
    cases = {"year": case_year, "all": case_all, "search": case_search, "named": case_named,
             "simulation": case_simulation, "unwritable": case_unwritable}
    status = cases[case](report, shared)
    if status:
        return status
    for failure in failures[:40]:
        print("FAIL:", failure)
    print(f"{case}: {len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
