#include "inventory/report_content.h"

#include <iomanip>
#include <locale>
#include <sstream>
#include <string>
#include <unordered_map>

#include "cim/class.h"
#include "cim/instance.h"
#include "cim/property.h"
#include "inventory/class_catalogue.h"
#include "inventory/value_format.h"
#include "inventory/value_translation.h"
#include "inventory/xml_text.h"
#include "xml/xml_codec.h"

namespace inventory {

namespace {

constexpr char kReportTemplate[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<root><provider_data></provider_data></root>";

constexpr char kNullValueText[] = "(null)";

Common::string xmlText(const std::string& text) {
  return toXmlAttributeText(text.data(), text.size());
}

Common::string xmlText(const Common::string& text) {
  return toXmlAttributeText(text.c_str(), text.length());
}

Common::string commonString(const std::string& text) {
  return Common::string(text.data(), static_cast<int>(text.size()));
}

// The names of instance and property elements and their attributes, and the type texts, are
// made once: copies of a string share its buffer, so the thousands of elements of a large
// report hold references instead of three heap blocks each.
struct SharedTexts {
  Common::string node{"node"};
  Common::string property{"property"};
  Common::string className{"class"};
  Common::string instance{"instance"};
  Common::string description{"description"};
  Common::string name{"name"};
  Common::string type{"type"};
  Common::string value{"value"};
  Common::string rawValue{"raw_value"};

  SharedTexts() {
    for (int type = 0; type < kKnownTypes; ++type) {
      typeNames_[type] = commonString(
          cim::CIMDataType(static_cast<cim::CIMDataType::Type>(type), false).toString());
    }
  }

  Common::string typeName(const cim::CIMDataType& type) const {
    if (type.getType() < kKnownTypes) return typeNames_[type.getType()];
    return commonString(type.toString());
  }

 private:
  static constexpr int kKnownTypes = cim::CIMDataType::kReference + 1;
  Common::string typeNames_[kKnownTypes];
};

const SharedTexts& sharedTexts() {
  static const SharedTexts texts;
  return texts;
}

// The display name of a property ("HealthState" -> "Health State"), made once per property
// name and shared by every element of that name: a class's instances all carry the same
// names. Names past kMaxNames (only a server inventing names would get there) are made
// afresh each time, so the table stays small.
Common::string displayName(const std::string& propertyName) {
  constexpr std::size_t kMaxNames = 4096;
  static std::unordered_map<std::string, Common::string> names;
  const auto found = names.find(propertyName);
  if (found != names.end()) return found->second;
  // CIM property names are identifiers, so escaping changes nothing for a sound server.
  const Common::string name = xmlText(splitCamelCase(propertyName.c_str()));
  if (names.size() < kMaxNames) names.emplace(propertyName, name);
  return name;
}

bool isReportedProperty(const cim::CIMProperty& property) {
  if (property.getDataType().isNull()) return false;
  return testMode || property.getValue().toString() != kNullValueText;
}

XmlNodePtr makePropertyElement(const cim::CIMClass& cls, const cim::CIMProperty& property) {
  const SharedTexts& texts = sharedTexts();
  XmlNodePtr element(new XmlNode(texts.property));
  element->setAttribute(texts.name, displayName(property.getName()));

  // The raw text is compared with the display text before either is escaped.
  const std::string displayText = translateValue(cls, property);
  const std::string rawText = property.getValue().toString();
  element->setAttribute(texts.type, texts.typeName(property.getDataType()));
  element->setAttribute(texts.value, formatValueText(commonString(displayText)));
  if (rawText != displayText) element->setAttribute(texts.rawValue, xmlText(rawText));
  return element;
}

}  // namespace

Common::string formatTimeGenerated(const std::tm& localTime) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << std::put_time(&localTime, "%A %B %d, %Y %I:%M:%S%p");
  return commonString(text.str());
}

XmlNodePtr createReportRoot(const Common::string& server, const Common::string& user,
                            const Common::string& version, const Common::string& timeGenerated) {
  XmlNodePtr root(new XmlNode(Common::string("null")));
  XmlCodec().parse(Common::string(kReportTemplate), root);
  root->setAttribute(Common::string("server"), xmlText(server));
  root->setAttribute(Common::string("username"), xmlText(user));
  root->setAttribute(Common::string("telvane_version"), version);
  root->setAttribute(Common::string("time_generated"), timeGenerated);
  return root;
}

void appendInstanceNode(XmlNodePtr providerData, const Common::string& className,
                        std::uint32_t index, const cim::CIMClass& cls,
                        const cim::CIMInstance& instance) {
  const SharedTexts& texts = sharedTexts();
  XmlNodePtr node(new XmlNode(texts.node));
  node->setAttribute(texts.className, xmlText(className));
  node->setAttribute(texts.instance, formatUnsigned(index));
  node->setAttribute(texts.description, describeInstance(node));
  providerData->addChild(node);
  for (const cim::CIMProperty& property : instance.getProperties()) {
    if (isReportedProperty(property)) node->addChild(makePropertyElement(cls, property));
  }
}

}  // namespace inventory
