"""HTTP(S) side of the server: one thread per connection, keep-alive, Basic
authentication, the CIM-XML headers, and delivery of replies byte by byte so
that faults can stall, trickle or cut them."""

import base64
import binascii
import http.server
import socket
import socketserver
import ssl
import sys
import threading

import cim_request
import faults as fault_rules
from reply import Reply, percent_encode


_SEND_PIECE_BYTES = 256 * 1024


class ServerContext:
    """Everything the handlers share. Attributes are set once before serving."""

    def __init__(self, operations, credentials, www_authenticate, rules, replay, log,
                 stop_event, idle_timeout, max_request_bytes, chunked, chunk_bytes, verbose,
                 reject_expect=False):
        self.operations = operations
        self.credentials = credentials      # (user, password) as UTF-8 bytes, or None
        self.www_authenticate = www_authenticate  # challenge of a 401 reply
        self.rules = rules
        self.replay = replay
        self.log = log
        self.stop_event = stop_event
        self.idle_timeout = idle_timeout
        self.max_request_bytes = max_request_bytes
        self.chunked = chunked
        self.chunk_bytes = chunk_bytes
        self.verbose = verbose
        self.reject_expect = reject_expect  # answer any Expect header with 417, as sfcb does
        self._counter = 0
        self._counter_lock = threading.Lock()

    def next_request_number(self):
        with self._counter_lock:
            self._counter += 1
            return self._counter


class CimHttpServer(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, tls_context, context):
        self.tls_context = tls_context
        self.context = context
        super().__init__(address, CimRequestHandler)

    def server_bind(self):
        # HTTPServer.server_bind looks up the host's name, which can wait on DNS.
        socketserver.TCPServer.server_bind(self)
        self.server_name, self.server_port = self.server_address[:2]

    def handle_error(self, request, client_address):
        err = sys.exc_info()[1]
        if self.context.verbose or not isinstance(err, (OSError, ssl.SSLError)):
            print("simserver: connection from %s:%d: %s" % (client_address[0], client_address[1], err),
                  file=sys.stderr, flush=True)


class CimRequestHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "simserver"
    sys_version = ""

    def setup(self):
        context = self.server.context
        self.timeout = context.idle_timeout
        self.request.settimeout(context.idle_timeout)
        # Replies go out in several TLS records; without this, Nagle's algorithm
        # holds the last one back until the client's delayed acknowledgement.
        self.request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        if self.server.tls_context is not None:
            self.request = self.server.tls_context.wrap_socket(self.request, server_side=True)
        super().setup()

    def log_message(self, format, *args):
        if self.server.context.verbose:
            sys.stderr.write("simserver: %s\n" % (format % args))

    def handle_expect_100(self):
        if self.server.context.reject_expect:
            self._send_simple(417, "Expect is not supported")
            return False
        return super().handle_expect_100()

    def do_POST(self):
        self._handle_cim(mpost=False)

    def _handle_mpost(self):
        self._handle_cim(mpost=True)

    # ---- one CIM request -----------------------------------------------------------

    def _handle_cim(self, mpost):
        context = self.server.context
        body = self._read_body()
        if body is None:
            return
        number = context.next_request_number()
        prefix = cim_request.mpost_prefix(self.headers) if mpost else None

        request = None
        protocol_error = None
        try:
            if mpost and prefix is None:
                raise cim_request.ProtocolError(400, None, "M-POST without a Man header")
            cim_request.check_headers(self.headers, prefix)
            request = cim_request.parse_body(body, self.headers, prefix)
        except cim_request.ProtocolError as err:
            protocol_error = err

        user, authorized = self._authenticate()
        rule = None
        if not authorized:
            reply = Reply(401, b"", [("WWW-Authenticate", context.www_authenticate)])
        elif protocol_error is not None:
            reply = _protocol_error_reply(protocol_error)
        else:
            rule = context.rules.match(number, request.method, request.class_name)
            reply = self._answer(request, rule)
        reply.chunk_bytes = context.chunk_bytes
        if context.chunked and reply.status == 200:
            reply.chunked = True
        if rule is not None:
            fault_rules.apply(rule, reply, request, self.headers.get("Accept-Encoding"))
        if prefix is not None and authorized:
            _mpost_headers(reply, prefix)

        context.log.write(number, self._record(request, protocol_error, user, authorized,
                                               reply, rule, mpost), body)
        self._deliver(reply)

    def _read_body(self):
        context = self.server.context
        if context.reject_expect and self.headers.get("Expect"):
            self._send_simple(417, "Expect is not supported")
            return None
        if self.headers.get("Transfer-Encoding"):
            self._send_simple(501, "chunked request bodies are not accepted")
            return None
        length = self.headers.get("Content-Length")
        if length is None or not length.strip().isdigit():
            self._send_simple(411, "Content-Length required")
            return None
        length = int(length)
        if length > context.max_request_bytes:
            self._send_simple(413, "request body too large")
            return None
        try:
            body = self.rfile.read(length)
        except (OSError, ssl.SSLError):
            self.close_connection = True
            return None
        if len(body) != length:
            self.close_connection = True
            return None
        return body

    def _send_simple(self, status, detail):
        reply = Reply(status, b"", [("PGErrorDetail", percent_encode(detail))])
        reply.close = True
        self._deliver(reply)

    def _authenticate(self):
        """(user name or None, authorized)."""
        credentials = self.server.context.credentials
        header = self.headers.get("Authorization", "")
        scheme, _, token = header.partition(" ")
        given = None
        if scheme.lower() == "basic":
            try:
                # The user name ends at the first colon; the password may hold colons.
                given = tuple(base64.b64decode(token.strip(), validate=True).split(b":", 1))
            except (binascii.Error, ValueError):
                given = None
        user = given[0].decode("utf-8", "replace") if given else None
        if credentials is None:
            return user, True
        return user, given == credentials

    def _answer(self, request, rule):
        context = self.server.context
        if rule is not None and rule.get("action") == "wrong_class":
            request.params["classname"] = rule["other_class"]
        reply = None
        if context.replay is not None:
            reply = context.replay.reply_for(request.method, request.class_name)
        if reply is None:
            reply = Reply(200, context.operations.execute(request),
                          [("Content-Type", 'application/xml; charset="utf-8"'),
                           ("CIMOperation", "MethodResponse")])
        return reply

    def _record(self, request, protocol_error, user, authorized, reply, rule, mpost):
        headers = {}
        for name, value in self.headers.items():
            headers[name] = "(hidden)" if name.lower() == "authorization" else value
        record = {
            "http_method": "M-POST" if mpost else "POST",
            "path": self.path,
            "connection": "%s:%d" % self.client_address[:2],
            "user": user,
            "authorized": authorized,
            "status": reply.status,
            "headers": headers,
            "fault": rule.get("action", "none") if rule else None,
        }
        if request is not None:
            params = {request.sent_names[k]: v for k, v in request.params.items()
                      if k not in ("classname", "propertylist")}
            record.update(operation=request.method, namespace=request.namespace,
                          message_id=request.message_id,
                          class_name=request.sent_class_name,
                          property_list=request.params.get("propertylist"),
                          params=params)
        if protocol_error is not None:
            record.update(protocol_error=protocol_error.cim_error or "",
                          detail=protocol_error.detail)
        return record

    # ---- delivery --------------------------------------------------------------------

    def _deliver(self, reply):
        stop = self.server.context.stop_event
        try:
            if reply.stall_before_headers:
                stop.wait(reply.stall_before_headers)
            if reply.drop_before_headers:
                self._drop()
                return
            head, body = reply.wire()
            if reply.drop_mid_body or reply.stall_mid_body:
                offset = reply.body_offset if reply.body_offset is not None else len(body) // 2
                self._send(head + body[:offset], reply)
                if reply.stall_mid_body:
                    stop.wait(reply.stall_mid_body)
                if reply.drop_mid_body:
                    self._drop()
                    return
                self._send(body[offset:], reply)
            else:
                self._send(head + body, reply)
            if reply.truncate_chunked or reply.close:
                self._drop()
        except (OSError, ssl.SSLError):
            self.close_connection = True

    def _send(self, data, reply):
        if not reply.trickle_bytes:
            # In pieces: a socket timeout bounds one send call, so the idle timeout
            # then means "no progress for that long", not "the whole reply in that time".
            view = memoryview(data)
            for start in range(0, len(view), _SEND_PIECE_BYTES):
                self.wfile.write(view[start:start + _SEND_PIECE_BYTES])
            return
        stop = self.server.context.stop_event
        for start in range(0, len(data), reply.trickle_bytes):
            self.wfile.write(data[start:start + reply.trickle_bytes])
            if stop.wait(reply.trickle_interval):
                raise ConnectionAbortedError("server stopping")

    def _drop(self):
        self.close_connection = True
        try:
            self.connection.shutdown(socket.SHUT_RDWR)
        except (OSError, ValueError):
            pass
        self.connection.close()


setattr(CimRequestHandler, "do_M-POST", CimRequestHandler._handle_mpost)


_PREFIXED = {"cimoperation", "cimerror", "cimstatuscode", "cimstatuscodedescription"}


def _mpost_headers(reply, prefix):
    """Answers an M-POST in kind: CIM headers and trailers carry the "NN-" prefix."""
    def prefixed(pairs):
        return [("%s-%s" % (prefix, n) if n.lower() in _PREFIXED else n, v) for n, v in pairs]
    reply.headers = prefixed(reply.headers)
    reply.trailers = prefixed(reply.trailers)
    reply.headers += [("Ext", ""),
                      ("Man", "http://www.dmtf.org/cim/mapping/http/v1.0; ns=%s" % prefix)]


def _protocol_error_reply(err):
    headers = []
    if err.cim_error:
        headers.append(("CIMError", err.cim_error))
    headers.append(("PGErrorDetail", percent_encode(err.detail)))
    return Reply(err.status, b"", headers)
