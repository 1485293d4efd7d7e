"""Decoding of one CIM-XML request: HTTP headers and the MESSAGE body.

Problems at the protocol level raise ProtocolError, which the server answers
with an HTTP status and a CIMError header, as CIM servers do. Problems with
parameters are CIM errors answered inside the response body.
"""

import urllib.parse
import xml.etree.ElementTree as ET


class ProtocolError(Exception):
    def __init__(self, status, cim_error, detail):
        super().__init__(detail)
        self.status = status
        self.cim_error = cim_error  # CIMError header value, or None for a bare status
        self.detail = detail


class CimRequest:
    """One decoded request. params maps lower-case parameter names to values:
    a str (VALUE or CLASSNAME), a list of str (VALUE.ARRAY) or None (NULL)."""

    def __init__(self, message_id, method, namespace, params, sent_names, extrinsic,
                 duplicate=None):
        self.message_id = message_id
        self.sent_names = sent_names  # lower-case name -> name as the client spelt it
        self.sent_class_name = params.get("classname") if isinstance(
            params.get("classname"), str) else None
        self.duplicate_parameter = duplicate  # name of a parameter sent twice
        self.method = method
        self.namespace = namespace
        self.params = params
        self.extrinsic = extrinsic

    @property
    def class_name(self):
        value = self.params.get("classname")
        return value if isinstance(value, str) else None


def cim_header(headers, name, prefix):
    """Value of a CIM header, also in its M-POST form "NN-Name"."""
    if prefix:
        value = headers.get("%s-%s" % (prefix, name))
        if value is not None:
            return value
    return headers.get(name)


def mpost_prefix(headers):
    """The two-digit namespace of an M-POST request's Man header, or None."""
    man = headers.get("Man", "")
    for part in man.split(";")[1:]:
        key, _, value = part.strip().partition("=")
        if key.strip().lower() == "ns":
            return value.strip()
    return None


def _namespace_key(text):
    return "/".join(p for p in text.strip().split("/") if p).lower()


def check_headers(headers, prefix):
    operation = cim_header(headers, "CIMOperation", prefix)
    if operation is None:
        raise ProtocolError(400, None, "missing CIMOperation header")
    if operation.strip().lower() != "methodcall":
        raise ProtocolError(400, "unsupported-operation", "CIMOperation is %r" % operation)
    content_type = headers.get("Content-Type")
    if content_type is not None:
        media = content_type.split(";")[0].strip().lower()
        if media not in ("application/xml", "text/xml"):
            raise ProtocolError(400, None, "unsupported Content-Type %r" % content_type)
    version = cim_header(headers, "CIMProtocolVersion", prefix)
    if version is not None and not version.strip().startswith("1."):
        raise ProtocolError(501, "unsupported-protocol-version", "CIMProtocolVersion %r" % version)


def _param_value(param):
    children = list(param)
    if not children:
        return None
    child = children[0]
    if child.tag == "CLASSNAME":
        name = child.get("NAME", "")
        if not name:
            raise ProtocolError(400, "request-not-valid", "CLASSNAME without a name")
        return name
    if child.tag == "VALUE":
        return child.text or ""
    if child.tag == "VALUE.ARRAY":
        return [v.text or "" for v in child if v.tag == "VALUE"]
    return child.tag  # a kind of value no supported operation takes


def parse_body(body, headers, prefix):
    try:
        root = ET.fromstring(body)
    except ET.ParseError as err:
        raise ProtocolError(400, "request-not-well-formed", str(err)) from err
    if root.tag != "CIM":
        raise ProtocolError(400, "request-not-valid", "root element is %s" % root.tag)
    message = root.find("MESSAGE")
    if message is None:
        raise ProtocolError(400, "request-not-valid", "no MESSAGE element")
    if message.find("MULTIREQ") is not None:
        raise ProtocolError(501, "multiple-requests-unsupported", "MULTIREQ")
    simple = message.find("SIMPLEREQ")
    call = simple.find("IMETHODCALL") if simple is not None else None
    extrinsic = False
    if call is None and simple is not None:
        call = simple.find("METHODCALL")
        extrinsic = call is not None
    if call is None:
        raise ProtocolError(400, "request-not-valid", "no IMETHODCALL element")
    method = call.get("NAME", "")
    header_method = cim_header(headers, "CIMMethod", prefix)
    if header_method is None or urllib.parse.unquote(header_method) != method:
        raise ProtocolError(400, "header-mismatch", "CIMMethod %r for %s" % (header_method, method))

    path = call.find("LOCALNAMESPACEPATH")
    if path is None and extrinsic:
        path = call.find("LOCALINSTANCEPATH/LOCALNAMESPACEPATH")
        if path is None:
            path = call.find("LOCALCLASSPATH/LOCALNAMESPACEPATH")
    if path is None:
        raise ProtocolError(400, "request-not-valid", "no LOCALNAMESPACEPATH element")
    namespace = "/".join(n.get("NAME", "") for n in path.findall("NAMESPACE"))
    header_object = cim_header(headers, "CIMObject", prefix)
    if not header_object:
        raise ProtocolError(400, "header-mismatch", "missing or empty CIMObject header")
    object_text = urllib.parse.unquote(header_object)
    if not extrinsic and _namespace_key(object_text) != _namespace_key(namespace):
        raise ProtocolError(400, "header-mismatch",
                            "CIMObject %r for namespace %r" % (object_text, namespace))

    params = {}
    sent_names = {}
    duplicate = None
    for param in call.findall("IPARAMVALUE"):
        key = param.get("NAME", "").lower()
        if key in params:
            duplicate = param.get("NAME", "")
        params[key] = _param_value(param)
        sent_names[key] = param.get("NAME", "")
    return CimRequest(message.get("ID", ""), method, namespace, params, sent_names, extrinsic,
                      duplicate)


def boolean_param(request, name, default):
    value = request.params.get(name.lower())
    if value is None:
        return default
    if not isinstance(value, str) or value.strip().upper() not in ("TRUE", "FALSE"):
        raise ProtocolError(400, "request-not-valid", "%s is not a boolean" % name)
    return value.strip().upper() == "TRUE"


def property_list_param(request):
    value = request.params.get("propertylist")
    if value is None:
        return None
    if isinstance(value, str):
        raise ProtocolError(400, "request-not-valid", "PropertyList is not an array")
    return value


def namespace_matches(request_namespace, served):
    key = _namespace_key(request_namespace)
    return any(key == _namespace_key(n) for n in served)
