// Test driver of the CIM client layer: runs GetClass and EnumerateInstances
// requests on one client and prints what came back, one line per item, so
// the end-to-end tests can compare it.
//
//   cim_probe [--connect-timeout-ms N] [--stall-timeout-ms N] URL NAMESPACE
//             (getclass|enum) CLASS [(getclass|enum) CLASS ...]
//
// Exit code 0 when every request succeeded; otherwise the last line reads
// "exception <kind>: <message>" and the exit code is 1.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "cim/client.h"
#include "cim/exception.h"

namespace {

std::string typeText(const cim::CIMDataType& type) {
  return type.toString() + (type.isArray() ? "[]" : "");
}

void printQualifiers(const std::vector<cim::CIMQualifier>& qualifiers, const char* indent) {
  for (const cim::CIMQualifier& q : qualifiers) {
    std::printf("%squalifier %s %s = %s\n", indent, q.getName().c_str(),
                typeText(q.getDataType()).c_str(), q.getValue().toString().c_str());
  }
}

void printProperties(const std::vector<cim::CIMProperty>& properties, bool withQualifiers) {
  for (const cim::CIMProperty& p : properties) {
    std::printf("  property %s %s = %s\n", p.getName().c_str(), typeText(p.getDataType()).c_str(),
                p.getValue().toString().c_str());
    if (withQualifiers) printQualifiers(p.getQualifiers(), "    ");
  }
}

std::string kindOf(const cim::Exception& e) {
  if (auto* http = dynamic_cast<const cim::HTTPException*>(&e)) {
    return "HTTPException " + std::to_string(http->getStatusCode());
  }
  if (dynamic_cast<const cim::SSLException*>(&e)) return "SSLException";
  if (auto* socket = dynamic_cast<const cim::SocketException*>(&e)) {
    switch (socket->getReason()) {
      case cim::SocketException::kConnectionRefused:
        return "SocketException refused";
      case cim::SocketException::kConnectTimedOut:
        return "SocketException timedout";
      case cim::SocketException::kOther:
        return "SocketException other";
    }
  }
  if (auto* status = dynamic_cast<const cim::CIMException*>(&e)) {
    return "CIMException " + std::to_string(status->getStatusCode());
  }
  return "Exception";
}

}  // namespace

int main(int argc, char** argv) {
  cim::Timeouts timeouts;
  int arg = 1;
  for (; arg + 1 < argc && std::strncmp(argv[arg], "--", 2) == 0; arg += 2) {
    const std::chrono::milliseconds value(std::stol(argv[arg + 1]));
    if (std::strcmp(argv[arg], "--connect-timeout-ms") == 0) timeouts.connect = value;
    if (std::strcmp(argv[arg], "--stall-timeout-ms") == 0) timeouts.stall = value;
  }
  if (argc - arg < 4 || (argc - arg) % 2 != 0) {
    std::fprintf(stderr, "usage: cim_probe [options] URL NAMESPACE (getclass|enum) CLASS ...\n");
    return 2;
  }
  try {
    cim::CIMClient client(argv[arg], argv[arg + 1], timeouts);
    for (int i = arg + 2; i + 1 < argc; i += 2) {
      const std::string operation = argv[i];
      if (operation == "getclass") {
        const cim::CIMClass cls = client.getClass(argv[i + 1]);
        std::printf("class %s : %s\n", cls.getName().c_str(), cls.getSuperClassName().c_str());
        printQualifiers(cls.getQualifiers(), "  ");
        printProperties(cls.getProperties(), true);
      } else {
        cim::CIMInstanceEnumeration instances = client.enumInstancesE(argv[i + 1]);
        std::printf("instances %zu\n", instances.numberOfElements());
        while (instances.hasMoreElements()) {
          const cim::CIMInstance instance = instances.nextElement();
          std::printf("instance %s\n", instance.getClassName().c_str());
          printProperties(instance.getProperties(), false);
        }
      }
      std::fflush(stdout);
    }
  } catch (const cim::Exception& e) {
    std::printf("exception %s: %s\n", kindOf(e).c_str(), e.getMessage().c_str());
    return 1;
  }
  return 0;
}
