"""A deliberately small HTTPS client for the server tests: it sends one CIM-XML
request and keeps everything it receives (status, headers, body, trailers, and
whether the connection ended early), so the tests can see faults that a full
HTTP library would hide or turn into exceptions."""

import base64
import socket
import ssl
import time


def request_body(method, class_name=None, namespace="root/quorvin", params=(), message_id="1001"):
    """A CIM-XML intrinsic method call. params: (name, value) pairs where value is
    a bool, a list of property names, or a str (a CLASSNAME)."""
    parts = ['<?xml version="1.0" encoding="utf-8" ?>',
             '<CIM CIMVERSION="2.0" DTDVERSION="2.0">',
             '<MESSAGE ID="%s" PROTOCOLVERSION="1.0"><SIMPLEREQ>' % message_id,
             '<IMETHODCALL NAME="%s"><LOCALNAMESPACEPATH>' % method]
    parts += ['<NAMESPACE NAME="%s"/>' % n for n in namespace.split("/")]
    parts.append("</LOCALNAMESPACEPATH>")
    if class_name is not None:
        parts.append('<IPARAMVALUE NAME="ClassName"><CLASSNAME NAME="%s"/></IPARAMVALUE>'
                     % class_name)
    for name, value in params:
        if isinstance(value, bool):
            inner = "<VALUE>%s</VALUE>" % ("TRUE" if value else "FALSE")
        elif isinstance(value, list):
            inner = "<VALUE.ARRAY>%s</VALUE.ARRAY>" % "".join(
                "<VALUE>%s</VALUE>" % v for v in value)
        else:
            inner = '<CLASSNAME NAME="%s"/>' % value
        parts.append('<IPARAMVALUE NAME="%s">%s</IPARAMVALUE>' % (name, inner))
    parts.append("</IMETHODCALL></SIMPLEREQ></MESSAGE></CIM>")
    return "\n".join(parts).encode("utf-8")


class Response:
    def __init__(self):
        self.status = None
        self.headers = {}       # lower-case name -> value
        self.body = b""         # after de-chunking, before any decompression
        self.trailers = {}
        self.complete = False   # the whole message arrived as framed
        self.first_byte_after = None
        self.elapsed = None

    def header(self, name):
        return self.headers.get(name.lower())


class Connection:
    """One TLS connection to 127.0.0.1:port that can carry several requests."""

    def __init__(self, port, timeout=10.0, read_pause=0.0):
        """read_pause: seconds to wait after every receive, to act as a slow client."""
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_CLIENT)
        context.check_hostname = False
        context.verify_mode = ssl.CERT_NONE
        raw = socket.create_connection(("127.0.0.1", port), timeout=timeout)
        self.sock = context.wrap_socket(raw)
        self.port = port
        self.read_pause = read_pause
        self.buffer = bytearray()

    def close(self):
        self.sock.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def post(self, body, method=None, class_name=None, user="telvane", password="secret",
             namespace="root/quorvin", extra_headers=(), verb="POST", cim_headers=True,
             send_body=True):
        """Sends one request (the body only when send_body, as a client that waits
        for "100 Continue" does) and reads the reply."""
        headers = [("Host", "127.0.0.1:%d" % self.port),
                   ("Content-Type", 'application/xml; charset="utf-8"'),
                   ("Content-Length", str(len(body)))]
        if user is not None:
            token = base64.b64encode(("%s:%s" % (user, password)).encode("utf-8")).decode()
            headers.append(("Authorization", "Basic " + token))
        if cim_headers:
            headers += [("CIMOperation", "MethodCall"), ("CIMMethod", method),
                        ("CIMObject", namespace.replace("/", "%2F"))]
        headers += list(extra_headers)
        head = "%s /cimom HTTP/1.1\r\n" % verb + "".join("%s: %s\r\n" % h for h in headers)
        started = time.monotonic()
        self.sock.sendall(head.encode("utf-8") + b"\r\n" + (body if send_body else b""))
        return self.read_response(started)

    def _fill(self, response, started):
        try:
            data = self.sock.recv(65536)
        except (ConnectionError, ssl.SSLError, socket.timeout):
            data = b""
        if data and self.read_pause:
            time.sleep(self.read_pause)
        if data and response.first_byte_after is None:
            response.first_byte_after = time.monotonic() - started
        self.buffer += data
        return bool(data)

    def _read_line(self, response, started):
        while b"\r\n" not in self.buffer:
            if not self._fill(response, started):
                return None
        end = self.buffer.index(b"\r\n")
        line = bytes(self.buffer[:end])
        del self.buffer[:end + 2]
        return line.decode("latin-1")

    def _read_exact(self, count, response, started):
        while len(self.buffer) < count:
            if not self._fill(response, started):
                data = bytes(self.buffer)
                self.buffer.clear()
                return data
        data = bytes(self.buffer[:count])
        del self.buffer[:count]
        return data

    def _read_fields(self, response, started, into):
        while True:
            line = self._read_line(response, started)
            if line is None:
                return False
            if not line:
                return True
            name, _, value = line.partition(":")
            into[name.strip().lower()] = value.strip()

    def read_response(self, started=None):
        """Reads one reply from the connection; started is the send time (time.monotonic)."""
        started = time.monotonic() if started is None else started
        response = Response()
        try:
            status_line = self._read_line(response, started)
            if status_line is None:
                return response
            response.status = int(status_line.split()[1])
            if not self._read_fields(response, started, response.headers):
                return response
            if "chunked" in response.headers.get("transfer-encoding", ""):
                self._read_chunked(response, started)
            else:
                length = int(response.headers.get("content-length", "0"))
                response.body = self._read_exact(length, response, started)
                response.complete = len(response.body) == length
            return response
        finally:
            response.elapsed = time.monotonic() - started

    def _read_chunked(self, response, started):
        pieces = []
        while True:
            line = self._read_line(response, started)
            if line is None or not line.strip():
                break
            size = int(line.split(";")[0], 16)
            if size == 0:
                response.complete = self._read_fields(response, started, response.trailers)
                break
            piece = self._read_exact(size + 2, response, started)
            pieces.append(piece[:size])
            if len(piece) < size + 2:
                break
        response.body = b"".join(pieces)


def post(port, body, **kwargs):
    """One request on a fresh connection."""
    with Connection(port, timeout=kwargs.pop("timeout", 10.0)) as connection:
        return connection.post(body, **kwargs)


def call(port, method, class_name=None, params=(), namespace="root/quorvin", **kwargs):
    body = request_body(method, class_name, namespace, params)
    return post(port, body, method=method, class_name=class_name, namespace=namespace, **kwargs)
