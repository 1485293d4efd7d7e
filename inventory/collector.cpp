#include "inventory/collector.h"

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "cim/client.h"
#include "cim/exception.h"
#include "cim/printable.h"
#include "cli/version.h"
#include "connection/service_url.h"
#include "inventory/category_filter.h"
#include "inventory/class_membership.h"
#include "inventory/class_read_failure.h"
#include "inventory/report_content.h"

namespace inventory {

namespace {

constexpr char kNamespace[] = "root/quorvin";

std::string stdString(const Common::string& text) {
  return std::string(text.c_str(), text.length());
}

Common::string timeGeneratedNow() {
  const std::time_t now = std::time(nullptr);
  std::tm localTime = {};
  localtime_r(&now, &localTime);
  return formatTimeGenerated(localTime);
}

// Class names may come from the test class list, so they are made safe for a terminal like
// the client's messages are.
void printWarning(const char* format, const Common::string& className,
                  const cim::Exception& failure) {
  std::fprintf(stderr, format, cim::neutralizeControls(stdString(className)).c_str(),
               failure.getMessage().c_str());
}

// Enumerates the class and builds its instance nodes under holder as the instances arrive, so
// the instances are never all held at once; returns how many. Throws when the enumeration
// fails or holds an instance that is neither of the class nor of a subclass, so that a reply
// for another class loses this class instead of filling it with foreign data. The first such
// instance is reported once the whole reply was read, as a reply that fails to decode says
// so first.
std::uint32_t readInstanceNodes(cim::CIMClient& client, const cim::CIMClass& definition,
                                const Common::string& className, XmlNodePtr holder) {
  std::uint32_t count = 0;
  std::string foreign;
  client.enumInstances(stdString(className), [&](const cim::CIMInstance& instance) {
    if (!foreign.empty()) return;
    std::string missing;
    if (!belongsToClass(definition, instance, missing)) {
      foreign = "the EnumerateInstances response holds an instance of " + instance.getClassName() +
                ", which is neither " + definition.getName() + " nor a subclass of it (it lacks " +
                missing + ")";
      return;
    }
    appendInstanceNode(holder, className, count++, definition, instance);
  });
  if (!foreign.empty()) throw cim::Exception(foreign);
  return count;
}

}  // namespace

std::int32_t progressPercent(std::uint32_t position, std::uint32_t entryCount) {
  const std::uint32_t scaled = position * 100u;
  return static_cast<std::int32_t>(static_cast<float>(scaled) / static_cast<float>(entryCount));
}

CollectionOutcome collectInventory(XmlNodePtr& result, const Common::istring& filter,
                                   const Common::string& server, const Common::string& user,
                                   const Common::string& password, const cim::TlsSettings& tls,
                                   const Common::string& context, ProgressCallback progress,
                                   const char* testListPath) {
  FilterTokens tokens;
  if (!filter.empty()) tokens = parseFilter(filter);

  XmlNodePtr root = createReportRoot(server, user, cli::versionString(), timeGeneratedNow());
  XmlNodePtr providerData = root->findChild(Common::string("provider_data"));

  ClassCatalogue catalogue = buildClassCatalogue(testListPath);
  const std::uint32_t entryCount = catalogue.size();
  const std::string url = connection::buildServiceUrl(server, user, password);
  // Made at the first request, so a filter that selects nothing costs no client.
  std::unique_ptr<cim::CIMClient> client;
  CollectionOutcome outcome = CollectionOutcome::kComplete;

  std::uint32_t position = 1;
  for (auto entry = catalogue.begin(); entry != catalogue.end(); ++entry, ++position) {
    const Common::string& className = entry->first;
    if (!filter.empty() && !matchesFilter(tokens, entry->second.category)) continue;

    const std::int32_t percent = progressPercent(position, entryCount);
    std::uint32_t instanceCount = 0;
    try {
      if (!client) client = std::make_unique<cim::CIMClient>(url, kNamespace, cim::Timeouts(), tls);
      const cim::CIMClass definition = client->getClass(stdString(className));
      // The nodes join the report only once the whole class was read.
      XmlNodePtr holder(new XmlNode(className));
      instanceCount = readInstanceNodes(*client, definition, className, holder);
      if (progress != nullptr) progress(&context, &percent, &className, &instanceCount);
      for (XmlNode::ChildIterator node = holder->childrenBegin(); node != holder->childrenEnd();
           ++node) {
        providerData->addChild(*node);
      }
    } catch (const cim::Exception& failure) {
      // A client that cannot even be made has nothing to go on with.
      const ClassReadFailure kind =
          client ? classifyReadFailure(failure) : ClassReadFailure::kConnectionLost;
      if (kind == ClassReadFailure::kClassMissing) {
        if (progress != nullptr) progress(&context, &percent, &className, &instanceCount);
        continue;
      }
      outcome = CollectionOutcome::kIncomplete;
      if (kind == ClassReadFailure::kConnectionLost) {
        printWarning("Warning: the collection stopped at %s: %s\n", className, failure);
        break;
      }
      printWarning("Warning: %s could not be read: %s\n", className, failure);
    }
  }

  result = root;
  return outcome;
}

}  // namespace inventory
