#!/usr/bin/env python3
"""Turns the benchmark medians into Markdown tables, one per figure.

  render_tables.py RESULTS.tsv

Each line of the input: figure, series, case, tool, median seconds (or a
percentage for the idle figures), median peak memory in KiB, runs (measured
seconds for the idle figures). Cases and tools keep the order in which they
were measured; the first tool of a figure is the one the others are divided
into. Growth is each case's median over the series' first case, so it shows
how a figure scales.
"""
import sys
from collections import OrderedDict

TITLES = {
    "download": "Download",
    "hash": "Download with the archive's SHA-256 checked beside unchecked",
    "extract": "Extraction",
    "update": "Whole update (download, then extraction)",
}
SERIES = {"size": "as the archive grows in size", "members": "as the archive grows in member count"}
# The Windows build under Wine beside the Linux build (windows_bench.sh).
WINE_TITLES = {
    "wine_start": "Start and exit with no work",
    "wine_download": "Download",
    "wine_extract": "Extraction",
    "wine_update": "Whole update (download, then extraction)",
}
TOOL_NAMES = {
    "ours": "ours",
    "hashed": "ours, hash checked",
    "curl": "curl",
    "unzip": "unzip",
    "bsdtar": "bsdtar",
    "peer": "curl + unzip",
    "bsdpeer": "curl + bsdtar",
    "updater": "updater",
    "bare": "bare SDL window",
    "wine": "Windows build under Wine",
    "linux": "Linux build",
    "wine_warm": "Windows build under Wine, prefix running (warm)",
    "wine_cold": "Windows build under Wine, prefix not running (cold)",
    "wine_nowindow": "Wine prefix with no window",
}


def number(text):
    return None if text in ("", "-") else float(text)


def table(header, rows, text_columns=1):
    """Text columns on the left, numbers right-aligned."""
    rule = "|" + "|".join("---" if i < text_columns else "---:" for i in range(len(header))) + "|"
    lines = ["| " + " | ".join(header) + " |", rule]
    lines += ["| " + " | ".join(row) + " |" for row in rows]
    return "\n".join(lines)


def side_by_side(cases, tools, value, unit, digits, growth=True):
    """Values per tool, the first tool over each other one, and each tool's
    growth."""
    base, peers = tools[0], tools[1:]
    header = ["case", "runs"] + ["%s (%s)" % (TOOL_NAMES[t], unit) for t in tools]
    header += ["%s / %s" % (TOOL_NAMES[base], TOOL_NAMES[p]) for p in peers]
    if growth:
        header += ["growth %s" % TOOL_NAMES[t] for t in tools]
    first = next(iter(cases.values()))
    rows = []
    for case, by_tool in cases.items():
        row = [case, by_tool[base]["runs"]]
        row += ["%.*f" % (digits, value(by_tool[t])) for t in tools]
        row += ["%.2f" % (value(by_tool[base]) / value(by_tool[p])) for p in peers]
        if growth:
            row += ["x%.1f" % (value(by_tool[t]) / value(first[t])) for t in tools]
        rows.append(row)
    return table(header, rows)


def main():
    figures = OrderedDict()
    for line in open(sys.argv[1], encoding="utf-8"):
        parts = line.rstrip("\n").split("\t")
        if len(parts) != 7:
            continue
        figure, series, case, tool, seconds, kib, runs = parts
        cases = figures.setdefault((figure, series), OrderedDict())
        cases.setdefault(case, OrderedDict())[tool] = {"value": number(seconds), "kib": number(kib), "runs": runs}

    out = []
    for (figure, series), cases in figures.items():
        tools = list(next(iter(cases.values())).keys())
        if figure in TITLES:
            title = "%s %s" % (TITLES[figure], SERIES[series])
            out.append("### %s: wall time, median\n" % title)
            out.append(side_by_side(cases, tools, lambda r: r["value"], "s", 3) + "\n")
            out.append("### %s: peak memory (max RSS), median\n" % title)
            out.append(side_by_side(cases, tools, lambda r: r["kib"] / 1024.0, "MiB", 1) + "\n")
        elif figure in WINE_TITLES:
            title = "Windows build under Wine beside the Linux build: %s" % WINE_TITLES[figure].lower()
            growth = figure != "wine_start" and len(cases) > 1
            out.append("### %s, wall time, median\n" % title)
            out.append(side_by_side(cases, tools, lambda r: r["value"], "s", 3, growth) + "\n")
            out.append("### %s, peak memory (max RSS), median\n" % title)
            out.append(side_by_side(cases, tools, lambda r: r["kib"] / 1024.0, "MiB", 1, growth) + "\n")
        elif figure == "wine_startup":
            out.append("### Windows build under Wine beside the Linux build: exec to the updater's first painted"
                       " frame, median\n")
            rows = []
            for case, by_tool in cases.items():
                linux = by_tool["linux"]["value"]
                for tool, r in by_tool.items():
                    rows.append([TOOL_NAMES[tool], r["runs"], "%.1f" % (r["value"] * 1000.0),
                                 "%.2f" % (r["value"] / linux), "%.1f" % (r["kib"] / 1024.0)])
            out.append(table(["build", "runs", "ms", "/ Linux build", "peak memory (MiB)"], rows) + "\n")
        elif figure == "wine_idle":
            out.append("### Windows build under Wine beside the Linux build: idle CPU of the updater window,"
                       " % of one core\n")
            columns = list(next(iter(cases.values())).keys())
            seconds = next(iter(next(iter(cases.values())).values()))["runs"]
            header = ["process (over %s s)" % seconds] + [TOOL_NAMES[t] for t in columns]
            rows = [[case] + ["-" if r["value"] is None else "%.3f" % r["value"] for r in by_tool.values()]
                    for case, by_tool in cases.items()]
            out.append(table(header, rows) + "\n")
        elif figure == "startup":
            out.append("### Start-up: exec to the first painted frame on the X server, median\n")
            rows = []
            for case, by_tool in cases.items():
                for tool, r in by_tool.items():
                    rows.append([TOOL_NAMES[tool], case, r["runs"], "%.1f" % (r["value"] * 1000.0),
                                 "%.1f" % (r["kib"] / 1024.0)])
            out.append(table(["program", "what runs", "runs", "ms", "peak memory (MiB)"], rows, 2) + "\n")
        elif figure == "idle":
            out.append("### Idle CPU of one window (no peer: nothing comparable draws this window)\n")
            rows = [[case, tool, r["runs"], "%.3f" % r["value"]] for case, by_tool in cases.items()
                    for tool, r in by_tool.items()]
            out.append(table(["window", "video driver", "measured seconds", "% of one core"], rows, 2) + "\n")
    print("\n".join(out))


if __name__ == "__main__":
    main()
