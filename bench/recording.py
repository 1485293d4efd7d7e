"""The requests telvanecli sends and the server's responses to them, recorded once
per scale so the timed runs can be served by the simulated server in replay mode.

capture_requests runs telvanecli once against the live server and takes its
requests from the server's request log: the connection check's GetClass, then
GetClass and EnumerateInstances for every class, with the flags telvanecli
sends. record_responses posts each distinct request to a live server of the
wanted scale and keeps the bodies as <Method>_<Class>.xml, the names replay
mode looks for. Recordings are kept between benchmark runs and made again
when the server's sources, the requests or the scale change."""

import base64
import hashlib
import http.client
import json
import os
import shutil
import ssl
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SIMSERVER_DIR = os.path.join(os.path.dirname(HERE), "tools", "simserver")
sys.path.insert(0, SIMSERVER_DIR)

from harness import SimServer  # noqa: E402

USER = "telvane"
PASSWORD = "secret"
# Copied from the captured requests; the rest (Host, Content-Length, ...) http.client sets.
_CIM_HEADERS = ("Content-Type", "CIMProtocolVersion", "CIMOperation", "CIMMethod", "CIMObject")
# A large sample takes a while to generate, load and answer.
_LIVE_LIFETIME = 900


class Request:
    """One CIM-XML request as telvanecli sent it."""

    def __init__(self, method, class_name, headers, body):
        self.method = method
        self.class_name = class_name
        self.headers = headers
        self.body = body

    @property
    def stem(self):
        return "%s_%s" % (self.method, self.class_name)


def capture_requests(telvanecli, workdir):
    """The requests of one telvanecli run (XML report to a file), in order."""
    with SimServer(sample_scale=1, user=USER, password=PASSWORD, lifetime=120) as server:
        report = os.path.join(workdir, "capture-report.xml")
        result = subprocess.run(
            [telvanecli, "-s", "127.0.0.1:%d" % server.port, "-u", USER, "-p", PASSWORD,
             "-f", "XML", "-o" + report],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=300)
        if result.returncode != 0:
            raise RuntimeError("telvanecli failed to read the sample (exit %d): %s"
                               % (result.returncode, result.stderr.decode(errors="replace")))
        requests = []
        for record in server.requests():
            if record.get("status") != 200:
                raise RuntimeError("request %d of the capture got HTTP %s"
                                   % (record["request"], record.get("status")))
            headers = {name: record["headers"][name] for name in _CIM_HEADERS
                       if name in record["headers"]}
            requests.append(Request(record["operation"], record["class_name"], headers,
                                    server.request_body(record["request"])))
    return requests


def _fingerprint(requests, scale):
    digest = hashlib.sha256(b"scale %d\n" % scale)
    for name in sorted(os.listdir(SIMSERVER_DIR)):
        if name.endswith(".py"):
            with open(os.path.join(SIMSERVER_DIR, name), "rb") as f:
                digest.update(name.encode() + b"\n" + f.read())
    for request in requests:
        digest.update(request.stem.encode() + b"\n" + request.body)
    return digest.hexdigest()


def distinct(requests):
    """The requests with a distinct (method, class), in first-seen order."""
    seen = {}
    for request in requests:
        seen.setdefault(request.stem.lower(), request)
    return list(seen.values())


def record_responses(requests, scale, folder, log):
    """Fills folder with the responses of a live server of that scale (unless a
    recording of the same server, requests and scale is there); returns the
    recording's summary: {"instances": N, "bytes": {stem: size}}."""
    fingerprint = _fingerprint(requests, scale)
    summary_path = os.path.join(folder, "summary.json")
    if os.path.exists(summary_path):
        with open(summary_path, encoding="utf-8") as f:
            summary = json.load(f)
        if summary.get("fingerprint") == fingerprint:
            log("scale %d: using the recording in %s" % (scale, folder))
            return summary
    log("scale %d: recording %d responses from a live server (once)"
        % (scale, len(distinct(requests))))
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    sizes = {}
    instances = 0
    with SimServer(sample_scale=scale, user=USER, password=PASSWORD,
                   lifetime=_LIVE_LIFETIME) as server:
        connection = http.client.HTTPSConnection(
            "127.0.0.1", server.port, context=ssl._create_unverified_context(), timeout=600)
        token = base64.b64encode(("%s:%s" % (USER, PASSWORD)).encode()).decode()
        for request in distinct(requests):
            headers = dict(request.headers, Authorization="Basic " + token)
            connection.request("POST", "/cimom", body=request.body, headers=headers)
            response = connection.getresponse()
            body = response.read()
            if response.status != 200:
                raise RuntimeError("%s: HTTP %d" % (request.stem, response.status))
            with open(os.path.join(folder, request.stem + ".xml"), "wb") as f:
                f.write(body)
            sizes[request.stem] = len(body)
            if request.method == "EnumerateInstances":
                instances += body.count(b"<INSTANCE ")
        connection.close()
    summary = {"fingerprint": fingerprint, "scale": scale, "instances": instances,
               "bytes": sizes}
    with open(summary_path, "w", encoding="utf-8") as f:
        json.dump(summary, f, indent=1)
    return summary


def body_paths(requests, folder):
    """The recorded body of every request, in request order (repeats included)."""
    return [os.path.join(folder, request.stem + ".xml") for request in requests]


def received_bytes(requests, summary):
    """Bytes of CIM-XML a client receives for the requests (response bodies)."""
    return sum(summary["bytes"][request.stem] for request in requests)
