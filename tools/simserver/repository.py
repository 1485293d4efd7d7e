"""The server's class and instance store, loaded from CIM-XML files.

Any file whose elements include CLASS or INSTANCE declarations is accepted: a
DECLARATION/DECLGROUP file, a VALUE.OBJECT list, VALUE.NAMEDINSTANCE lists,
or a whole GetClass/EnumerateInstances response. Class names compare without
regard to case, as CIM names do. Inherited properties and qualifiers are
resolved when a class is first asked for, so a class file may list only what
the class itself defines (the usual MOF-compiler output) or everything (the
usual server output, with PROPAGATED="true" on the inherited parts).
"""

import sys
import xml.etree.ElementTree as ET

from cimxml_writer import attributes_text, element_text, escape_attr, escape_text


class CimError(Exception):
    """A CIM status the operation answers with in an ERROR element."""

    def __init__(self, code, detail):
        super().__init__(detail)
        self.code = code
        self.detail = detail


class RepositoryError(Exception):
    """A repository file that cannot be read or holds an inconsistent declaration."""


# Qualifiers whose flavour is Restricted in the DMTF declarations: they stay
# with the class or property that carries them and are not inherited.
_RESTRICTED_QUALIFIERS = {"abstract", "deprecated", "experimental", "override", "version"}

# Wrappers whose INSTANCENAME (directly or inside an instance path) names the
# INSTANCE that follows it.
_PATH_WRAPPERS = {"VALUE.NAMEDINSTANCE", "VALUE.OBJECTWITHPATH",
                  "VALUE.OBJECTWITHLOCALPATH", "VALUE.INSTANCEWITHPATH"}

_FEATURE_TAGS = {"PROPERTY", "PROPERTY.ARRAY", "PROPERTY.REFERENCE", "METHOD"}
_INSTANCE_PROPERTY_TAGS = {"PROPERTY", "PROPERTY.ARRAY", "PROPERTY.REFERENCE"}
_PER_REQUEST_ATTRIBUTES = ("CLASSORIGIN", "PROPAGATED")


class Qualifier:
    __slots__ = ("name", "attrs", "value_xml", "propagates")

    def __init__(self, elem):
        self.name = elem.get("NAME", "")
        self.attrs = {k: v for k, v in elem.attrib.items() if k != "PROPAGATED"}
        self.value_xml = "".join(element_text(child) for child in elem)
        self.propagates = (elem.get("TOSUBCLASS", "true").lower() != "false"
                           and self.name.lower() not in _RESTRICTED_QUALIFIERS)

    def text(self, propagated):
        flag = ' PROPAGATED="true"' if propagated else ""
        return "<QUALIFIER%s%s>%s</QUALIFIER>" % (attributes_text(self.attrs), flag,
                                                  self.value_xml)


def _merge_qualifiers(local, inherited):
    """Local qualifiers first, then the inherited ones the element does not override."""
    names = {q.name.lower() for q, _ in local}
    return local + [(q, True) for q, _ in inherited
                    if q.propagates and q.name.lower() not in names]


class Feature:
    """A property or method of a resolved class."""
    __slots__ = ("tag", "name", "attrs", "qualifiers", "inner_xml", "origin", "propagated")

    def __init__(self, tag, name, attrs, qualifiers, inner_xml, origin, propagated):
        self.tag = tag
        self.name = name
        self.attrs = attrs
        self.qualifiers = qualifiers  # list of (Qualifier, propagated)
        self.inner_xml = inner_xml
        self.origin = origin
        self.propagated = propagated

    def inherited(self):
        return Feature(self.tag, self.name, self.attrs,
                       [(q, True) for q, _ in self.qualifiers if q.propagates],
                       self.inner_xml, self.origin, True)

    def is_key(self):
        for q, _ in self.qualifiers:
            if q.name.lower() == "key":
                return "TRUE" in q.value_xml.upper()
        return False

    def text(self, include_qualifiers, include_class_origin):
        head = '<%s NAME="%s"%s' % (self.tag, escape_attr(self.name), attributes_text(self.attrs))
        if include_class_origin:
            head += ' CLASSORIGIN="%s"' % escape_attr(self.origin)
        if self.propagated:
            head += ' PROPAGATED="true"'
        body = ""
        if include_qualifiers:
            body = "".join(q.text(p) for q, p in self.qualifiers)
        body += self.inner_xml
        return "%s>%s</%s>" % (head, body, self.tag)


class ClassDeclaration:
    """A CLASS element as read from a file, before inheritance is applied."""

    def __init__(self, elem):
        self.name = elem.get("NAME", "")
        self.superclass = elem.get("SUPERCLASS") or None
        self.qualifiers = [(Qualifier(q), q.get("PROPAGATED", "").lower() == "true")
                           for q in elem.findall("QUALIFIER")]
        self.features = []
        for child in elem:
            if child.tag not in _FEATURE_TAGS:
                continue
            quals = [(Qualifier(q), q.get("PROPAGATED", "").lower() == "true")
                     for q in child.findall("QUALIFIER")]
            inner = "".join(element_text(c) for c in child if c.tag != "QUALIFIER")
            attrs = {k: v for k, v in child.attrib.items()
                     if k not in ("NAME", "CLASSORIGIN", "PROPAGATED")}
            self.features.append((child.tag, child.get("NAME", ""), attrs, quals, inner,
                                  child.get("CLASSORIGIN"),
                                  child.get("PROPAGATED", "").lower() == "true"))


