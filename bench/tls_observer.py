"""A relay on 127.0.0.1 between a client and the server that reads the plain-text
hellos of every TLS handshake passing through it, so the benchmark can count a
client's handshakes and see which of them resumed an earlier session, without
help from either side.

A TLS 1.3 handshake resumed: the ServerHello accepts a pre-shared key
(extension 41). A TLS 1.2 handshake resumed: the ServerHello repeats the
non-empty session id the ClientHello offered."""

import socket
import threading

_HANDSHAKE = 22
_CLIENT_HELLO = 1
_SERVER_HELLO = 2
_SUPPORTED_VERSIONS = 43
_PRE_SHARED_KEY = 41


def _hello(data):
    """(session id, extension types) of the hello at the start of data, or None
    while the first handshake record is incomplete."""
    if len(data) < 5:
        return None
    if data[0] != _HANDSHAKE:
        return (b"", set())
    record_end = 5 + int.from_bytes(data[3:5], "big")
    if len(data) < record_end:
        return None
    body = data[9:record_end]  # after the record header and the handshake header
    at = 2 + 32  # version, random
    session_id = body[at + 1:at + 1 + body[at]]
    at += 1 + body[at]
    if data[5] == _CLIENT_HELLO:
        at += 2 + int.from_bytes(body[at:at + 2], "big")  # cipher suites
        at += 1 + body[at]  # compression methods
    else:
        at += 2 + 1  # chosen cipher suite and compression
    extensions = set()
    end = at + 2 + int.from_bytes(body[at:at + 2], "big") if at + 2 <= len(body) else at
    at += 2
    while at + 4 <= min(end, len(body)):
        extensions.add(int.from_bytes(body[at:at + 2], "big"))
        at += 4 + int.from_bytes(body[at + 2:at + 4], "big")
    return (session_id, extensions)


class _Connection:
    def __init__(self):
        self.client_hello = None
        self.server_hello = None

    @property
    def resumed(self):
        if self.client_hello is None or self.server_hello is None:
            return False
        server_id, server_extensions = self.server_hello
        if _SUPPORTED_VERSIONS in server_extensions:
            return _PRE_SHARED_KEY in server_extensions
        client_id = self.client_hello[0]
        return bool(client_id) and client_id == server_id


class TlsObserver:
    """Listens on a free port of 127.0.0.1 and relays every connection to
    target_port. Use as a context manager; handshakes and resumed count the
    connections seen so far."""

    def __init__(self, target_port):
        self.target_port = target_port
        self._listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self._listener.bind(("127.0.0.1", 0))
        self._listener.listen(16)
        self.port = self._listener.getsockname()[1]
        self._connections = []
        self._lock = threading.Lock()
        self._stopped = threading.Event()

    def __enter__(self):
        threading.Thread(target=self._accept, daemon=True).start()
        return self

    def __exit__(self, *exc):
        self._stopped.set()
        self._listener.close()

    @property
    def handshakes(self):
        with self._lock:
            return sum(1 for c in self._connections if c.client_hello is not None)

    @property
    def resumed(self):
        with self._lock:
            return sum(1 for c in self._connections if c.resumed)

    def _accept(self):
        while not self._stopped.is_set():
            try:
                client, _ = self._listener.accept()
            except OSError:
                return
            server = socket.create_connection(("127.0.0.1", self.target_port), timeout=60)
            connection = _Connection()
            with self._lock:
                self._connections.append(connection)
            threading.Thread(target=self._pump, args=(client, server, connection, "client_hello"),
                             daemon=True).start()
            threading.Thread(target=self._pump, args=(server, client, connection, "server_hello"),
                             daemon=True).start()

    def _pump(self, source, sink, connection, hello):
        seen = b""
        try:
            while True:
                data = source.recv(65536)
                if not data:
                    break
                if getattr(connection, hello) is None:
                    seen += data
                    parsed = _hello(seen)
                    if parsed is not None:
                        with self._lock:
                            setattr(connection, hello, parsed)
                sink.sendall(data)
        except OSError:
            pass
        finally:
            for end in (source, sink):
                try:
                    end.shutdown(socket.SHUT_RDWR)
                except OSError:
                    pass
