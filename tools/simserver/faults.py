"""Fault injection: rules from a JSON file that change chosen responses.

The file holds a list of rules (or {"faults": [...]}). A rule matches a
request by any of "operation", "class" (both case-insensitive) and "request"
(the 1-based request number, or a list of them); a rule without criteria
matches every request. "times" limits how often it fires. The first matching
rule that has not used up its times is applied. README.md lists the actions.
"""

import http.client
import json
import re
import threading

from cimxml_writer import error_body, error_description
from reply import percent_encode

ACTIONS = {
    "none", "http_status", "cim_error", "drop", "stall", "trickle", "malformed_xml",
    "invalid_utf8", "truncated_chunked", "oversized_value", "wrong_class",
}
_MODIFIERS = {"chunked", "chunk_bytes", "encoding", "force_encoding", "connection_close",
              "headers", "trailers"}
_MATCHERS = {"operation", "class", "request", "times"}
_PARAMETERS = {
    "none": set(),
    "http_status": {"status", "body", "www_authenticate"},
    "cim_error": {"code", "description", "where", "status", "cim_error", "raw_description"},
    "drop": {"at", "after_bytes"},
    "stall": {"seconds", "at", "after_bytes", "then"},
    "trickle": {"piece_bytes", "interval"},
    "malformed_xml": {"style"},
    "invalid_utf8": {"property"},
    "truncated_chunked": {"after_bytes"},
    "oversized_value": {"bytes", "property"},
    "wrong_class": {"other_class"},
}


class FaultFileError(Exception):
    pass


class FaultRules:
    def __init__(self, rules=()):
        self._rules = list(rules)
        self._fired = [0] * len(self._rules)
        self._lock = threading.Lock()

    @classmethod
    def load(cls, path):
        try:
            with open(path, encoding="utf-8") as f:
                data = json.load(f)
        except (OSError, ValueError) as err:
            raise FaultFileError("cannot read fault file %s: %s" % (path, err)) from err
        rules = data.get("faults") if isinstance(data, dict) else data
        if not isinstance(rules, list):
            raise FaultFileError("%s: expected a list of rules" % path)
        for number, rule in enumerate(rules, 1):
            _validate(rule, "%s: rule %d" % (path, number))
        return cls(rules)

    def match(self, request_number, operation, class_name):
        """The first applicable rule (counted as fired), or None."""
        with self._lock:
            for index, rule in enumerate(self._rules):
                if not _matches(rule, request_number, operation, class_name):
                    continue
                times = rule.get("times")
                if times is not None and self._fired[index] >= times:
                    continue
                self._fired[index] += 1
                return rule
        return None


def _validate(rule, where):
    if not isinstance(rule, dict):
        raise FaultFileError("%s: not an object" % where)
    action = rule.get("action", "none")
    if action not in ACTIONS:
        raise FaultFileError("%s: unknown action %r" % (where, action))
    unknown = set(rule) - _MATCHERS - _MODIFIERS - _PARAMETERS[action] - {"action"}
    if unknown:
        raise FaultFileError("%s: unknown field(s) %s for action %s"
                             % (where, ", ".join(sorted(unknown)), action))
    if action == "http_status" and not isinstance(rule.get("status"), int):
        raise FaultFileError("%s: http_status needs an integer status" % where)
    if action == "cim_error" and not isinstance(rule.get("code"), int):
        raise FaultFileError("%s: cim_error needs an integer code" % where)
    if action == "stall" and not isinstance(rule.get("seconds"), (int, float)):
        raise FaultFileError("%s: stall needs seconds" % where)
    if action == "wrong_class" and not isinstance(rule.get("other_class"), str):
        raise FaultFileError("%s: wrong_class needs other_class" % where)
    if action == "cim_error" and rule.get("where", "body") not in ("body", "trailer", "header"):
        raise FaultFileError("%s: where must be body, trailer or header" % where)
    if rule.get("encoding") not in (None, "gzip", "deflate"):
        raise FaultFileError("%s: encoding must be gzip or deflate" % where)


def _matches(rule, number, operation, class_name):
    if "operation" in rule and (operation or "").lower() != rule["operation"].lower():
        return False
    if "class" in rule and (class_name or "").lower() != rule["class"].lower():
        return False
    if "request" in rule:
        wanted = rule["request"]
        if number not in (wanted if isinstance(wanted, list) else [wanted]):
            return False
    return True


def _value_position(body, property_name):
    """Offset just inside the first VALUE of the named property, or of the first
    string-valued property, or of any VALUE; None when the body has none."""
    if property_name:
        match = re.search(rb'<PROPERTY[^>]*NAME="%s"[^>]*>\s*<VALUE>' %
                          re.escape(property_name.encode("utf-8")), body, re.I)
    else:
        match = re.search(rb'<PROPERTY\b[^>]*TYPE="string"[^>]*>\s*<VALUE>', body)
    if match is None:
        match = re.search(rb"<VALUE>", body)
    return match.end() if match else None


