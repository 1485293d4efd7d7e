#!/usr/bin/env python3
"""Collection benchmark of telvanecli: its cost at 1x, 10x and 100x the sample
inventory, against the peer (Debian's wbemcli doing the same operations) and
against the floor (expat parsing, and libcurl moving, the same bytes).

    python3 bench/run.py --build-dir DIR [--scales 1,10,100] [--runs 3] [--csv PATH]

(bench/run.sh builds DIR first.) The responses are recorded once per scale
from the live simulated server and served in replay mode, so the server's own
cost is small; it is measured and shown apart. Each timed figure is the median
of --runs runs; the programs take turns in every round. Prints one table and
the targets, writes the table as CSV (default bench/results/bench-<time>.csv)
and exits 1 when a target is missed or a run fails."""

import argparse
import os
import shutil
import sys
import time

import measure
import recording
import results_table
from recording import SimServer
from tls_observer import TlsObserver

HERE = os.path.dirname(os.path.abspath(__file__))
FORMS = ("TEXT", "XML")
_REPLAY_LIFETIME = 3600


def log(text):
    print("bench: %s" % text, file=sys.stderr, flush=True)


class Programs:
    def __init__(self, build_dir):
        self.telvanecli = os.path.join(build_dir, "cli", "telvanecli")
        self.expat_floor = os.path.join(build_dir, "bench", "expat_floor")
        self.transfer_floor = os.path.join(build_dir, "bench", "transfer_floor")
        self.wbemcli = shutil.which("wbemcli")
        child_cost = os.path.join(build_dir, "bench", "child_cost")
        for path in (self.telvanecli, self.expat_floor, self.transfer_floor, child_cost):
            if not os.access(path, os.X_OK):
                raise SystemExit("bench: %s is missing; run bench/run.sh to build it" % path)
        if self.wbemcli is None:
            raise SystemExit("bench: wbemcli is not installed (scripts/setup.sh installs it)")
        self.runner = measure.ChildRunner(child_cost)


