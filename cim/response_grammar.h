#ifndef TELVANECLI_CIM_RESPONSE_GRAMMAR_H
#define TELVANECLI_CIM_RESPONSE_GRAMMAR_H

namespace cim {

// The elements of a CIM-XML response that the decoder knows, and where each
// may stand.
enum class Element : unsigned char {
  kDocument,  // stands above the root element
  kProperty,
  kValue,
  kQualifier,
  kValueArray,
  kPropertyArray,
  kValueNamedInstance,
  kInstance,
  kInstanceName,
  kKeyBinding,
  kKeyValue,
  kPropertyReference,
  kValueReference,
  kValueNull,
  kClass,
  kMethod,
  kNamespace,
  kLocalNamespacePath,
  kClassName,
  kInstancePath,
  kLocalInstancePath,
  kNamespacePath,
  kHost,
  kClassPath,
  kLocalClassPath,
  kIReturnValue,
  kIMethodResponse,
  kSimpleRsp,
  kMessage,
  kCim,
  kError,
  kParamValue,
  kUnknown,
};

// What a child element means at its place.
enum class Placement {
  kRejected,  // no CIM-XML response has it there
  kDecoded,
  kSkipped,  // valid there but of no use to this client: the subtree is passed over
};

// The element of that name; kUnknown for any other name.
Element lookupElement(const char* name);

// The element's name, "document" for kDocument.
const char* nameOf(Element element);

// How child is treated inside parent. expectsClass: the response should hold
// one CLASS (GetClass), otherwise instances.
Placement place(Element parent, Element child, bool expectsClass);

// PROPERTY, PROPERTY.ARRAY or PROPERTY.REFERENCE.
bool isPropertyElement(Element element);

// Whether the element's text is its content (VALUE, KEYVALUE, HOST).
bool collectsText(Element element);

}  // namespace cim

#endif  // TELVANECLI_CIM_RESPONSE_GRAMMAR_H
