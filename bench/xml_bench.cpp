// Times XmlCodec::serialize and XmlCodec::clone on report-shaped trees of
// 10,000 and 100,000 property elements, to show that both grow linearly
// with the tree. Prints one line per size; exits non-zero if a copy does not
// write back byte for byte.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "common/string.h"
#include "xml/xml_codec.h"
#include "xml/xml_node.h"

namespace {

const int kPropertiesPerNode = 20;
const int kRuns = 3;

Common::string text(const std::string& value) {
  return Common::string(value.data(), static_cast<int>(value.size()));
}

// root > provider_data > nodes of kPropertiesPerNode properties each.
XmlNodePtr reportTree(int properties) {
  XmlNodePtr root(new XmlNode(text("root")));
  root->setAttribute(text("server"), text("10.10.10.1"));
  root->setAttribute(text("username"), text("admin"));
  root->setAttribute(text("telvane_version"), text("1.1-4"));
  root->setAttribute(text("time_generated"), text("Monday March 02, 2009 09:15:00AM"));
  XmlNodePtr data(new XmlNode(text("provider_data")));
  root->addChild(data);
  for (int first = 0; first < properties; first += kPropertiesPerNode) {
    std::string instance = std::to_string(first / kPropertiesPerNode);
    XmlNodePtr node(new XmlNode(text("node")));
    node->setAttribute(text("class"), text("NVX_Fan"));
    node->setAttribute(text("instance"), text(instance));
    node->setAttribute(text("description"), text("Class NVX_Fan : Instance " + instance));
    for (int i = first; i < std::min(properties, first + kPropertiesPerNode); ++i) {
      XmlNodePtr property(new XmlNode(text("property")));
      property->setAttribute(text("name"), text("Health State " + std::to_string(i)));
      property->setAttribute(text("type"), text("uint16"));
      property->setAttribute(text("value"), text("OK &amp; running"));
      if (i % 2 == 0) property->setAttribute(text("raw_value"), text("5"));
      node->addChild(property);
    }
    data->addChild(node);
  }
  return root;
}

template <typename Action>
double bestMilliseconds(Action action) {
  double best = 0;
  for (int run = 0; run < kRuns; ++run) {
    auto start = std::chrono::steady_clock::now();
    action();
    std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    if (run == 0 || spent.count() < best) best = spent.count();
  }
  return best;
}

}  // namespace

int main() {
  XmlCodec codec;
  std::printf("%10s %12s %14s %12s %14s\n", "properties", "bytes", "serialize ms", "clone ms",
              "clone ns/elem");
  for (int properties : {10000, 100000}) {
    XmlNodePtr tree = reportTree(properties);
    Common::string written;
    double serializeMs = bestMilliseconds([&] { written = codec.serialize(tree); });
    XmlNodePtr copy;
    double cloneMs = bestMilliseconds([&] { copy = codec.clone(tree); });
    if (!(codec.serialize(copy) == written)) {
      std::fprintf(stderr, "clone of %d properties does not write back the same text\n",
                   properties);
      return 1;
    }
    std::printf("%10d %12u %14.2f %12.2f %14.0f\n", properties, written.length(), serializeMs,
                cloneMs, cloneMs * 1e6 / properties);
  }
  return 0;
}
