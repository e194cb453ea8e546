// Script values to and from the XML value forms that cross the external interface.
#pragma once

#include <string>

#include "player/avm1/vm.h"
#include "player/runtime/xml_tree.h"

namespace kestrel::runtime {

// <undefined/>, <null/>, <true/>, <false/>, <number>, <string>, <array>, <object>.
// Functions are left out of objects; cycles and very deep nesting end in <null/>.
std::string valueToXml(avm1::Vm& vm, const avm1::Value& value);

// The movie's value for a form; unknown forms give undefined.
avm1::Value xmlToValue(avm1::Vm& vm, const XmlNode& form);
// Parses then converts one form given as text.
avm1::Value xmlTextToValue(avm1::Vm& vm, std::string_view xml);

}  // namespace kestrel::runtime
