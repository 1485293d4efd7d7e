"""The benchmark's table (printed and written as CSV) and the targets read from it.

A row is a dict: scale, instances, received_bytes, program, form, runs, cpu_s,
wall_s, rss_mib, report_bytes, server_cpu_s, connections, requests, note.
Figures of repeated runs are medians; rss_mib is the largest process's peak."""

import csv

MIB = 1024 * 1024

COLUMNS = [
    # (key, heading, width, format)
    ("scale", "scale", 5, "{:d}x"),
    ("instances", "instances", 9, "{:d}"),
    ("received_bytes", "XML in MB", 9, "mb"),
    ("program", "program", 24, "{}"),
    ("form", "form", 4, "{}"),
    ("cpu_s", "CPU s", 7, "{:.3f}"),
    ("wall_s", "wall s", 7, "{:.2f}"),
    ("rss_mib", "RSS MiB", 7, "{:.1f}"),
    ("report_bytes", "out MB", 7, "mb"),
    ("server_cpu_s", "srv CPU s", 9, "{:.2f}"),
    ("connections", "conns", 5, "{:d}"),
    ("cpu_per_floor", "CPU/floor", 9, "{:.2f}"),
    ("cpu_per_peer", "CPU/peer", 8, "{:.3f}"),
]


def _cell(row, key, fmt):
    value = row.get(key)
    if value is None or value == "":
        return "-"
    if fmt == "mb":
        return "{:.2f}".format(value / 1e6)
    return fmt.format(value)


def add_ratios(rows):
    """Adds cpu_per_floor and cpu_per_peer to the rows of each scale."""
    for scale in {row["scale"] for row in rows}:
        same = [row for row in rows if row["scale"] == scale]
        floor = next((r["cpu_s"] for r in same if r["program"] == "floor: parse+transfer"), None)
        peer = next((r["cpu_s"] for r in same if r["program"] == "wbemcli"), None)
        for row in same:
            if floor and not row["program"].startswith("floor"):
                row["cpu_per_floor"] = row["cpu_s"] / floor
            if peer and row["program"].startswith("telvanecli"):
                row["cpu_per_peer"] = row["cpu_s"] / peer


def format_table(rows):
    lines = ["  ".join(heading.rjust(width) if key != "program" else heading.ljust(width)
                       for key, heading, width, _ in COLUMNS)]
    for row in rows:
        cells = []
        for key, _, width, fmt in COLUMNS:
            text = _cell(row, key, fmt)
            cells.append(text.ljust(width) if key == "program" else text.rjust(width))
        lines.append("  ".join(cells))
    return "\n".join(lines)


def write_csv(rows, path):
    keys = [key for key, _, _, _ in COLUMNS] + ["runs", "requests", "note"]
    with open(path, "w", newline="", encoding="utf-8") as f:
        writer = csv.DictWriter(f, fieldnames=keys, extrasaction="ignore")
        writer.writeheader()
        for row in rows:
            writer.writerow({k: ("" if row.get(k) is None else row.get(k)) for k in keys})


def _find(rows, scale, program):
    return next((r for r in rows if r["scale"] == scale and r["program"] == program), None)


def check_targets(rows, forms, request_count, tls):
    """[(target, passed, detail)] for the targets whose scales were measured.
    tls: {"handshakes": N, "resumed": N} of one observed run, or None."""
    checks = []
    scales = {row["scale"] for row in rows}
    for form in forms:
        program = "telvanecli " + form
        if {10, 100} <= scales:
            small, large = _find(rows, 10, program), _find(rows, 100, program)
            ratio = large["cpu_s"] / small["cpu_s"]
            checks.append(("1 linear, %s" % form, ratio <= 11,
                           "CPU 100x / 10x = %.2f (<= 11)" % ratio))
        for scale in (10, 100):
            row = _find(rows, scale, program)
            if row and row.get("cpu_per_peer") is not None:
                checks.append(("2 peer %dx, %s" % (scale, form), row["cpu_per_peer"] <= 0.5,
                               "CPU / wbemcli CPU = %.3f (<= 0.5)" % row["cpu_per_peer"]))
        if 100 in scales:
            row = _find(rows, 100, program)
            checks.append(("3 floor 100x, %s" % form, row["cpu_per_floor"] <= 3,
                           "CPU / (parse + transfer) = %.2f (<= 3)" % row["cpu_per_floor"]))
            xml_report = _find(rows, 100, "telvanecli XML")["report_bytes"]
            limit = (3 * xml_report + 32 * MIB) / MIB
            checks.append(("4 memory 100x, %s" % form, row["rss_mib"] <= limit,
                           "peak RSS %.1f MiB (<= 3 x XML report + 32 MiB = %.1f MiB)"
                           % (row["rss_mib"], limit)))
    runs = [r for r in rows if r["program"].startswith("telvanecli")]
    most = max(r["max_connections"] for r in runs)
    complete = all(r["requests"] == request_count for r in runs)
    checks.append(("5 connections", most <= 2 and complete,
                   "at most %d connection(s) per run, %s requests each"
                   % (most, "all %d" % request_count if complete else "NOT all")))
    if tls is not None:
        checks.append(("5 TLS resumption", tls["handshakes"] <= 2 and tls["resumed"] >= 1,
                       "%d handshake(s), %d resumed" % (tls["handshakes"], tls["resumed"])))
    return checks
