"""A small in-code model of CIM class declarations for the sample inventory:
enough to write CLASS elements (each class with only what it defines, as a MOF
compiler writes them) and to know every class's full property list."""

from cimxml_writer import escape_text


class Prop:
    """A property declaration. values is a (ValueMap, Values) pair; either list may
    be None to leave that qualifier out."""

    def __init__(self, name, cim_type, description=None, key=False, values=None, units=None,
                 array=False, maxlen=None, default=None, deprecated=None, counter=False,
                 gauge=False):
        self.name = name
        self.cim_type = cim_type
        self.description = description
        self.key = key
        self.values = values
        self.units = units
        self.array = array
        self.maxlen = maxlen
        self.default = default
        self.deprecated = deprecated
        self.counter = counter
        self.gauge = gauge

    def xml(self):
        quals = []
        if self.key:
            quals.append(_qualifier("Key", "boolean", True, ' OVERRIDABLE="false"'))
        if self.deprecated:
            quals.append(_qualifier("Deprecated", "string", [self.deprecated],
                                    ' TOSUBCLASS="false"'))
        if self.description:
            quals.append(_qualifier("Description", "string", self.description,
                                    ' TRANSLATABLE="true"'))
        if self.maxlen:
            quals.append(_qualifier("MaxLen", "uint32", self.maxlen))
        if self.units:
            quals.append(_qualifier("PUnit", "string", self.units))
        if self.counter:
            quals.append(_qualifier("Counter", "boolean", True))
        if self.gauge:
            quals.append(_qualifier("Gauge", "boolean", True))
        if self.values:
            value_map, texts = self.values
            if value_map is not None:
                quals.append(_qualifier("ValueMap", "string", list(value_map)))
            if texts is not None:
                quals.append(_qualifier("Values", "string", list(texts), ' TRANSLATABLE="true"'))
        tag = "PROPERTY.ARRAY" if self.array else "PROPERTY"
        default = "" if self.default is None else value_xml(self.cim_type, self.default)
        return '<%s NAME="%s" TYPE="%s">%s%s</%s>\n' % (
            tag, self.name, self.cim_type, "".join(quals), default, tag)


class ClassDef:
    def __init__(self, name, superclass, description, props=(), abstract=False,
                 version="2.22.0"):
        self.name = name
        self.superclass = superclass
        self.description = description
        self.props = list(props)
        self.abstract = abstract
        self.version = version

    def xml(self):
        head = '<CLASS NAME="%s"' % self.name
        if self.superclass:
            head += ' SUPERCLASS="%s"' % self.superclass
        quals = []
        if self.abstract:
            quals.append(_qualifier("Abstract", "boolean", True, ' TOSUBCLASS="false"'))
        quals.append(_qualifier("Version", "string", self.version,
                                ' TOSUBCLASS="false" TRANSLATABLE="true"'))
        if self.description:
            quals.append(_qualifier("Description", "string", self.description,
                                    ' TRANSLATABLE="true"'))
        return "%s>\n%s\n%s</CLASS>\n" % (head, "".join(quals),
                                          "".join(p.xml() for p in self.props))


class Schema:
    """Class declarations by name, with inheritance resolved on demand."""

    def __init__(self, classes):
        self.classes = {}
        for cls in classes:
            if cls.name in self.classes:
                raise ValueError("class %s declared twice" % cls.name)
            if cls.superclass and cls.superclass not in self.classes:
                raise ValueError("%s: superclass %s is not declared before it"
                                 % (cls.name, cls.superclass))
            self.classes[cls.name] = cls

    def properties(self, name):
        """All properties of a class, inherited ones first, overrides in place."""
        cls = self.classes[name]
        props = list(self.properties(cls.superclass)) if cls.superclass else []
        positions = {p.name.lower(): i for i, p in enumerate(props)}
        for prop in cls.props:
            index = positions.get(prop.name.lower())
            if index is None:
                positions[prop.name.lower()] = len(props)
                props.append(prop)
            else:
                props[index] = prop
        return props


def _qualifier(name, cim_type, value, flavors=""):
    return '<QUALIFIER NAME="%s" TYPE="%s"%s>%s</QUALIFIER>' % (
        name, cim_type, flavors, value_xml(cim_type, value))


def text_of(cim_type, value):
    """The CIM-XML text of one scalar value."""
    if isinstance(value, bool):
        return "TRUE" if value else "FALSE"
    if isinstance(value, float):
        return repr(value)
    return str(value)


def value_xml(cim_type, value):
    """VALUE or VALUE.ARRAY for a Python value; None elements of a list become VALUE.NULL."""
    if isinstance(value, (list, tuple)):
        return "<VALUE.ARRAY>%s</VALUE.ARRAY>" % "".join(
            "<VALUE.NULL></VALUE.NULL>" if v is None
            else "<VALUE>%s</VALUE>" % escape_text(text_of(cim_type, v)) for v in value)
    return "<VALUE>%s</VALUE>" % escape_text(text_of(cim_type, value))


def instance_xml(schema, class_name, values):
    """An INSTANCE with every property of the class (null where values has none),
    wrapped in VALUE.OBJECT. Unknown keys in values are a programming error."""
    props = schema.properties(class_name)
    known = {p.name for p in props}
    unknown = set(values) - known
    if unknown:
        raise KeyError("%s has no properties %s" % (class_name, sorted(unknown)))
    out = ['<VALUE.OBJECT><INSTANCE CLASSNAME="%s">' % class_name]
    for prop in props:
        value = values.get(prop.name)
        tag = "PROPERTY.ARRAY" if prop.array else "PROPERTY"
        inner = "" if value is None else value_xml(prop.cim_type, value)
        out.append('<%s NAME="%s" TYPE="%s">%s</%s>' % (tag, prop.name, prop.cim_type,
                                                      inner, tag))
    out.append("</INSTANCE></VALUE.OBJECT>\n")
    return "".join(out)
