#include "projector/api/network_family.h"

#include "projector/bridge/xml_value.h"

namespace kestrel {
namespace {

constexpr std::string_view kHttpPrefix = "HTTP.";
constexpr std::string_view kFtpPrefix = "FTP.";

}  // namespace

ApiResult NetworkFamily::Call(std::string_view method, const ApiArguments& arguments) {
    if (method.substr(0, kHttpPrefix.size()) == kHttpPrefix) {
        if (method.substr(kHttpPrefix.size()) != "openURL") return std::nullopt;
        std::string address = arguments.AsText(0);
        return XmlFlag(!address.empty() && network_.OpenAddress(address));
    }
    if (method.substr(0, kFtpPrefix.size()) == kFtpPrefix) return std::nullopt;
    if (method == "checkConnection") return XmlFlag(network_.IsOnline());
    return std::nullopt;
}

std::vector<std::string> NetworkFamily::MethodNames() {
    return {"HTTP.openURL", "checkConnection"};
}

}  // namespace kestrel
