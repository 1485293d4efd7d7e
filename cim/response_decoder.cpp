#include "cim/response_decoder.h"

#include <expat.h>

#include <climits>
#include <cstring>
#include <exception>
#include <optional>
#include <string_view>
#include <utility>

#include "cim/document_encoding.h"
#include "cim/exception.h"
#include "cim/names.h"
#include "cim/object_path.h"
#include "cim/response_grammar.h"
#include "cim/utf8_repair.h"
#include "cim/value.h"

namespace cim {
namespace {

// A single value longer than this is refused instead of growing without end.
constexpr std::size_t kMaxTextBytes = 16u << 20;
// A response body larger than this (after decompression) is refused.
constexpr std::size_t kMaxBodyBytes = std::size_t{1} << 30;

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isXmlSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isXmlSpace(text.back())) text.remove_suffix(1);
  return text;
}

const char* findAttribute(const XML_Char** attributes, const char* name) {
  for (const XML_Char** a = attributes; *a != nullptr; a += 2) {
    if (std::strcmp(a[0], name) == 0) return a[1];
  }
  return nullptr;
}

struct TypeName {
  const char* name;
  CIMDataType::Type type;
};

const TypeName kTypeNames[] = {
    {"string", CIMDataType::kString},     {"uint16", CIMDataType::kUint16},
    {"uint32", CIMDataType::kUint32},     {"boolean", CIMDataType::kBoolean},
    {"uint8", CIMDataType::kUint8},       {"uint64", CIMDataType::kUint64},
    {"datetime", CIMDataType::kDatetime}, {"sint32", CIMDataType::kSint32},
    {"sint16", CIMDataType::kSint16},     {"sint8", CIMDataType::kSint8},
    {"sint64", CIMDataType::kSint64},     {"real32", CIMDataType::kReal32},
    {"real64", CIMDataType::kReal64},     {"char16", CIMDataType::kChar16},
};

// A value's type as it is learnt: from the TYPE of the property or qualifier,
// else from the TYPE some servers put on VALUE or VALUE.ARRAY; string when
// neither gives one.
struct PendingValue {
  CIMDataType::Type type = CIMDataType::kNull;  // kNull: not known yet
  bool hasValue = false;
  CIMValue value;

  CIMDataType::Type typeForText() const {
    return type == CIMDataType::kNull ? CIMDataType::kString : type;
  }
};

}  // namespace

