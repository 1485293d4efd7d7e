#ifndef TELVANECLI_CIM_OBJECT_PATH_H
#define TELVANECLI_CIM_OBJECT_PATH_H

#include <string>
#include <vector>

namespace cim {

// The parts of an object path as a reference value carries it, gathered while
// its VALUE.REFERENCE is decoded.
struct ObjectPath {
  enum KeyKind {
    kStringKey,     // quoted in the path text
    kPlainKey,      // numeric or boolean: written as sent
    kReferenceKey,  // the text of a nested path, quoted
  };
  struct Key {
    std::string name;  // empty for the single unnamed key of an instance name
    std::string value;
    KeyKind kind = kStringKey;
  };

  std::string host;
  std::string nameSpace;  // parts joined by "/"
  std::string className;
  std::vector<Key> keys;

  // The path as text: "//host/root/cimv2:CIM_Foo.Name=\"a \\\"b\\\"\",Id=5";
  // without a host "/root/cimv2:CIM_Foo...", without a namespace either
  // "CIM_Foo.Name=...", and a path without keys ends with the class name.
  // Quotes and backslashes in quoted key values are escaped with a backslash.
  std::string toString() const;
};

}  // namespace cim

#endif  // TELVANECLI_CIM_OBJECT_PATH_H