def _insert_in_value(body, property_name, data):
    position = _value_position(body, property_name)
    if position is None:
        return body
    return body[:position] + data + body[position:]


def _malformed(body, style):
    if style == "truncated":
        return body[:len(body) // 2]
    if style == "control_char":
        return _insert_in_value(body, None, b"\x01")
    for tag in (b"</VALUE>", b"</IMETHODRESPONSE>"):
        position = body.find(tag)
        if position >= 0:
            return body[:position] + tag[:-1] + b"X>" + body[position + len(tag):]
    return body + b"<"


def apply(rule, reply, request, accept_encoding):
    """Changes reply as the rule says. request is the decoded CimRequest or None."""
    action = rule.get("action", "none")
    if action == "http_status":
        reply.status = rule["status"]
        reply.reason = _reason(reply.status)
        reply.body = rule.get("body", "").encode("utf-8")
        reply.headers = [("Content-Type", "text/html")] if reply.body else []
        if reply.status == 401:
            challenge = rule.get("www_authenticate", 'Basic realm="simserver"')
            if challenge:
                reply.headers.append(("WWW-Authenticate", challenge))
    elif action == "cim_error":
        _cim_error(rule, reply, request)
    elif action == "drop":
        at = rule.get("at", "mid_body")
        if at == "before_headers":
            reply.drop_before_headers = True
        else:
            reply.drop_mid_body = True
            reply.body_offset = 0 if at == "after_headers" else rule.get("after_bytes")
    elif action == "stall":
        if rule.get("at", "before_headers") == "before_headers":
            reply.stall_before_headers = float(rule["seconds"])
            reply.drop_before_headers = rule.get("then") == "drop"
        else:
            reply.stall_mid_body = float(rule["seconds"])
            reply.body_offset = rule.get("after_bytes")
            reply.drop_mid_body = rule.get("then") == "drop"
    elif action == "trickle":
        reply.trickle_bytes = int(rule.get("piece_bytes", 16))
        reply.trickle_interval = float(rule.get("interval", 0.02))
    elif action == "malformed_xml":
        reply.body = _malformed(reply.body, rule.get("style", "mismatched_tag"))
    elif action == "invalid_utf8":
        reply.body = _insert_in_value(reply.body, rule.get("property"), b"\xff\xfe\xc3(")
    elif action == "truncated_chunked":
        reply.chunked = True
        reply.truncate_chunked = True
        reply.close = True
        reply.body_offset = rule.get("after_bytes")
    elif action == "oversized_value":
        size = int(rule.get("bytes", 16 * 1024 * 1024))
        reply.body = _insert_in_value(reply.body, rule.get("property"), b"x" * size)
    _apply_modifiers(rule, reply, accept_encoding)


def _cim_error(rule, reply, request):
    code = rule["code"]
    description = rule.get("description", error_description(code, ""))
    where = rule.get("where", "body")
    message_id = request.message_id if request else "0"
    method = request.method if request else "GetClass"
    # OpenPegasus percent-encodes descriptions in headers and trailers, sfcb does not.
    header_text = description if rule.get("raw_description") else percent_encode(description)
    if where == "body":
        reply.body = error_body(message_id, method, code, description)
    elif where == "trailer":
        # The body stays a complete answer; only the trailer tells of the failure.
        reply.chunked = True
        reply.trailers = [("CIMStatusCode", str(code)),
                          ("CIMStatusCodeDescription", header_text)]
    else:  # "header"
        reply.status = rule.get("status", 400)
        reply.reason = _reason(reply.status)
        reply.body = b""
        reply.headers = [("CIMError", rule.get("cim_error", "request-not-valid")),
                         ("PGErrorDetail", percent_encode(description)),
                         ("CIMStatusCode", str(code)),
                         ("CIMStatusCodeDescription", header_text)]


def _apply_modifiers(rule, reply, accept_encoding):
    if rule.get("chunked"):
        reply.chunked = True
    if "chunk_bytes" in rule:
        reply.chunk_bytes = int(rule["chunk_bytes"])
    encoding = rule.get("encoding")
    if encoding and (rule.get("force_encoding") or _accepts(accept_encoding, encoding)):
        reply.encoding = encoding
    if rule.get("connection_close"):
        reply.close = True
    for name, value in rule.get("headers", {}).items():
        reply.set_header(name, value)
    if rule.get("trailers"):
        reply.chunked = True
        reply.trailers.extend(rule["trailers"].items())


def _accepts(accept_encoding, encoding):
    for item in (accept_encoding or "").split(","):
        name, _, params = item.strip().partition(";")
        if name.strip().lower() in (encoding, "*") and params.replace(" ", "") != "q=0":
            return True
    return False


def _reason(status):
    return http.client.responses.get(status, "Unknown")
