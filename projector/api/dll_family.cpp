#include "projector/api/dll_family.h"

#include "projector/bridge/xml_value.h"

namespace kestrel {

ApiResult DllFamily::Call(std::string_view method, const ApiArguments&) {
    if (method == "open") return XmlInteger(0);
    if (method == "call") return XmlFlag(false);
    return std::nullopt;
}

std::vector<std::string> DllFamily::MethodNames() {
    return {"open", "close", "call", "addParam"};
}

}  // namespace kestrel
