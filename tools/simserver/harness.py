#!/usr/bin/env python3
"""Starts and stops the simulated CIM server for tests.

From Python tests:

    with SimServer(repository=[path], faults=[{...}]) as server:
        server.port, server.url("NVX_Fan"), server.requests(), server.request_body(1)

From shell scripts and C++ tests:

    port=$(python3 harness.py start --state-dir DIR [simserver options])
    python3 harness.py stop --state-dir DIR

"start" returns once the server listens, prints its port, and leaves it
running (it still stops by itself after its --lifetime). The request log is
DIR/log, the server's own output DIR/server.out.
"""

import json
import os
import signal
import subprocess
import sys
import tempfile
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
SIMSERVER = os.path.join(HERE, "simserver.py")

DEFAULT_USER = "telvane"
DEFAULT_PASSWORD = "secret"
START_TIMEOUT = 120.0  # a large sample inventory takes a while to generate and load
STOP_TIMEOUT = 10.0


class ServerStartError(Exception):
    pass


def _wait_for_port(port_file, process, deadline, output_file):
    while time.monotonic() < deadline:
        if os.path.exists(port_file):
            with open(port_file, encoding="ascii") as f:
                text = f.read().strip()
            if text:
                return int(text)
        if process.poll() is not None:
            raise ServerStartError("simserver exited with %d: %s"
                                   % (process.returncode, _tail(output_file)))
        time.sleep(0.02)
    raise ServerStartError("simserver did not listen within %.0f s: %s"
                           % (START_TIMEOUT, _tail(output_file)))


def _tail(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()[-2000:]
    except OSError:
        return "(no output)"


def _launch(state_dir, arguments, detach):
    """Starts simserver with its log and port file in state_dir; returns (process, port)."""
    port_file = os.path.join(state_dir, "port")
    if os.path.exists(port_file):
        os.remove(port_file)
    output_file = os.path.join(state_dir, "server.out")
    command = [sys.executable, SIMSERVER, "--port-file", port_file,
               "--log-dir", os.path.join(state_dir, "log")] + list(arguments)
    with open(output_file, "wb") as output:
        process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=output,
                                   stderr=subprocess.STDOUT, start_new_session=detach)
    try:
        port = _wait_for_port(port_file, process, time.monotonic() + START_TIMEOUT, output_file)
    except ServerStartError:
        _terminate(process.pid, process)
        raise
    return process, port


def _terminate(pid, process=None):
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    deadline = time.monotonic() + STOP_TIMEOUT
    while time.monotonic() < deadline:
        if process is not None:
            if process.poll() is not None:
                return
        else:
            try:
                os.kill(pid, 0)
            except ProcessLookupError:
                return
        time.sleep(0.05)
    try:
        os.kill(pid, signal.SIGKILL)
    except ProcessLookupError:
        return
    if process is not None:
        process.wait(timeout=STOP_TIMEOUT)


class SimServer:
    """A simserver process for the length of a with-block (or start()/stop()).

    repository: CIM-XML files; sample_scale: also serve the generated sample
    inventory at that scale; faults: a list of rule dicts or a path; replay: a
    folder; user/password: the Basic credentials (user None: no authentication);
    extra_args: further simserver options.
    """

    def __init__(self, repository=(), sample_scale=None, faults=None, replay=None,
                 user=DEFAULT_USER, password=DEFAULT_PASSWORD, namespace="root/quorvin",
                 lifetime=120, extra_args=()):
        self.user = user
        self.password = password
        self.namespace = namespace
        self._arguments = ["--lifetime", str(lifetime), "--namespace", namespace]
        for path in repository:
            self._arguments += ["--repository", path]
        if sample_scale is not None:
            self._arguments += ["--sample", "--sample-scale", str(sample_scale)]
        self._faults = faults
        if replay:
            self._arguments += ["--replay", replay]
        if user is None:
            self._arguments.append("--no-auth")
        else:
            self._arguments += ["--user", user, "--password", password]
        self._arguments += list(extra_args)
        self._tempdir = None
        self.state_dir = None
        self.process = None
        self.port = None

    def start(self):
        self._tempdir = tempfile.TemporaryDirectory(prefix="simserver-test-")
        self.state_dir = self._tempdir.name
        arguments = list(self._arguments)
        if self._faults is not None:
            path = self._faults
            if not isinstance(path, str):
                path = os.path.join(self.state_dir, "faults.json")
                with open(path, "w", encoding="utf-8") as f:
                    json.dump(self._faults, f)
            arguments += ["--faults", path]
        self.process, self.port = _launch(self.state_dir, arguments, detach=False)
        return self

    def stop(self):
        if self.process is not None:
            _terminate(self.process.pid, self.process)
            self.process = None
        if self._tempdir is not None:
            self._tempdir.cleanup()
            self._tempdir = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    @property
    def log_dir(self):
        return os.path.join(self.state_dir, "log")

    def output(self):
        """What the server printed so far."""
        return _tail(os.path.join(self.state_dir, "server.out"))

    def url(self, class_name=None, user=None, password=None):
        """wbemcli-style URL: https://user:pw@127.0.0.1:PORT/namespace[:class]."""
        user = self.user if user is None else user
        password = self.password if password is None else password
        credentials = ""
        if user is not None:
            credentials = urllib.parse.quote(user, safe="") + ":" + urllib.parse.quote(
                password or "", safe="") + "@"
        text = "https://%s127.0.0.1:%d/%s" % (credentials, self.port, self.namespace)
        return text + (":" + class_name if class_name else "")

    def requests(self):
        """The request log records so far, oldest first."""
        path = os.path.join(self.log_dir, "requests.jsonl")
        if not os.path.exists(path):
            return []
        with open(path, encoding="utf-8") as f:
            return [json.loads(line) for line in f if line.strip()]

    def request_body(self, number):
        with open(os.path.join(self.log_dir, "bodies", "%04d.xml" % number), "rb") as f:
            return f.read()


def _cli(argv):
    usage = ("usage: harness.py start --state-dir DIR [simserver options]\n"
             "       harness.py stop --state-dir DIR\n")
    if len(argv) < 3 or argv[0] not in ("start", "stop") or argv[1] != "--state-dir":
        sys.stderr.write(usage)
        return 2
    command, state_dir, rest = argv[0], argv[2], argv[3:]
    pid_file = os.path.join(state_dir, "server.pid")
    if command == "start":
        os.makedirs(state_dir, exist_ok=True)
        try:
            process, port = _launch(state_dir, rest, detach=True)
        except ServerStartError as err:
            sys.stderr.write("harness: %s\n" % err)
            return 1
        with open(pid_file, "w", encoding="ascii") as f:
            f.write("%d\n" % process.pid)
        print(port)
        return 0
    if rest:
        sys.stderr.write(usage)
        return 2
    try:
        with open(pid_file, encoding="ascii") as f:
            pid = int(f.read().strip())
    except (OSError, ValueError) as err:
        sys.stderr.write("harness: no server recorded in %s: %s\n" % (state_dir, err))
        return 1
    _terminate(pid)
    os.remove(pid_file)
    return 0


if __name__ == "__main__":
    sys.exit(_cli(sys.argv[1:]))
