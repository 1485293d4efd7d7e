"""The intrinsic operations the server answers, run against the repository.

execute() returns the whole response body (bytes). CIM-level failures come
back as an ERROR element inside a normal body, as CIM servers report them.
Results are cached per operation, class and flags, so a benchmark that asks
for the same classes again measures the client, not this server.
"""

import re

import cim_request
from cimxml_writer import escape_attr, envelope_end, envelope_start, error_body, error_description
from repository import CimError

_PARAMETERS = {
    "GetClass": {"classname", "localonly", "includequalifiers", "includeclassorigin",
                 "propertylist"},
    "EnumerateInstances": {"classname", "localonly", "deepinheritance", "includequalifiers",
                           "includeclassorigin", "propertylist"},
    "EnumerateInstanceNames": {"classname"},
    "EnumerateClassNames": {"classname", "deepinheritance"},
}

_QUALIFIER_ELEMENT = re.compile(r"<QUALIFIER\b.*?</QUALIFIER>", re.S)

_CACHE_LIMIT_BYTES = 256 * 1024 * 1024


class Operations:
    """Answers requests from one repository for a set of namespace names."""

    def __init__(self, repository, namespaces, instance_qualifiers=False,
                 omit_empty_result=False):
        self.repository = repository
        self.namespaces = namespaces
        self.instance_qualifiers = instance_qualifiers
        self.omit_empty_result = omit_empty_result
        self._results = {}
        self._cached_bytes = 0
        self._plans = {}

    def execute(self, request):
        """Whole response body for a decoded request; ProtocolError passes through."""
        try:
            result = self._run(request)
        except CimError as err:
            return error_body(request.message_id, request.method, err.code,
                              error_description(err.code, err.detail), request.extrinsic)
        start = envelope_start(request.message_id, request.method).encode("utf-8")
        if result is None:
            return start + envelope_end().encode("utf-8")
        return b"".join((start, b"<IRETURNVALUE>", result, b"</IRETURNVALUE>\n",
                         envelope_end().encode("utf-8")))

    def _run(self, request):
        if request.extrinsic:
            raise CimError(7, "extrinsic method %s" % request.method)
        if not cim_request.namespace_matches(request.namespace, self.namespaces):
            raise CimError(3, request.namespace)
        allowed = _PARAMETERS.get(request.method)
        if allowed is None:
            raise CimError(7, request.method)
        for name in request.params:
            if name not in allowed:
                raise CimError(7, "parameter %s" % name)
        if request.duplicate_parameter is not None:
            raise CimError(4, "parameter %s given twice" % request.duplicate_parameter)
        if "classname" in allowed and request.method != "EnumerateClassNames" \
                and request.class_name is None:
            raise CimError(4, "ClassName missing")

        return getattr(self, "_" + request.method)(request)

    def _cached(self, key, produce):
        result = self._results.get(key)
        if result is None:
            result = produce()
            if self._cached_bytes + len(result) <= _CACHE_LIMIT_BYTES:
                self._results[key] = result
                self._cached_bytes += len(result)
        return result

    def _GetClass(self, request):
        local_only = cim_request.boolean_param(request, "LocalOnly", True)
        qualifiers = cim_request.boolean_param(request, "IncludeQualifiers", True)
        origin = cim_request.boolean_param(request, "IncludeClassOrigin", False)
        plist = cim_request.property_list_param(request)
        name = request.class_name
        if not self.repository.class_exists(name):
            raise CimError(6, name)
        key = ("GetClass", name.lower(), local_only, qualifiers, origin,
               None if plist is None else tuple(sorted(p.lower() for p in plist)))
        return self._cached(key, lambda: self.repository.class_text(
            name, local_only, qualifiers, origin, plist).encode("utf-8"))

    def _EnumerateInstances(self, request):
        local_only = cim_request.boolean_param(request, "LocalOnly", True)
        deep = cim_request.boolean_param(request, "DeepInheritance", True)
        qualifiers = cim_request.boolean_param(request, "IncludeQualifiers", False)
        origin = cim_request.boolean_param(request, "IncludeClassOrigin", False)
        plist = cim_request.property_list_param(request)
        wanted = None if plist is None else frozenset(p.lower() for p in plist)
        name = request.class_name
        instances = self.repository.instances_of(name)  # CimError(5) when unknown
        if not instances and self.omit_empty_result:
            return None
        key = ("EnumerateInstances", name.lower(), local_only, deep, qualifiers, origin, wanted)
        return self._cached(key, lambda: "".join(
            self._named_instance(i, name, deep, local_only, qualifiers, origin, wanted)
            for i in instances).encode("utf-8"))

    def _EnumerateInstanceNames(self, request):
        instances = self.repository.instances_of(request.class_name)
        if not instances and self.omit_empty_result:
            return None
        return "".join(self.repository.instance_path(i) + "\n"
                       for i in instances).encode("utf-8")

    def _EnumerateClassNames(self, request):
        deep = cim_request.boolean_param(request, "DeepInheritance", False)
        names = self.repository.class_names(request.class_name, deep)
        if not names and self.omit_empty_result:
            return None
        return "".join('<CLASSNAME NAME="%s"/>\n' % n for n in names).encode("utf-8")

    def _plan(self, instance, requested, deep, local_only, origin, wanted):
        """Which properties of an instance go out, each with its CLASSORIGIN or None."""
        key = (instance.names, instance.class_name.lower(), requested.lower(), deep,
               local_only, origin, wanted)
        plan = self._plans.get(key)
        if plan is not None:
            return plan
        repo = self.repository
        origins = repo.origins(instance.class_name)
        requested_props = (set(repo.resolve(requested).by_name)
                           if repo.class_exists(requested) else None)
        above = set(repo.ancestors(requested))
        plan = []
        for index, name in enumerate(instance.names):
            defined_in = origins.get(name, instance.class_name)
            if wanted is not None and name not in wanted:
                continue
            if not deep and requested_props is not None and name not in requested_props:
                continue
            if local_only and defined_in.lower() in above:
                continue
            plan.append((index, name, defined_in if origin else None))
        self._plans[key] = plan
        return plan

    def _named_instance(self, instance, requested, deep, local_only, qualifiers, origin, wanted):
        plan = self._plan(instance, requested, deep, local_only, origin, wanted)
        class_qualifiers = (self.repository.property_qualifiers(instance.class_name)
                            if qualifiers and self.instance_qualifiers else None)
        out = ["<VALUE.NAMEDINSTANCE>", self.repository.instance_path(instance),
               '<INSTANCE CLASSNAME="%s">' % escape_attr(instance.class_name)]
        for index, name, defined_in in plan:
            text = instance.props[index]
            if not qualifiers and "<QUALIFIER" in text:
                text = _QUALIFIER_ELEMENT.sub("", text)
            if class_qualifiers and class_qualifiers.get(name):
                text = _with_qualifiers(text, class_qualifiers[name])
            if defined_in is not None:
                cut = text.index(" ")
                text = '%s CLASSORIGIN="%s"%s' % (text[:cut], escape_attr(defined_in), text[cut:])
            out.append(text)
        out.append("</INSTANCE></VALUE.NAMEDINSTANCE>\n")
        return "".join(out)


def _with_qualifiers(property_text, qualifiers_text):
    """Puts class qualifiers at the front of a property element's content."""
    end = property_text.index(">")
    return property_text[:end + 1] + qualifiers_text + property_text[end + 1:]