class ResponseDecoder::Impl final : private Utf8Repair::Sink {
 public:
  Impl(const std::string& method, ResultKind kind)
      : method_(method), kind_(kind), parser_(XML_ParserCreate(nullptr)), repair_(*this) {
    if (parser_ == nullptr) throw std::bad_alloc();
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &Impl::onStart, &Impl::onEnd);
    XML_SetCharacterDataHandler(parser_, &Impl::onText);
    XML_SetEntityDeclHandler(parser_, &Impl::onEntityDeclaration);
    XML_SetSkippedEntityHandler(parser_, &Impl::onSkippedEntity);
    stack_.reserve(16);
  }
  ~Impl() { XML_ParserFree(parser_); }

  bool feed(const char* data, std::size_t size) noexcept {
    try {
      return feedPieces(data, size);
    } catch (...) {
      if (!failure_) failure_ = std::current_exception();
      return false;
    }
  }

  bool finish() noexcept {
    try {
      return finishDocument();
    } catch (...) {
      if (!failure_) failure_ = std::current_exception();
      return false;
    }
  }

  bool failed() const { return static_cast<bool>(failure_); }
  void rethrowFailure() const {
    if (failure_) std::rethrow_exception(failure_);
  }
  void setEncoding(const std::string& encoding) {
    if (encoding.empty()) return;
    XML_SetEncoding(parser_, encoding.c_str());
    repairing_ = equalsIgnoreCase(encoding, "utf-8") ? Repairing::kYes : Repairing::kNo;
  }

  bool sawError_ = false;
  int errorCode_ = 0;
  std::string errorDescription_;
  std::vector<CIMClass> classes_;
  std::vector<CIMInstance> instances_;
  InstanceHandler instanceHandler_;

 private:
  bool feedPieces(const char* data, std::size_t size) {
    if (failure_) return false;
    if (size > kMaxBodyBytes - bodyBytes_) {
      failure_ = std::make_exception_ptr(
          Exception("response is not valid CIM-XML: the body is larger than " +
                    std::to_string(kMaxBodyBytes >> 20) + " MiB"));
      return false;
    }
    bodyBytes_ += size;
    if (repairing_ == Repairing::kUndecided) {
      // The XML declaration decides; its bytes are held until it is complete.
      documentStart_.append(data, size);
      const DocumentEncoding encoding = documentEncoding(documentStart_);
      if (encoding == DocumentEncoding::kUndecided &&
          documentStart_.size() < kMaxDocumentStartBytes) {
        return true;
      }
      return feedDocumentStart(encoding);
    }
    return repairing_ == Repairing::kYes ? repair_.feed(data, size) : parseAll(data, size);
  }

  // Decides on the repair and passes the held start of the document on. A
  // start that never told its encoding is left to the XML parser to judge.
  bool feedDocumentStart(DocumentEncoding encoding) {
    repairing_ = encoding == DocumentEncoding::kUtf8 ? Repairing::kYes : Repairing::kNo;
    const std::string start = std::move(documentStart_);
    documentStart_.clear();
    return repairing_ == Repairing::kYes ? repair_.feed(start.data(), start.size())
                                         : parseAll(start.data(), start.size());
  }

  // Where the repair hands over the body.
  bool write(const char* data, std::size_t size) override { return parseAll(data, size); }

  bool parseAll(const char* data, std::size_t size) {
    while (size > 0) {
      const int piece = size > INT_MAX ? INT_MAX : static_cast<int>(size);
      if (!parse(data, piece, false)) return false;
      data += piece;
      size -= static_cast<std::size_t>(piece);
    }
    return true;
  }

  bool finishDocument() {
    if (failure_) return false;
    if (bodyBytes_ == 0) return failWithoutPosition("the response body is empty");
    if (repairing_ == Repairing::kUndecided &&
        !feedDocumentStart(documentEncoding(documentStart_))) {
      return false;
    }
    if (repairing_ == Repairing::kYes && !repair_.finish()) return false;
    if (!parse(nullptr, 0, true)) return false;
    if (!sawResponse_) return failWithoutPosition("the response holds no IMETHODRESPONSE");
    if (!sawError_ && kind_ == kOneClass && classes_.empty()) {
      return failWithoutPosition("the " + method_ + " response holds no class");
    }
    return true;
  }

  bool parse(const char* data, int size, bool isFinal) {
    if (XML_Parse(parser_, data, size, isFinal ? XML_TRUE : XML_FALSE) == XML_STATUS_OK) {
      return true;
    }
    if (!failure_) {
      failure_ = std::make_exception_ptr(located(XML_ErrorString(XML_GetErrorCode(parser_))));
    }
    return false;
  }

  Exception located(const std::string& reason) const {
    return Exception("response is not valid CIM-XML: line " +
                     std::to_string(XML_GetCurrentLineNumber(parser_)) + ", column " +
                     std::to_string(XML_GetCurrentColumnNumber(parser_) + 1) + ": " + reason);
  }

  bool failWithoutPosition(const std::string& reason) {
    failure_ = std::make_exception_ptr(Exception("response is not valid CIM-XML: " + reason));
    return false;
  }

  [[noreturn]] void fail(const std::string& reason) const { throw located(reason); }

  // Keeps the failure and stops the parser. Called from the expat callbacks,
  // which must not let an exception pass.
  void stopWith(std::exception_ptr failure) {
    if (!failure_) failure_ = std::move(failure);
    XML_StopParser(parser_, XML_FALSE);
  }

  template <typename Handler>
  static void guarded(void* userData, Handler handler) {
    Impl* self = static_cast<Impl*>(userData);
    if (self->failure_) return;
    try {
      handler(*self);
    } catch (const ValueCastException& e) {
      self->stopWith(std::make_exception_ptr(self->located(e.getMessage() + self->context())));
    } catch (...) {
      self->stopWith(std::current_exception());
    }
  }

  static void XMLCALL onStart(void* userData, const XML_Char* name, const XML_Char** attributes) {
    guarded(userData, [&](Impl& self) { self.startElement(name, attributes); });
  }
  static void XMLCALL onEnd(void* userData, const XML_Char*) {
    guarded(userData, [&](Impl& self) { self.endElement(); });
  }
  static void XMLCALL onText(void* userData, const XML_Char* text, int length) {
    guarded(userData, [&](Impl& self) { self.addText(text, static_cast<std::size_t>(length)); });
  }
  static void XMLCALL onEntityDeclaration(void* userData, const XML_Char*, int, const XML_Char*,
                                          int, const XML_Char*, const XML_Char*, const XML_Char*,
                                          const XML_Char*) {
    guarded(userData, [](Impl& self) { self.fail("entity declarations are not accepted"); });
  }
  static void XMLCALL onSkippedEntity(void* userData, const XML_Char* name, int) {
    guarded(userData, [&](Impl& self) {
      self.fail(std::string("reference to the undeclared entity '") + name + "'");
    });
  }

  std::string context() const {
    if (inQualifier_) return " (qualifier " + qualifierName_ + ")";
    if (property_) return " (property " + property_->getName() + ")";
    return std::string();
  }

  const char* requiredAttribute(const XML_Char** attributes, const char* name,
                                const char* element) const {
    const char* value = findAttribute(attributes, name);
    if (value == nullptr) fail(std::string("<") + element + "> has no " + name + " attribute");
    return value;
  }

  CIMDataType::Type parseType(const char* name) const {
    if (name == nullptr || *name == '\0') return CIMDataType::kNull;
    for (const TypeName& entry : kTypeNames) {
      if (equalsIgnoreCase(entry.name, name)) return entry.type;
    }
    fail(std::string("unknown CIM data type '") + name + "'");
  }

  PendingValue& pendingOf(Element holder) {
    return holder == Element::kQualifier ? qualifierValue_ : propertyValue_;
  }

  // The value a VALUE, VALUE.ARRAY or VALUE.REFERENCE under holder is about
  // to give; a holder takes one value only.
  PendingValue& beginValue(Element holder, const XML_Char** attributes) {
    PendingValue& pending = pendingOf(holder);
    if (pending.hasValue) fail(std::string("<") + nameOf(holder) + "> has more than one value");
    if (pending.type == CIMDataType::kNull)
      pending.type = parseType(findAttribute(attributes, "TYPE"));
    return pending;
  }

  void startElement(const char* name, const XML_Char** attributes) {
    if (skipDepth_ > 0) {
      ++skipDepth_;
      return;
    }
    const Element parent = stack_.empty() ? Element::kDocument : stack_.back();
    const Element element = lookupElement(name);
    switch (place(parent, element, kind_ == kOneClass)) {
      case Placement::kRejected:
        fail(std::string("unexpected element <") + name + "> in <" + nameOf(parent) + ">");
      case Placement::kSkipped:
        skipDepth_ = 1;
        return;
      case Placement::kDecoded:
        break;
    }
    stack_.push_back(element);
    if (collectsText(element)) text_.clear();
    switch (element) {
      case Element::kIMethodResponse: {
        const char* method = requiredAttribute(attributes, "NAME", name);
        if (!equalsIgnoreCase(method, method_)) {
          fail(std::string("the response answers ") + method + " instead of " + method_);
        }
        sawResponse_ = true;
        break;
      }
      case Element::kError:
        startError(attributes);
        break;
      case Element::kClass:
        if (!classes_.empty()) fail("the " + method_ + " response holds more than one class");
        class_.emplace(
            requiredAttribute(attributes, "NAME", name),
            findAttribute(attributes, "SUPERCLASS") ? findAttribute(attributes, "SUPERCLASS") : "");
        break;
      case Element::kValueNamedInstance:
        instancesBefore_ = instanceCount_;
        break;
      case Element::kInstance:
        instance_.emplace(requiredAttribute(attributes, "CLASSNAME", name));
        break;
      case Element::kProperty:
      case Element::kPropertyArray:
      case Element::kPropertyReference:
        property_.emplace(requiredAttribute(attributes, "NAME", name), CIMValue());
        propertyValue_ = PendingValue();
        propertyValue_.type = element == Element::kPropertyReference
                                  ? CIMDataType::kReference
                                  : parseType(findAttribute(attributes, "TYPE"));
        break;
      case Element::kQualifier:
        qualifierName_ = requiredAttribute(attributes, "NAME", name);
        qualifierValue_ = PendingValue();
        qualifierValue_.type = parseType(findAttribute(attributes, "TYPE"));
        inQualifier_ = true;
        break;
      case Element::kValue:
        if (parent != Element::kValueArray) beginValue(parent, attributes);
        break;
      case Element::kValueArray:
        beginValue(parent, attributes);
        arrayTexts_.clear();
        arrayNulls_.clear();
        break;
      case Element::kValueNull:
        arrayNulls_.push_back(arrayTexts_.size());
        arrayTexts_.emplace_back();
        break;
      case Element::kValueReference:
        if (isPropertyElement(parent)) beginValue(parent, attributes);
        paths_.emplace_back();
        break;
      case Element::kInstanceName:
        paths_.back().className = requiredAttribute(attributes, "CLASSNAME", name);
        break;
      case Element::kClassName:
        paths_.back().className = requiredAttribute(attributes, "NAME", name);
        break;
      case Element::kNamespace: {
        std::string& nameSpace = paths_.back().nameSpace;
        if (!nameSpace.empty()) nameSpace += '/';
        nameSpace += requiredAttribute(attributes, "NAME", name);
        break;
      }
      case Element::kKeyBinding:
        paths_.back().keys.push_back(
            {requiredAttribute(attributes, "NAME", name), "", ObjectPath::kStringKey});
        break;
      case Element::kKeyValue: {
        if (parent == Element::kInstanceName) paths_.back().keys.emplace_back();
        const char* valueType = findAttribute(attributes, "VALUETYPE");
        const bool quoted = valueType == nullptr || equalsIgnoreCase(valueType, "string");
        paths_.back().keys.back().kind = quoted ? ObjectPath::kStringKey : ObjectPath::kPlainKey;
        break;
      }
      default:
        break;
    }
  }

  void startError(const XML_Char** attributes) {
    const char* code = requiredAttribute(attributes, "CODE", "ERROR");
    const std::string_view digits = trimmed(code);
    int value = 0;
    for (char c : digits) {
      if (c < '0' || c > '9' || value > 100000)
        fail(std::string("'") + code + "' is not a CIM status code");
      value = value * 10 + (c - '0');
    }
    if (digits.empty()) fail("the ERROR element has an empty CODE");
    const char* description = findAttribute(attributes, "DESCRIPTION");
    sawError_ = true;
    errorCode_ = value;
    errorDescription_ = description ? description : "";
  }

  void endElement() {
    if (skipDepth_ > 0) {
      --skipDepth_;
      return;
    }
    const Element element = stack_.back();
    stack_.pop_back();
    const Element parent = stack_.empty() ? Element::kDocument : stack_.back();
    switch (element) {
      case Element::kValue:
        if (parent == Element::kValueArray) {
          arrayTexts_.push_back(text_);
        } else {
          PendingValue& pending = pendingOf(parent);
          pending.value = CIMValue::fromText(pending.typeForText(), text_);
          pending.hasValue = true;
        }
        break;
      case Element::kValueArray: {
        PendingValue& pending = pendingOf(parent);
        pending.value = CIMValue::fromTextArray(pending.typeForText(), std::move(arrayTexts_),
                                                std::move(arrayNulls_));
        pending.hasValue = true;
        arrayTexts_.clear();
        arrayNulls_.clear();
        break;
      }
      case Element::kQualifier: {
        CIMValue value = qualifierValue_.hasValue
                             ? std::move(qualifierValue_.value)
                             : CIMValue::makeNull(CIMDataType(qualifierValue_.type, false));
        CIMQualifier qualifier(std::move(qualifierName_), std::move(value));
        if (parent == Element::kClass) {
          class_->addQualifier(std::move(qualifier));
        } else {
          property_->addQualifier(std::move(qualifier));
        }
        inQualifier_ = false;
        break;
      }
      case Element::kProperty:
      case Element::kPropertyArray:
      case Element::kPropertyReference: {
        property_->setValue(propertyValue_.hasValue
                                ? std::move(propertyValue_.value)
                                : CIMValue::makeNull(CIMDataType(
                                      propertyValue_.type, element == Element::kPropertyArray)));
        if (parent == Element::kClass) {
          class_->addProperty(std::move(*property_));
        } else {
          instance_->addProperty(std::move(*property_));
        }
        property_.reset();
        break;
      }
      case Element::kClass:
        classes_.push_back(std::move(*class_));
        class_.reset();
        break;
      case Element::kInstance:
        ++instanceCount_;
        if (instanceHandler_) {
          instanceHandler_(*instance_);
        } else {
          instances_.push_back(std::move(*instance_));
        }
        instance_.reset();
        break;
      case Element::kValueNamedInstance:
        if (instanceCount_ == instancesBefore_) fail("<VALUE.NAMEDINSTANCE> holds no <INSTANCE>");
        break;
      case Element::kHost:
        paths_.back().host = std::string(trimmed(text_));
        break;
      case Element::kKeyValue: {
        ObjectPath::Key& key = paths_.back().keys.back();
        key.value = key.kind == ObjectPath::kStringKey ? text_ : std::string(trimmed(text_));
        break;
      }
      case Element::kValueReference:
        endReference(parent);
        break;
      default:
        break;
    }
  }

  void endReference(Element parent) {
    std::string path = paths_.back().toString();
    paths_.pop_back();
    if (isPropertyElement(parent)) {
      propertyValue_.value = CIMValue::fromText(CIMDataType::kReference, path);
      propertyValue_.hasValue = true;
      return;
    }
    if (parent == Element::kInstanceName) paths_.back().keys.emplace_back();
    ObjectPath::Key& key = paths_.back().keys.back();
    key.value = std::move(path);
    key.kind = ObjectPath::kReferenceKey;
  }

  void addText(const char* text, std::size_t length) {
    if (skipDepth_ > 0) return;
    if (!stack_.empty() && collectsText(stack_.back())) {
      if (length > kMaxTextBytes - text_.size()) {
        fail("a value is longer than " + std::to_string(kMaxTextBytes >> 20) + " MiB");
      }
      text_.append(text, length);
      return;
    }
    for (std::size_t i = 0; i < length; ++i) {
      if (!isXmlSpace(text[i])) {
        fail(std::string("unexpected text in <") +
             nameOf(stack_.empty() ? Element::kDocument : stack_.back()) + ">");
      }
    }
  }

  const std::string method_;
  const ResultKind kind_;
  XML_Parser parser_;
  std::exception_ptr failure_;
  std::size_t bodyBytes_ = 0;

  // Whether bytes that are not valid UTF-8, or no XML characters, become
  // U+FFFD before the parser sees them: for UTF-8 bodies only, as the
  // Content-Type charset or else the XML declaration says.
  enum class Repairing { kUndecided, kYes, kNo };
  Repairing repairing_ = Repairing::kUndecided;
  std::string documentStart_;  // held while undecided
  Utf8Repair repair_;

  std::vector<Element> stack_;
  int skipDepth_ = 0;  // depth inside a subtree that is passed over
  std::string text_;   // the text of the current VALUE, KEYVALUE or HOST
  bool sawResponse_ = false;

  std::optional<CIMClass> class_;
  std::optional<CIMInstance> instance_;
  std::size_t instanceCount_ = 0;  // instances decoded so far
  std::size_t instancesBefore_ = 0;
  std::optional<CIMProperty> property_;
  PendingValue propertyValue_;
  bool inQualifier_ = false;
  std::string qualifierName_;
  PendingValue qualifierValue_;
  std::vector<std::string> arrayTexts_;
  std::vector<std::size_t> arrayNulls_;
  std::vector<ObjectPath> paths_;  // references being read, innermost last
};

ResponseDecoder::ResponseDecoder(const std::string& method, ResultKind kind)
    : impl_(std::make_unique<Impl>(method, kind)) {}

ResponseDecoder::~ResponseDecoder() = default;

bool ResponseDecoder::feed(const char* data, std::size_t size) noexcept {
  return impl_->feed(data, size);
}

bool ResponseDecoder::finish() noexcept { return impl_->finish(); }

void ResponseDecoder::setEncoding(const std::string& encoding) { impl_->setEncoding(encoding); }

void ResponseDecoder::setInstanceHandler(InstanceHandler handler) {
  impl_->instanceHandler_ = std::move(handler);
}

bool ResponseDecoder::failed() const { return impl_->failed(); }

void ResponseDecoder::rethrowFailure() const { impl_->rethrowFailure(); }

bool ResponseDecoder::hasError() const { return impl_->sawError_; }

int ResponseDecoder::errorCode() const { return impl_->errorCode_; }

const std::string& ResponseDecoder::errorDescription() const { return impl_->errorDescription_; }

std::vector<CIMClass> ResponseDecoder::takeClasses() { return std::move(impl_->classes_); }

std::vector<CIMInstance> ResponseDecoder::takeInstances() { return std::move(impl_->instances_); }

}  // namespace cim
