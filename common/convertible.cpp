#include "common/convertible.h"

namespace Common {

Convertible::~Convertible() = default;

string Convertible::toString() const { return string(); }

}  // namespace Common