class ScaleBench:
    """The timed runs of one scale, against one replay server."""

    def __init__(self, programs, requests, folder, workdir, server):
        self.programs = programs
        self.requests = requests
        self.folder = folder
        self.workdir = workdir
        self.server = server
        self.logged = 0
        self.manifest = self._write_manifest()

    def _write_manifest(self):
        """Request bodies and the transfer floor's manifest of them, in request order."""
        bodies = os.path.join(self.workdir, "requests")
        os.makedirs(bodies, exist_ok=True)
        path = os.path.join(self.workdir, "manifest.txt")
        with open(path, "w", encoding="utf-8") as manifest:
            for number, request in enumerate(self.requests, 1):
                body = os.path.join(bodies, "%04d.xml" % number)
                with open(body, "wb") as f:
                    f.write(request.body)
                manifest.write("%s\t%s\t%s\n" % (request.method, request.headers["CIMObject"],
                                                 body))
        return path

    def _new_log_records(self):
        records = self.server.requests()
        fresh = records[self.logged:]
        self.logged = len(records)
        return fresh

    def _server_cpu(self):
        return measure.process_cpu_seconds(self.server.process.pid)

    def _checked(self, cost, what):
        if cost.exit_code != 0:
            raise RuntimeError("%s exited with %d" % (what, cost.exit_code))
        return cost

    def telvanecli(self, form, port=None):
        """One run with the report in a file; (cost, extra figures)."""
        report = os.path.join(self.workdir, "report." + form.lower())
        stderr = os.path.join(self.workdir, "telvanecli.err")
        self._new_log_records()
        before = self._server_cpu()
        cost = self.programs.runner.run(
            [self.programs.telvanecli, "-s", "127.0.0.1:%d" % (port or self.server.port),
             "-u", recording.USER, "-p", recording.PASSWORD, "-f", form, "-o" + report],
            stderr_path=stderr)
        server_cpu = self._server_cpu() - before
        if cost.exit_code != 0:
            with open(stderr, encoding="utf-8", errors="replace") as f:
                raise RuntimeError("telvanecli -f %s exited with %d: %s"
                                   % (form, cost.exit_code, f.read()[-2000:]))
        records = self._new_log_records()
        return cost, {"server_cpu": server_cpu, "report_bytes": os.path.getsize(report),
                      "connections": len({r["connection"] for r in records}),
                      "requests": len(records)}

    def wbemcli(self, classes):
        """GetClass and EnumerateInstances of every class, one process each; the
        summed CPU and wall time, the largest peak RSS, failures as exit_code."""
        self._new_log_records()
        before = self._server_cpu()
        cpu = wall = 0.0
        rss = failures = 0
        for class_name in classes:
            url = "https://%s:%s@127.0.0.1:%d/root/quorvin:%s" % (
                recording.USER, recording.PASSWORD, self.server.port, class_name)
            for operation in ("gc", "ei"):
                cost = self.programs.runner.run(
                    [self.programs.wbemcli, operation, "-noverify", url])
                cpu += cost.cpu
                wall += cost.wall
                rss = max(rss, cost.rss_kib)
                failures += cost.exit_code != 0
        server_cpu = self._server_cpu() - before
        records = self._new_log_records()
        return measure.Cost(cpu, wall, rss, 0), {
            "server_cpu": server_cpu, "failures": failures,
            "connections": len({r["connection"] for r in records}), "requests": len(records)}

    def parse_floor(self):
        paths = recording.body_paths(self.requests, self.folder)
        return self._checked(self.programs.runner.run([self.programs.expat_floor] + paths),
                             "expat_floor"), {}

    def transfer_floor(self):
        self._new_log_records()
        before = self._server_cpu()
        cost = self._checked(self.programs.runner.run(
            [self.programs.transfer_floor, "https://127.0.0.1:%d/cimom" % self.server.port,
             recording.USER, recording.PASSWORD, self.manifest]), "transfer_floor")
        server_cpu = self._server_cpu() - before
        records = self._new_log_records()
        return cost, {"server_cpu": server_cpu,
                      "connections": len({r["connection"] for r in records}),
                      "requests": len(records)}


def _row(scale, summary, received, program, form, series, requests=None, note=""):
    rss = max(c.rss_kib for c in series.costs) / 1024.0
    return {
        "scale": scale, "instances": summary["instances"], "received_bytes": received,
        "program": program, "form": form, "runs": len(series.costs),
        "cpu_s": series.median("cpu"), "wall_s": series.median("wall"), "rss_mib": rss,
        "report_bytes": series.median_extra("report_bytes"),
        "server_cpu_s": series.median_extra("server_cpu"),
        "connections": series.max_extra("connections"),
        "max_connections": series.max_extra("connections"),
        "requests": requests if requests is not None else series.median_extra("requests"),
        "note": note,
    }


def bench_scale(programs, requests, scale, summary, folder, workdir, runs):
    classes = [r.class_name for r in requests if r.method == "EnumerateInstances"]
    received = recording.received_bytes(requests, summary)
    with SimServer(replay=folder, user=recording.USER, password=recording.PASSWORD,
                   lifetime=_REPLAY_LIFETIME) as server:
        bench = ScaleBench(programs, requests, folder, workdir, server)
        bench.telvanecli("TEXT")  # warms the page cache and the server
        series = {name: measure.Series() for name in
                  ["TEXT", "XML", "wbemcli", "parse", "transfer"]}
        for round_number in range(1, runs + 1):
            log("scale %d: round %d of %d" % (scale, round_number, runs))
            for form in FORMS:
                series[form].add(*bench.telvanecli(form))
            series["wbemcli"].add(*bench.wbemcli(classes))
            series["parse"].add(*bench.parse_floor())
            series["transfer"].add(*bench.transfer_floor())

    failures = series["wbemcli"].max_extra("failures")
    peer_note = "%d processes" % (2 * len(classes))
    if failures:
        peer_note += ", %d failed (cannot decode the response)" % failures
    rows = [_row(scale, summary, received, "telvanecli " + form, form, series[form])
            for form in FORMS]
    rows.append(_row(scale, summary, received, "wbemcli", "-", series["wbemcli"],
                     note=peer_note))
    parse = _row(scale, summary, received, "floor: expat parse", "-", series["parse"],
                 requests=len(requests), note="expat, no-op handlers")
    transfer = _row(scale, summary, received, "floor: TLS/HTTP transfer", "-",
                    series["transfer"], note="libcurl, one connection")
    both = dict(transfer, program="floor: parse+transfer", cpu_s=parse["cpu_s"] + transfer["cpu_s"],
                wall_s=parse["wall_s"] + transfer["wall_s"],
                rss_mib=max(parse["rss_mib"], transfer["rss_mib"]), note="sum of the two")
    return rows + [parse, transfer, both]


