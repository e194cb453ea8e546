#include "projector/api/application_family.h"

#include "projector/api/api_paths.h"
#include "projector/bridge/xml_value.h"

namespace kestrel {

ApiResult ApplicationFamily::Call(std::string_view method, const ApiArguments&) {
    if (method == "getFolder") return XmlText(FolderPart(application_.ProgramPath()));
    if (method == "getFullPath") return XmlText(application_.ProgramPath());
    if (method == "quit") application_.Quit();
    return std::nullopt;
}

std::vector<std::string> ApplicationFamily::MethodNames() {
    return {"bounceDockIcon", "getFolder", "getFullPath", "quit",   "bringToFront",
            "sendToBack",     "maximize",  "minimize",    "restore"};
}

}  // namespace kestrel
