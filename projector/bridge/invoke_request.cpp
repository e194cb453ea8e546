#include "projector/bridge/invoke_request.h"

#include <cstdio>

namespace kestrel {

std::string BuildInvokeRequest(std::string_view function, const RequestArgument* further,
                               std::size_t count) {
    std::string xml = "<invoke name=\"";
    xml += function;
    xml += "\" returntype=\"javascript\">";
    if (count > 0) {
        xml += "<arguments>";
        char number[512];
        for (std::size_t i = 0; i < count; ++i) {
            const RequestArgument& argument = further[i];
            switch (argument.type) {
                case RequestArgument::Type::Null:
                    xml += "<null/>";
                    break;
                case RequestArgument::Type::Boolean:
                    xml += argument.boolean ? "<true/>" : "<false/>";
                    break;
                case RequestArgument::Type::Int32:
                    std::snprintf(number, sizeof number, "<number>%d</number>",
                                  static_cast<int>(argument.integer));
                    xml += number;
                    break;
                case RequestArgument::Type::Double:
                    // "%f" of the largest double has 309 digits before the point.
                    std::snprintf(number, sizeof number, "<number>%f</number>", argument.real);
                    xml += number;
                    break;
                case RequestArgument::Type::String:
                    xml += "<string>";
                    xml += argument.text;
                    xml += "</string>";
                    break;
                case RequestArgument::Type::Void:
                case RequestArgument::Type::Object:
                    break;
            }
        }
        xml += "</arguments>";
    }
    xml += "</invoke>";
    return xml;
}

}  // namespace kestrel
