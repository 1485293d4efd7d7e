#ifndef TELVANECLI_COMMON_CONVERTIBLE_H
#define TELVANECLI_COMMON_CONVERTIBLE_H

#include "common/string.h"

namespace Common {

// Polymorphic base of the library's value classes (map, pair): gives them a
// virtual destructor and a text form.
class Convertible {
 public:
  Convertible() = default;
  Convertible(const Convertible&) = default;
  Convertible& operator=(const Convertible&) = default;
  virtual ~Convertible();

  // The text form of the value; the empty string unless a class says otherwise.
  virtual string toString() const;
};

}  // namespace Common

#endif  // TELVANECLI_COMMON_CONVERTIBLE_H
