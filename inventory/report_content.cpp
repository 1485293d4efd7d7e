#include "inventory/report_content.h"

#include <iomanip>
#include <locale>
#include <sstream>
#include <string>

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

bool isReportedProperty(const cim::CIMProperty& property) {
  if (property.getDataType().isNull()) return false;
  return testMode || property.getValue().toString() != kNullValueText;
}

XmlNodePtr makePropertyElement(const cim::CIMClass& cls, const cim::CIMProperty& property) {
  XmlNodePtr element(new XmlNode(Common::string("property")));
  // CIM property names are identifiers, so escaping changes nothing for a sound server.
  const Common::string name = splitCamelCase(property.getName().c_str());
  element->setAttribute(Common::string("name"), xmlText(name));

  // The raw text is compared with the display text before either is escaped.
  const std::string displayText = translateValue(cls, property);
  const std::string rawText = property.getValue().toString();
  element->setAttribute(Common::string("type"), commonString(property.getDataType().toString()));
  element->setAttribute(Common::string("value"), formatValueText(commonString(displayText)));
  if (rawText != displayText) {
    element->setAttribute(Common::string("raw_value"), xmlText(rawText));
  }
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
  XmlNodePtr node(new XmlNode(Common::string("node")));
  node->setAttribute(Common::string("class"), xmlText(className));
  node->setAttribute(Common::string("instance"), formatUnsigned(index));
  node->setAttribute(Common::string("description"), describeInstance(node));
  providerData->addChild(node);
  for (const cim::CIMProperty& property : instance.getProperties()) {
    if (isReportedProperty(property)) node->addChild(makePropertyElement(cls, property));
  }
}

}  // namespace inventory
