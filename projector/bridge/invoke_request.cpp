#include "projector/bridge/invoke_request.h"

#include <cstdio>

namespace kestrel {
namespace {

// The plug-in parses the request as XML: a name such as "R&D" must arrive as
// text, not as markup.
void AppendEscaped(std::string& xml, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&':
                xml += "&amp;";
                break;
            case '<':
                xml += "&lt;";
                break;
            case '>':
                xml += "&gt;";
                break;
            case '"':
                xml += "&quot;";
                break;
            case '\'':
                xml += "&apos;";
                break;
            default:
                xml += c;
        }
    }
}

}  // namespace

std::string BuildInvokeRequest(std::string_view function, const RequestArgument* further,
                               std::size_t count) {
    std::string xml = "<invoke name=\"";
    AppendEscaped(xml, function);
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
                    AppendEscaped(xml, argument.text);
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
