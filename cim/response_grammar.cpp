#include "cim/response_grammar.h"

#include <cstring>

namespace cim {
namespace {

struct ElementName {
  const char* name;
  Element element;
};

// In the order of how often they occur, so the common ones are found first.
const ElementName kElementNames[] = {
    {"PROPERTY", Element::kProperty},
    {"VALUE", Element::kValue},
    {"QUALIFIER", Element::kQualifier},
    {"VALUE.ARRAY", Element::kValueArray},
    {"PROPERTY.ARRAY", Element::kPropertyArray},
    {"VALUE.NAMEDINSTANCE", Element::kValueNamedInstance},
    {"INSTANCE", Element::kInstance},
    {"INSTANCENAME", Element::kInstanceName},
    {"KEYBINDING", Element::kKeyBinding},
    {"KEYVALUE", Element::kKeyValue},
    {"PROPERTY.REFERENCE", Element::kPropertyReference},
    {"VALUE.REFERENCE", Element::kValueReference},
    {"VALUE.NULL", Element::kValueNull},
    {"CLASS", Element::kClass},
    {"METHOD", Element::kMethod},
    {"NAMESPACE", Element::kNamespace},
    {"LOCALNAMESPACEPATH", Element::kLocalNamespacePath},
    {"CLASSNAME", Element::kClassName},
    {"INSTANCEPATH", Element::kInstancePath},
    {"LOCALINSTANCEPATH", Element::kLocalInstancePath},
    {"NAMESPACEPATH", Element::kNamespacePath},
    {"HOST", Element::kHost},
    {"CLASSPATH", Element::kClassPath},
    {"LOCALCLASSPATH", Element::kLocalClassPath},
    {"IRETURNVALUE", Element::kIReturnValue},
    {"IMETHODRESPONSE", Element::kIMethodResponse},
    {"SIMPLERSP", Element::kSimpleRsp},
    {"MESSAGE", Element::kMessage},
    {"CIM", Element::kCim},
    {"ERROR", Element::kError},
    {"PARAMVALUE", Element::kParamValue},
};

}  // namespace

Element lookupElement(const char* name) {
  for (const ElementName& entry : kElementNames) {
    if (std::strcmp(entry.name, name) == 0) return entry.element;
  }
  return Element::kUnknown;
}

const char* nameOf(Element element) {
  for (const ElementName& entry : kElementNames) {
    if (entry.element == element) return entry.name;
  }
  return "document";
}

bool isPropertyElement(Element e) {
  return e == Element::kProperty || e == Element::kPropertyArray ||
         e == Element::kPropertyReference;
}

Placement place(Element parent, Element child, bool expectsClass) {
  const auto decodedIf = [](bool ok) { return ok ? Placement::kDecoded : Placement::kRejected; };
  switch (parent) {
    case Element::kDocument:
      return decodedIf(child == Element::kCim);
    case Element::kCim:
      return decodedIf(child == Element::kMessage);
    case Element::kMessage:
      return decodedIf(child == Element::kSimpleRsp);
    case Element::kSimpleRsp:
      return decodedIf(child == Element::kIMethodResponse);
    case Element::kIMethodResponse:
      if (child == Element::kParamValue) return Placement::kSkipped;
      return decodedIf(child == Element::kError || child == Element::kIReturnValue);
    case Element::kError:
      return child == Element::kInstance ? Placement::kSkipped : Placement::kRejected;
    case Element::kIReturnValue:
      if (expectsClass) return decodedIf(child == Element::kClass);
      return decodedIf(child == Element::kValueNamedInstance || child == Element::kInstance);
    case Element::kValueNamedInstance:
      if (child == Element::kInstanceName) return Placement::kSkipped;
      return decodedIf(child == Element::kInstance);
    case Element::kClass:
      if (child == Element::kMethod) return Placement::kSkipped;
      return decodedIf(child == Element::kQualifier || isPropertyElement(child));
    case Element::kInstance:
      // Qualifiers of an instance are rare and of no use to a reader of values.
      if (child == Element::kQualifier) return Placement::kSkipped;
      return decodedIf(isPropertyElement(child));
    case Element::kProperty:
      return decodedIf(child == Element::kQualifier || child == Element::kValue);
    case Element::kPropertyArray:
      return decodedIf(child == Element::kQualifier || child == Element::kValueArray);
    case Element::kPropertyReference:
      return decodedIf(child == Element::kQualifier || child == Element::kValueReference);
    case Element::kQualifier:
      return decodedIf(child == Element::kValue || child == Element::kValueArray);
    case Element::kValueArray:
      return decodedIf(child == Element::kValue || child == Element::kValueNull);
    case Element::kValueReference:
      return decodedIf(child == Element::kClassPath || child == Element::kLocalClassPath ||
                       child == Element::kClassName || child == Element::kInstancePath ||
                       child == Element::kLocalInstancePath || child == Element::kInstanceName);
    case Element::kInstancePath:
      return decodedIf(child == Element::kNamespacePath || child == Element::kInstanceName);
    case Element::kClassPath:
      return decodedIf(child == Element::kNamespacePath || child == Element::kClassName);
    case Element::kNamespacePath:
      return decodedIf(child == Element::kHost || child == Element::kLocalNamespacePath);
    case Element::kLocalInstancePath:
      return decodedIf(child == Element::kLocalNamespacePath || child == Element::kInstanceName);
    case Element::kLocalClassPath:
      return decodedIf(child == Element::kLocalNamespacePath || child == Element::kClassName);
    case Element::kLocalNamespacePath:
      return decodedIf(child == Element::kNamespace);
    case Element::kInstanceName:
      return decodedIf(child == Element::kKeyBinding || child == Element::kKeyValue ||
                       child == Element::kValueReference);
    case Element::kKeyBinding:
      return decodedIf(child == Element::kKeyValue || child == Element::kValueReference);
    default:
      return Placement::kRejected;
  }
}

bool collectsText(Element e) {
  return e == Element::kValue || e == Element::kKeyValue || e == Element::kHost;
}

}  // namespace cim
