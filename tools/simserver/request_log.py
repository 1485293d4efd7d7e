"""The request log: one JSON record per request in requests.jsonl, and the raw
request body of every request as bodies/NNNN.xml, in one directory."""

import json
import os
import threading
import time


class RequestLog:
    def __init__(self, directory):
        self.directory = directory
        self._lock = threading.Lock()
        self._started = time.monotonic()
        if directory:
            os.makedirs(os.path.join(directory, "bodies"), exist_ok=True)
            self._records = open(os.path.join(directory, "requests.jsonl"), "a",
                                 encoding="utf-8")

    def write(self, number, record, body):
        """Stores one request; record is completed with its number, time and body file."""
        if not self.directory:
            return
        body_name = os.path.join("bodies", "%04d.xml" % number)
        record = dict(record, request=number,
                      time=time.strftime("%Y-%m-%dT%H:%M:%S", time.localtime()),
                      elapsed=round(time.monotonic() - self._started, 3),
                      body_file=body_name)
        with self._lock:
            with open(os.path.join(self.directory, body_name), "wb") as f:
                f.write(body)
            self._records.write(json.dumps(record, ensure_ascii=False) + "\n")
            self._records.flush()

    def close(self):
        if self.directory:
            with self._lock:
                self._records.close()
