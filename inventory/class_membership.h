#ifndef TELVANECLI_INVENTORY_CLASS_MEMBERSHIP_H
#define TELVANECLI_INVENTORY_CLASS_MEMBERSHIP_H

#include <string>

namespace cim {
class CIMClass;
class CIMInstance;
}  // namespace cim

namespace inventory {

// Whether an instance from the enumeration of a class can belong to it. An
// instance of the class itself (its name compared without regard to ASCII
// letter case) always does. An instance of another class belongs only when it
// carries every property of the definition, as an instance of a subclass
// does; one that lacks any of them answers for an unrelated class, and
// missing names the first property it lacks.
bool belongsToClass(const cim::CIMClass& definition, const cim::CIMInstance& instance,
                    std::string& missing);

}  // namespace inventory

#endif  // TELVANECLI_INVENTORY_CLASS_MEMBERSHIP_H
