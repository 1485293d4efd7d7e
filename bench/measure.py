"""What a process costs, read from the kernel: a program's CPU time, wall time
and peak resident memory from its rusage (wait4, through bench/child_cost.c),
and the CPU time a long-running process (the server) spent so far from /proc."""

import os
import statistics
import subprocess


class Cost:
    """One run of a child: cpu = user + system seconds of the child alone,
    wall = seconds from spawn to exit, rss_kib = ru_maxrss, exit_code."""

    def __init__(self, cpu, wall, rss_kib, exit_code):
        self.cpu = cpu
        self.wall = wall
        self.rss_kib = rss_kib
        self.exit_code = exit_code


class ChildRunner:
    """Runs programs through the child_cost helper (bench/child_cost.c), whose
    rusage of its child is the program's own: a child of this (large) Python
    process would carry the driver's peak RSS across exec."""

    def __init__(self, helper):
        self.helper = helper

    def run(self, argv, stdout_path=os.devnull, stderr_path=os.devnull):
        """Runs argv[0] (a path) with stdin from /dev/null; returns its Cost."""
        result = subprocess.run([self.helper, stdout_path, stderr_path] + list(argv),
                                stdout=subprocess.PIPE, check=True)
        fields = dict(item.split("=") for item in result.stdout.decode().split())
        return Cost(float(fields["cpu"]), float(fields["wall"]), int(fields["maxrss_kib"]),
                    int(fields["exit"]))


def process_cpu_seconds(pid):
    """User + system seconds the process (all its threads) has used so far."""
    with open("/proc/%d/stat" % pid, encoding="ascii") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # After the command name: state is field 3, utime field 14, stime field 15.
    ticks = int(fields[11]) + int(fields[12])
    return ticks / os.sysconf("SC_CLK_TCK")


class Series:
    """Costs of repeated runs of one thing; figures are medians."""

    def __init__(self):
        self.costs = []
        self.extra = []  # per-run numbers the caller keeps alongside (server CPU, ...)

    def add(self, cost, extra=None):
        self.costs.append(cost)
        self.extra.append(extra or {})

    def median(self, attribute):
        return statistics.median(getattr(c, attribute) for c in self.costs)

    def median_extra(self, key):
        values = [e[key] for e in self.extra if key in e]
        return statistics.median(values) if values else None

    def max_extra(self, key):
        values = [e[key] for e in self.extra if key in e]
        return max(values) if values else None