class ResolvedClass:
    def __init__(self, name, superclass, qualifiers, features):
        self.name = name
        self.superclass = superclass
        self.qualifiers = qualifiers
        self.features = features
        self.by_name = {f.name.lower(): f for f in features if f.tag != "METHOD"}


class Instance:
    __slots__ = ("class_name", "path_xml", "names", "props")

    def __init__(self, class_name, path_xml, names, props):
        self.class_name = class_name
        self.path_xml = path_xml
        self.names = names      # interned lower-case property names
        self.props = props      # serialised PROPERTY* elements, same order


class Repository:
    def __init__(self):
        self._declarations = {}   # lower name -> ClassDeclaration
        self._class_order = []    # lower names in load order
        self._resolved = {}
        self._instances = []
        self._by_class = {}       # lower class name -> [Instance]
        self._names_tuples = {}
        self._children = None

    # ---- loading -------------------------------------------------------------

    def load_file(self, path):
        try:
            self._load(path)
        except (OSError, ET.ParseError) as err:
            raise RepositoryError("cannot load repository file %s: %s" % (path, err)) from err
        self._children = None
        self._resolved.clear()

    def _load(self, path):
        stack = []
        pending_path = None
        for event, elem in ET.iterparse(path, events=("start", "end")):
            if event == "start":
                stack.append(elem)
                continue
            stack.pop()
            parent = stack[-1].tag if stack else None
            if elem.tag == "CLASS":
                self._add_class(ClassDeclaration(elem))
                elem.clear()
            elif elem.tag == "INSTANCENAME":
                grand = stack[-2].tag if len(stack) > 1 else None
                if parent in _PATH_WRAPPERS or (
                        parent in ("INSTANCEPATH", "LOCALINSTANCEPATH") and grand in _PATH_WRAPPERS):
                    pending_path = element_text(elem)
            elif elem.tag == "INSTANCE" and parent != "ERROR":
                path_xml = pending_path if parent in _PATH_WRAPPERS else None
                self._add_instance(elem, path_xml)
                pending_path = None
                elem.clear()
            elif elem.tag in _PATH_WRAPPERS:
                pending_path = None
                elem.clear()

    def _add_class(self, declaration):
        key = declaration.name.lower()
        if not key:
            raise RepositoryError("CLASS element without NAME")
        if key not in self._declarations:
            self._class_order.append(key)
        self._declarations[key] = declaration

    def _add_instance(self, elem, path_xml):
        names = []
        props = []
        for child in elem:
            if child.tag in _INSTANCE_PROPERTY_TAGS:
                names.append(sys.intern(child.get("NAME", "").lower()))
                # Class origin and propagation are the server's to add per request.
                props.append(element_text(child, _PER_REQUEST_ATTRIBUTES))
        names = tuple(names)
        names = self._names_tuples.setdefault(names, names)
        instance = Instance(elem.get("CLASSNAME", ""), path_xml, names, props)
        self._instances.append(instance)
        self._by_class.setdefault(instance.class_name.lower(), []).append(instance)

    # ---- classes -------------------------------------------------------------

    def class_exists(self, name):
        return name.lower() in self._declarations

    def resolve(self, name, _visiting=()):
        key = name.lower()
        cached = self._resolved.get(key)
        if cached is not None:
            return cached
        declaration = self._declarations.get(key)
        if declaration is None:
            raise CimError(6, name)
        if key in _visiting:
            raise RepositoryError("class %s inherits from itself" % declaration.name)
        parent = None
        if declaration.superclass and self.class_exists(declaration.superclass):
            parent = self.resolve(declaration.superclass, _visiting + (key,))

        features = [f.inherited() for f in parent.features] if parent else []
        index = {(f.tag == "METHOD", f.name.lower()): i for i, f in enumerate(features)}
        for tag, fname, attrs, quals, inner, origin, propagated in declaration.features:
            slot = index.get((tag == "METHOD", fname.lower()))
            if propagated and slot is not None:
                continue  # an inherited copy the parent already provides
            local_quals = [(q, p) for q, p in quals if not (p and slot is not None)]
            if slot is not None:
                inherited_quals = features[slot].qualifiers
                features[slot] = Feature(tag, fname, attrs,
                                         _merge_qualifiers(local_quals, inherited_quals),
                                         inner, declaration.name, False)
            else:
                index[(tag == "METHOD", fname.lower())] = len(features)
                features.append(Feature(tag, fname, attrs, local_quals, inner,
                                        origin or declaration.name, propagated))
        parent_quals = parent.qualifiers if parent else []
        local_class_quals = [(q, p) for q, p in declaration.qualifiers if not (p and parent)]
        resolved = ResolvedClass(declaration.name, declaration.superclass,
                                 _merge_qualifiers(local_class_quals, parent_quals), features)
        self._resolved[key] = resolved
        return resolved

    def _child_map(self):
        if self._children is None:
            self._children = {}
            for key in self._class_order:
                superclass = self._declarations[key].superclass
                if superclass:
                    self._children.setdefault(superclass.lower(), []).append(key)
        return self._children

    def subclasses(self, name, deep=True):
        """Lower-case names of the subclasses of name, depth first in load order."""
        result = []
        for child in self._child_map().get(name.lower(), []):
            result.append(child)
            if deep:
                result.extend(self.subclasses(child, True))
        return result

    def ancestors(self, name):
        """Lower-case names of the superclasses of name, nearest first."""
        result = []
        declaration = self._declarations.get(name.lower())
        while declaration is not None and declaration.superclass:
            key = declaration.superclass.lower()
            if key in result or key == name.lower():
                break
            result.append(key)
            declaration = self._declarations.get(key)
        return result

    def class_names(self, name=None, deep=False):
        """Class names below name (all top-level classes when name is None)."""
        if name is None:
            roots = [k for k in self._class_order
                     if not self._declarations[k].superclass
                     or not self.class_exists(self._declarations[k].superclass)]
            keys = []
            for root in roots:
                keys.append(root)
                if deep:
                    keys.extend(self.subclasses(root, True))
        else:
            if not self.class_exists(name):
                raise CimError(5, name)
            keys = self.subclasses(name, deep)
        return [self._declarations[k].name for k in keys]

    def class_text(self, name, local_only, include_qualifiers, include_class_origin,
                   property_list):
        """The CLASS element of GetClass; raises CimError(6) for an unknown class."""
        resolved = self.resolve(name)
        wanted = None if property_list is None else {p.lower() for p in property_list}
        head = '<CLASS NAME="%s"' % escape_attr(resolved.name)
        if resolved.superclass:
            head += ' SUPERCLASS="%s"' % escape_attr(resolved.superclass)
        out = [head, ">"]
        if include_qualifiers:
            out.extend(q.text(p) for q, p in resolved.qualifiers)
        for feature in resolved.features:
            if local_only and feature.propagated:
                continue
            if feature.tag != "METHOD" and wanted is not None and feature.name.lower() not in wanted:
                continue
            out.append(feature.text(include_qualifiers, include_class_origin))
        out.append("</CLASS>")
        return "".join(out)

    # ---- instances -------------------------------------------------------------

    def _instance_classes(self, name):
        if not self.class_exists(name) and name.lower() not in self._by_class:
            raise CimError(5, name)
        return [name.lower()] + (self.subclasses(name) if self.class_exists(name) else [])

    def instances_of(self, name):
        """Instances of name and of its subclasses, class by class in load order."""
        result = []
        for key in self._instance_classes(name):
            result.extend(self._by_class.get(key, ()))
        return result

    def instance_path(self, instance):
        if instance.path_xml is None:
            instance.path_xml = self._computed_path(instance)
        return instance.path_xml

    def _computed_path(self, instance):
        bindings = []
        if self.class_exists(instance.class_name):
            resolved = self.resolve(instance.class_name)
            for feature in resolved.features:
                if feature.tag == "METHOD" or not feature.is_key():
                    continue
                try:
                    index = instance.names.index(feature.name.lower())
                except ValueError:
                    continue
                bindings.append(_key_binding(feature, ET.fromstring(instance.props[index])))
        return '<INSTANCENAME CLASSNAME="%s">%s</INSTANCENAME>' % (
            escape_attr(instance.class_name), "".join(bindings))

    def origins(self, instance_class):
        """Property name (lower case) -> class that defined it, for an instance's class."""
        if not self.class_exists(instance_class):
            return {}
        return {k: f.origin for k, f in self.resolve(instance_class).by_name.items()}

    def property_qualifiers(self, instance_class):
        """Property name (lower case) -> QUALIFIER text of the class definition."""
        if not self.class_exists(instance_class):
            return {}
        return {k: "".join(q.text(p) for q, p in f.qualifiers)
                for k, f in self.resolve(instance_class).by_name.items()}

    def instance_count(self):
        return len(self._instances)


def _key_binding(feature, prop):
    cim_type = feature.attrs.get("TYPE", prop.get("TYPE", "string"))
    name = escape_attr(feature.name)
    reference = prop.find("VALUE.REFERENCE")
    if reference is not None:
        return '<KEYBINDING NAME="%s">%s</KEYBINDING>' % (name, element_text(reference))
    value = prop.find("VALUE")
    text = (value.text or "") if value is not None else ""
    if cim_type in ("string", "char16", "datetime"):
        value_type = "string"
    elif cim_type == "boolean":
        value_type = "boolean"
    else:
        value_type = "numeric"
    return '<KEYBINDING NAME="%s"><KEYVALUE VALUETYPE="%s" TYPE="%s">%s</KEYVALUE></KEYBINDING>' % (
        name, value_type, escape_attr(cim_type), escape_text(text))
