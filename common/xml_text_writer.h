// A small forward-only XML text writer over 8-bit text. It writes exactly
// what it is told (no indentation of its own), so formats with fixed bytes,
// such as the settings document, keep their exact text.
#pragma once

#include <string>
#include <utility>

namespace kestrel {

class XmlTextWriter {
  public:
    // Project files end lines with CR LF; the settings document with LF.
    explicit XmlTextWriter(std::string lineEnd = "\r\n") : lineEnd_(std::move(lineEnd)) {}

    // "<name"
    void beginStartTag(const std::string& name);
    // ` name="escaped value"`
    void attribute(const std::string& name, const std::string& value);
    // ` name="value"` where `value` needs no escaping (numbers, words)
    void attributeRaw(const std::string& name, const std::string& value);
    // Closes the start tag with `closing` (">", " >" or "/>").
    void endStartTag(const char* closing = ">");
    // "</name>"
    void endTag(const std::string& name);
    // Escaped character data.
    void text(const std::string& value);
    void lineEnd() { out_ += lineEnd_; }
    void raw(const std::string& bytes) { out_ += bytes; }

    const std::string& result() const { return out_; }

  private:
    std::string lineEnd_;
    std::string out_;
};

// Byte by byte: LF "&#x0a;", CR "&#x0d;", "&quot;", "&amp;", "&apos;",
// "&lt;", "&gt;", every byte 0x80-0xFF as "&#x%02x;"; others as themselves.
std::string EscapeXmlText(const std::string& value);

}  // namespace kestrel
