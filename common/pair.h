#ifndef TELVANECLI_COMMON_PAIR_H
#define TELVANECLI_COMMON_PAIR_H

#include "common/convertible.h"

namespace Common {

// Two values: the entry type of map and the result type of its insert.
template <class A, class B>
class pair : public Convertible {
 public:
  pair() : first(), second() {}
  pair(const A& firstValue, const B& secondValue) : first(firstValue), second(secondValue) {}
  pair(const pair&) = default;
  pair& operator=(const pair&) = default;
  // Destroys second, then first.
  ~pair() override = default;

  A first;
  B second;
};

}  // namespace Common

#endif  // TELVANECLI_COMMON_PAIR_H
