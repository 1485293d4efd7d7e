"""One HTTP response as the server will send it, and its bytes on the wire.

A Reply holds the status, headers, body and framing; the delivery fields say
how the bytes go out (stalls, a slow trickle, a dropped connection), which is
what the fault rules change.
"""

import gzip
import http.client
import urllib.parse
import zlib


def percent_encode(text):
    """Header-safe form of a description: UTF-8, percent-escaped."""
    return urllib.parse.quote(text, safe="")


class Reply:
    def __init__(self, status=200, body=b"", headers=None):
        self.status = status
        self.reason = http.client.responses.get(status, "Unknown")
        self.headers = list(headers or [])   # (name, value) pairs, in order
        self.body = body
        self.chunked = False
        self.chunk_bytes = 4096
        self.trailers = []                   # (name, value) pairs after the last chunk
        self.encoding = None                 # "gzip" or "deflate"
        self.close = False                   # end the connection after this reply
        # delivery
        self.stall_before_headers = 0.0
        self.drop_before_headers = False
        self.body_offset = None              # where a mid-body stall or drop happens
        self.stall_mid_body = 0.0
        self.drop_mid_body = False
        self.truncate_chunked = False        # leave out the last chunk and the trailers
        self.trickle_bytes = 0               # > 0: send in pieces of this size ...
        self.trickle_interval = 0.0          # ... with this pause between them

    def set_header(self, name, value):
        self.headers = [(n, v) for n, v in self.headers if n.lower() != name.lower()]
        self.headers.append((name, value))

    def encoded_body(self):
        if self.encoding == "gzip":
            return gzip.compress(self.body, mtime=0)
        if self.encoding == "deflate":
            return zlib.compress(self.body)
        return self.body

    def wire(self):
        """(head bytes, body bytes): body as framed on the wire (chunked or not)."""
        payload = self.encoded_body()
        framing = {"content-length", "transfer-encoding", "connection", "trailer"}
        if self.encoding:
            framing.add("content-encoding")
        headers = [(n, v) for n, v in self.headers if n.lower() not in framing]
        if self.encoding:
            headers.append(("Content-Encoding", self.encoding))
        if self.chunked:
            headers.append(("Transfer-Encoding", "chunked"))
            if self.trailers:
                headers.append(("Trailer", ", ".join(n for n, _ in self.trailers)))
            framed = self._chunks(payload)
        else:
            headers.append(("Content-Length", str(len(payload))))
            framed = payload
        if self.close:
            headers.append(("Connection", "close"))
        lines = ["HTTP/1.1 %d %s" % (self.status, self.reason)]
        lines += ["%s: %s" % (n, v) for n, v in headers]
        head = ("\r\n".join(lines) + "\r\n\r\n").encode("utf-8")
        return head, framed

    def _chunks(self, payload):
        parts = []
        size = max(1, self.chunk_bytes)
        for start in range(0, len(payload), size):
            piece = payload[start:start + size]
            parts.append(b"%x\r\n%s\r\n" % (len(piece), piece))
        if self.truncate_chunked:
            # Stop inside the data: no terminating chunk, no trailers.
            data = b"".join(parts)
            return data[:max(1, len(data) // 2) if self.body_offset is None else self.body_offset]
        end = b"0\r\n" + b"".join(("%s: %s\r\n" % (n, v)).encode("utf-8")
                                  for n, v in self.trailers) + b"\r\n"
        return b"".join(parts) + end
