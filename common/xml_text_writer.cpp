#include "common/xml_text_writer.h"

#include <cstdio>

namespace kestrel {

std::string EscapeXmlText(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        auto byte = static_cast<unsigned char>(c);
        switch (byte) {
            case '\n':
                out += "&#x0a;";
                break;
            case '\r':
                out += "&#x0d;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '\'':
                out += "&apos;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                if (byte >= 0x80) {
                    char reference[8];
                    std::snprintf(reference, sizeof reference, "&#x%02x;", byte);
                    out += reference;
                } else {
                    out += c;
                }
        }
    }
    return out;
}

void XmlTextWriter::beginStartTag(const std::string& name) {
    out_ += '<';
    out_ += name;
}

void XmlTextWriter::attribute(const std::string& name, const std::string& value) {
    attributeRaw(name, EscapeXmlText(value));
}

void XmlTextWriter::attributeRaw(const std::string& name, const std::string& value) {
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    out_ += value;
    out_ += '"';
}

void XmlTextWriter::endStartTag(const char* closing) {
    out_ += closing;
}

void XmlTextWriter::endTag(const std::string& name) {
    out_ += "</";
    out_ += name;
    out_ += '>';
}

void XmlTextWriter::text(const std::string& value) {
    out_ += EscapeXmlText(value);
}

}  // namespace kestrel
