// Fuzzes the streaming CIM-XML response decoder (cim/response_decoder.h) with
// the input as a response body, decoded twice: in one piece, and in two
// pieces split at a point the input chooses, as the network may hand it over;
// the second decoding may hand instances to a handler as the program's
// enumerations do.
//
// Input: a 3-byte header, then the body.
//   byte 0, bits 0-1: the call answered: 0 GetClass (one class),
//                     1 EnumerateInstances, 2 GetInstance (instances),
//                     3 GetClass read as instances (a mismatch);
//   byte 0, bits 2-4: the charset of the Content-Type header, 0 none;
//   byte 0, bit 5: the second decoding hands instances to a handler;
//   bytes 1-2: the split point (little-endian), taken modulo body size + 1.
//
// A body may be refused with a cim::Exception; anything else that escapes,
// or a sanitizer report, is a fault. The split must not change the outcome:
// both decodings are refused or give the same classes, instances and error,
// and a handler sees the instances takeInstances would otherwise give.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cim/class.h"
#include "cim/exception.h"
#include "cim/instance.h"
#include "cim/property.h"
#include "cim/qualifier.h"
#include "cim/response_decoder.h"

namespace {

struct Call {
  const char* method;
  cim::ResponseDecoder::ResultKind kind;
};

const Call kCalls[] = {
    {"GetClass", cim::ResponseDecoder::kOneClass},
    {"EnumerateInstances", cim::ResponseDecoder::kInstances},
    {"GetInstance", cim::ResponseDecoder::kInstances},
    {"GetClass", cim::ResponseDecoder::kInstances},
};

// What a Content-Type header may name: none, expat's own charsets in two
// spellings, and one it does not know.
const char* const kCharsets[] = {
    "", "utf-8", "UTF-16", "ISO-8859-1", "US-ASCII", "koi8-r", "", "",
};

void describeValue(const cim::CIMValue& value, std::string& out) {
  const cim::CIMDataType& type = value.getType();
  out += type.toString();
  out += type.isArray() ? "[]=" : "=";
  out += value.toString();
  if (value.isArray() && !value.isNull()) {
    out += " nulls:";
    for (std::size_t i = 0; i < value.getArraySize(); ++i) {
      if (value.isNullElement(i)) out += std::to_string(i) + ",";
    }
    if (type.getType() == cim::CIMDataType::kString) {
      out += " entries:" + std::to_string(value.getStringArray().size());
    }
  }
  out += '\n';
}

void describeQualifiers(const std::vector<cim::CIMQualifier>& qualifiers, std::string& out) {
  for (const cim::CIMQualifier& qualifier : qualifiers) {
    out += "  qualifier " + qualifier.getName() + ": ";
    describeValue(qualifier.getValue(), out);
  }
}

void describeProperties(const std::vector<cim::CIMProperty>& properties, std::string& out) {
  for (const cim::CIMProperty& property : properties) {
    out += " property " + property.getName() + ": ";
    describeValue(property.getValue(), out);
    describeQualifiers(property.getQualifiers(), out);
  }
}

void describeInstance(const cim::CIMInstance& instance, std::string& out) {
  out += "instance " + instance.getClassName() + "\n";
  describeProperties(instance.getProperties(), out);
}

// Everything a decoding gave, as text, so that two decodings can be compared;
// reading every value also runs the accessors over the decoded data.
std::string decode(const Call& call, const char* charset, const char* body, std::size_t size,
                   std::size_t split, bool withHandler) {
  cim::ResponseDecoder decoder(call.method, call.kind);
  decoder.setEncoding(charset);
  std::string handled;
  if (withHandler) {
    decoder.setInstanceHandler(
        [&handled](const cim::CIMInstance& instance) { describeInstance(instance, handled); });
  }
  try {
    if (decoder.feed(body, split) && decoder.feed(body + split, size - split)) decoder.finish();
    decoder.rethrowFailure();
  } catch (const cim::Exception&) {
    // The message may differ: expat places and even names a fault by the
    // pieces it was given ("syntax error" or "invalid token").
    return "refused";
  }
  std::string out;
  if (decoder.hasError()) {
    out +=
        "error " + std::to_string(decoder.errorCode()) + ": " + decoder.errorDescription() + "\n";
  }
  for (const cim::CIMClass& cls : decoder.takeClasses()) {
    out += "class " + cls.getName() + " : " + cls.getSuperClassName() + "\n";
    describeQualifiers(cls.getQualifiers(), out);
    describeProperties(cls.getProperties(), out);
  }
  const std::vector<cim::CIMInstance> kept = decoder.takeInstances();
  if (withHandler && !kept.empty()) std::abort();  // handed over, so never kept as well
  for (const cim::CIMInstance& instance : kept) describeInstance(instance, out);
  return out + handled;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const Call& call = kCalls[data[0] & 3];
  const char* charset = kCharsets[(data[0] >> 2) & 7];
  const char* body = reinterpret_cast<const char*>(data + 3);
  const std::size_t bodySize = size - 3;
  const std::size_t split = (data[1] | (std::size_t{data[2]} << 8)) % (bodySize + 1);

  const bool withHandler = (data[0] >> 5) & 1;

  const std::string whole = decode(call, charset, body, bodySize, bodySize, false);
  const std::string pieces = decode(call, charset, body, bodySize, split, withHandler);
  if (whole != pieces) {
    std::fprintf(stderr, "split at %zu%s changes the result\nin one piece:\n%s\nin two:\n%s\n",
                 split, withHandler ? " with a handler" : "", whole.c_str(), pieces.c_str());
    std::abort();
  }
  return 0;
}
