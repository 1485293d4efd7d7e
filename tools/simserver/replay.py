"""Replay mode: recorded response bodies served verbatim.

For a request (method M, class C) the folder is searched, without regard to
case, for a body file whose name before the first dot is "M_C" (for example
GetClass_NVX_Fan.xml), then "M" (any class). An optional file with the same
stem and the extension ".headers" gives the status line and headers, and
after an empty line the trailers; "Transfer-Encoding: chunked" there makes
the reply chunked. Content-Length is always computed from the body.
"""

import os

from reply import Reply


class ReplayFolder:
    def __init__(self, folder):
        self.folder = folder
        self._bodies = {}
        self._headers = {}
        for name in sorted(os.listdir(folder)):
            path = os.path.join(folder, name)
            if not os.path.isfile(path):
                continue
            stem = name.split(".", 1)[0].lower()
            if name.lower().endswith(".headers"):
                self._headers[stem] = path
            else:
                self._bodies.setdefault(stem, path)

    def reply_for(self, method, class_name):
        """A Reply for the request, or None when the folder has no recording."""
        for stem in ("%s_%s" % (method, class_name or ""), method):
            path = self._bodies.get(stem.lower())
            if path is not None:
                with open(path, "rb") as f:
                    body = f.read()
                return _with_headers(body, self._headers.get(stem.lower()))
        return None


def _with_headers(body, headers_path):
    reply = Reply(200, body, [("Content-Type", 'application/xml; charset="utf-8"'),
                              ("CIMOperation", "MethodResponse")])
    if headers_path is None:
        return reply
    with open(headers_path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    reply.headers = []
    in_trailers = False
    for line in lines:
        if line.startswith("HTTP/") and not reply.headers and not in_trailers:
            parts = line.split(None, 2)
            if len(parts) >= 2 and parts[1].isdigit():
                reply.status = int(parts[1])
                if len(parts) == 3:
                    reply.reason = parts[2]
            continue
        if not line.strip():
            in_trailers = bool(reply.headers) or in_trailers
            continue
        name, _, value = line.partition(":")
        name, value = name.strip(), value.strip()
        if in_trailers:
            reply.trailers.append((name, value))
        elif name.lower() == "transfer-encoding":
            reply.chunked = "chunked" in value.lower()
        elif name.lower() != "content-length":
            reply.headers.append((name, value))
    if reply.trailers:
        reply.chunked = True
    return reply
