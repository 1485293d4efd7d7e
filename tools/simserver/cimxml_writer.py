"""CIM-XML text production: escaping, element serialisation and response envelopes.

Elements read from repository files are written back in a normalised form: the
whitespace that indents element-only content is dropped, the text of leaf
elements (VALUE, KEYVALUE, ...) is kept byte for byte.
"""

XML_NAMESPACE = "{http://www.w3.org/XML/1998/namespace}"

# CIM status codes and the names servers put in front of their descriptions.
CIM_STATUS_NAMES = {
    1: "CIM_ERR_FAILED",
    2: "CIM_ERR_ACCESS_DENIED",
    3: "CIM_ERR_INVALID_NAMESPACE",
    4: "CIM_ERR_INVALID_PARAMETER",
    5: "CIM_ERR_INVALID_CLASS",
    6: "CIM_ERR_NOT_FOUND",
    7: "CIM_ERR_NOT_SUPPORTED",
    8: "CIM_ERR_CLASS_HAS_CHILDREN",
    9: "CIM_ERR_CLASS_HAS_INSTANCES",
    10: "CIM_ERR_INVALID_SUPERCLASS",
    11: "CIM_ERR_ALREADY_EXISTS",
    12: "CIM_ERR_NO_SUCH_PROPERTY",
    13: "CIM_ERR_TYPE_MISMATCH",
    14: "CIM_ERR_QUERY_LANGUAGE_NOT_SUPPORTED",
    15: "CIM_ERR_INVALID_QUERY",
    16: "CIM_ERR_METHOD_NOT_AVAILABLE",
    17: "CIM_ERR_METHOD_NOT_FOUND",
}

_TEXT_ESCAPES = str.maketrans({"&": "&amp;", "<": "&lt;", ">": "&gt;", "\r": "&#13;"})
_ATTR_ESCAPES = str.maketrans({
    "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;",
    "\r": "&#13;", "\n": "&#10;", "\t": "&#9;",
})


def escape_text(text):
    return text.translate(_TEXT_ESCAPES)


def escape_attr(text):
    return text.translate(_ATTR_ESCAPES)


def attr_name(name):
    """ElementTree spells xml:lang with the namespace URI; write it back as xml:lang."""
    if name.startswith(XML_NAMESPACE):
        return "xml:" + name[len(XML_NAMESPACE):]
    return name


def attributes_text(attrib, skip=()):
    """' A="v" B="w"' for the attributes of an element, in document order."""
    return "".join(
        ' %s="%s"' % (attr_name(k), escape_attr(v)) for k, v in attrib.items() if k not in skip)


def serialize(elem, out, skip=()):
    """Appends the text of an ElementTree element (without its tail) to the list out,
    leaving out the element's own attributes named in skip."""
    tag = elem.tag
    attrib = elem.attrib
    out.append("<" + tag + attributes_text(attrib, skip) if attrib else "<" + tag)
    if len(elem):
        out.append(">")
        for child in elem:
            serialize(child, out)
        out.append("</%s>" % tag)
    else:
        # An explicit end tag even when empty: some clients' parsers insist on it.
        text = elem.text
        out.append(">%s</%s>" % (text.translate(_TEXT_ESCAPES) if text else "", tag))


def element_text(elem, skip=()):
    out = []
    serialize(elem, out, skip)
    return "".join(out)


def envelope_start(message_id, method, extrinsic=False):
    response_tag = "METHODRESPONSE" if extrinsic else "IMETHODRESPONSE"
    return (
        '<?xml version="1.0" encoding="utf-8" ?>\n'
        '<CIM CIMVERSION="2.0" DTDVERSION="2.0">\n'
        '<MESSAGE ID="%s" PROTOCOLVERSION="1.0">\n'
        '<SIMPLERSP>\n'
        '<%s NAME="%s">\n' % (escape_attr(message_id), response_tag, escape_attr(method)))


def envelope_end(extrinsic=False):
    response_tag = "METHODRESPONSE" if extrinsic else "IMETHODRESPONSE"
    return "</%s>\n</SIMPLERSP>\n</MESSAGE>\n</CIM>\n" % response_tag


def error_description(code, detail):
    """Description in the usual server form: "CIM_ERR_NOT_FOUND: detail"."""
    name = CIM_STATUS_NAMES.get(code)
    if name is None:
        return detail
    return "%s: %s" % (name, detail) if detail else name


def error_body(message_id, method, code, description, extrinsic=False):
    attrs = ' CODE="%d"' % code
    if description is not None:
        attrs += ' DESCRIPTION="%s"' % escape_attr(description)
    return (envelope_start(message_id, method, extrinsic) + "<ERROR%s/>\n" % attrs
            + envelope_end(extrinsic)).encode("utf-8")
