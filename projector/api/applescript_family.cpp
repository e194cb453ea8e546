#include "projector/api/applescript_family.h"

#include "projector/bridge/xml_value.h"

namespace kestrel {

ApiResult AppleScriptFamily::Call(std::string_view method, const ApiArguments&) {
    if (method == "runScript" || method == "runFile") return XmlFlag(false);
    return std::nullopt;
}

std::vector<std::string> AppleScriptFamily::MethodNames() {
    return {"runScript", "runFile"};
}

}  // namespace kestrel