def observe_tls(programs, requests, folder, workdir):
    """Handshakes and resumptions of one telvanecli run, seen by a relay."""
    with SimServer(replay=folder, user=recording.USER, password=recording.PASSWORD,
                   lifetime=_REPLAY_LIFETIME) as server:
        bench = ScaleBench(programs, requests, folder, workdir, server)
        with TlsObserver(server.port) as observer:
            bench.telvanecli("TEXT", port=observer.port)
            time.sleep(0.2)  # the relay threads record the last hellos
            return {"handshakes": observer.handshakes, "resumed": observer.resumed}


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build-dir", required=True, help="Release build of telvanecli")
    parser.add_argument("--scales", default="1,10,100", help="sample scales (default 1,10,100)")
    parser.add_argument("--runs", type=int, default=3, help="timed runs per figure (default 3)")
    parser.add_argument("--csv", help="CSV file (default bench/results/bench-<time>.csv)")
    args = parser.parse_args(argv)
    scales = [int(s) for s in args.scales.split(",")]
    programs = Programs(os.path.abspath(args.build_dir))

    results = os.path.join(HERE, "results")
    workdir = os.path.join(results, "work")
    shutil.rmtree(workdir, ignore_errors=True)
    os.makedirs(workdir)
    csv_path = args.csv or os.path.join(results, time.strftime("bench-%Y%m%d-%H%M%S.csv"))

    started = time.monotonic()
    log("capturing the requests of telvanecli")
    requests = recording.capture_requests(programs.telvanecli, workdir)
    log("%d requests" % len(requests))
    summaries = {}
    for scale in scales:
        folder = os.path.join(results, "recordings", "scale-%d" % scale)
        summaries[scale] = (recording.record_responses(requests, scale, folder, log), folder)

    rows = []
    for scale in scales:
        summary, folder = summaries[scale]
        rows += bench_scale(programs, requests, scale, summary, folder,
                            os.path.join(workdir, "scale-%d" % scale), args.runs)
    log("observing the TLS handshakes of one run")
    tls = observe_tls(programs, requests, summaries[scales[0]][1],
                      os.path.join(workdir, "tls"))

    results_table.add_ratios(rows)
    print(results_table.format_table(rows))
    results_table.write_csv(rows, csv_path)
    print()
    print("CPU = user + system time of the client process(es), median of %d runs; RSS = peak "
          "(ru_maxrss); conns = TCP/TLS connections per run in the server's log; "
          "srv CPU = the replay server's own CPU during the run." % args.runs)
    missed = 0
    for target, passed, detail in results_table.check_targets(rows, FORMS, len(requests), tls):
        missed += not passed
        print("%-22s %s  %s" % (target, "PASS" if passed else "MISS", detail))
    print("table written to %s; %.0f s in all" % (csv_path, time.monotonic() - started))
    return 1 if missed else 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv[1:]))
    except RuntimeError as err:
        log(str(err))
        sys.exit(1)
