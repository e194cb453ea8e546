#include "player/runtime/xml_tree.h"

#include <cstdint>
#include <cstdlib>

#include "player/avm1/utf8.h"

namespace kestrel::runtime {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isWhiteOnly(std::string_view s) {
    for (char c : s)
        if (!isSpace(c)) return false;
    return true;
}

// Reads the documents tag by tag; `stack` holds the open elements.
class XmlParser {
  public:
    XmlParser(std::string_view text, bool ignoreWhite) : text_(text), ignoreWhite_(ignoreWhite) {}

    XmlParseResult run() {
        stack_.push_back(&root_);
        while (pos_ < text_.size() && result_.status == XmlStatus::Ok) {
            if (text_[pos_] == '<')
                readMarkup();
            else
                readText();
        }
        if (result_.status == XmlStatus::Ok && stack_.size() > 1)
            result_.status = XmlStatus::EndTagMissing;
        result_.nodes = std::move(root_.children);
        return std::move(result_);
    }

  private:
    bool startsWith(std::string_view prefix) const {
        return text_.substr(pos_, prefix.size()) == prefix;
    }

    void addText(std::string_view raw, bool decode) {
        if (ignoreWhite_ && isWhiteOnly(raw)) return;
        XmlNode node;
        node.type = XmlNodeType::Text;
        node.value = decode ? decodeXmlEntities(raw) : std::string(raw);
        stack_.back()->children.push_back(std::move(node));
    }

    void readText() {
        size_t end = text_.find('<', pos_);
        if (end == std::string_view::npos) end = text_.size();
        addText(text_.substr(pos_, end - pos_), true);
        pos_ = end;
    }

    // Finds `terminator` from the current position; sets `status` when it is missing.
    bool skipPast(std::string_view terminator, XmlStatus status, std::string_view* body) {
        size_t end = text_.find(terminator, pos_);
        if (end == std::string_view::npos) {
            result_.status = status;
            return false;
        }
        if (body) *body = text_.substr(pos_, end + terminator.size() - pos_);
        pos_ = end + terminator.size();
        return true;
    }

    void readMarkup() {
        std::string_view body;
        if (startsWith("<!--")) {
            skipPast("-->", XmlStatus::CommentNotTerminated, nullptr);
        } else if (startsWith("<![CDATA[")) {
            pos_ += 9;
            size_t start = pos_;
            if (skipPast("]]>", XmlStatus::CdataNotTerminated, nullptr)) {
                XmlNode node;
                node.type = XmlNodeType::Text;
                node.value = std::string(text_.substr(start, pos_ - 3 - start));
                stack_.back()->children.push_back(std::move(node));
            }
        } else if (startsWith("<!")) {
            if (skipPast(">", XmlStatus::DoctypeNotTerminated, &body))
                result_.docTypeDecl = std::string(body);
        } else if (startsWith("<?")) {
            if (skipPast("?>", XmlStatus::DeclarationNotTerminated, &body))
                result_.xmlDecl = std::string(body);
        } else if (startsWith("</")) {
            readEndTag();
        } else {
            readStartTag();
        }
    }

    std::string_view readName() {
        size_t start = pos_;
        while (pos_ < text_.size() && !isSpace(text_[pos_]) && text_[pos_] != '>' &&
               text_[pos_] != '/' && text_[pos_] != '=' && text_[pos_] != '<')
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

    void skipSpace() {
        while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
    }

    void readEndTag() {
        pos_ += 2;
        std::string_view name = readName();
        skipSpace();
        if (pos_ >= text_.size() || text_[pos_] != '>') {
            result_.status = XmlStatus::MalformedElement;
            return;
        }
        ++pos_;
        if (stack_.size() <= 1) {
            result_.status = XmlStatus::StartTagMissing;
            return;
        }
        if (stack_.back()->name != name) {
            result_.status = XmlStatus::EndTagMissing;
            return;
        }
        stack_.pop_back();
    }

    void readStartTag() {
        ++pos_;
        XmlNode node;
        node.name = std::string(readName());
        if (node.name.empty()) {
            result_.status = XmlStatus::MalformedElement;
            return;
        }
        for (;;) {
            skipSpace();
            if (pos_ >= text_.size()) {
                result_.status = XmlStatus::MalformedElement;
                return;
            }
            char c = text_[pos_];
            if (c == '>' || startsWith("/>")) break;
            std::string_view attrName = readName();
            skipSpace();
            if (attrName.empty() || pos_ >= text_.size() || text_[pos_] != '=') {
                result_.status = XmlStatus::MalformedElement;
                return;
            }
            ++pos_;
            skipSpace();
            if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) {
                result_.status = XmlStatus::MalformedElement;
                return;
            }
            char quote = text_[pos_++];
            size_t end = text_.find(quote, pos_);
            if (end == std::string_view::npos) {
                result_.status = XmlStatus::AttributeNotTerminated;
                return;
            }
            std::string value = decodeXmlEntities(text_.substr(pos_, end - pos_));
            pos_ = end + 1;
            // A repeated attribute keeps its first place and takes the last value.
            bool replaced = false;
            for (auto& a : node.attributes)
                if (a.first == attrName) {
                    a.second = value;
                    replaced = true;
                }
            if (!replaced) node.attributes.emplace_back(std::string(attrName), std::move(value));
        }
        bool selfClosing = text_[pos_] == '/';
        pos_ += selfClosing ? 2 : 1;
        XmlNode* parent = stack_.back();
        parent->children.push_back(std::move(node));
        if (!selfClosing) {
            if (stack_.size() > kMaxXmlDepth) {
                result_.status = XmlStatus::MalformedElement;
                return;
            }
            stack_.push_back(&parent->children.back());
        }
    }

    std::string_view text_;
    bool ignoreWhite_;
    size_t pos_ = 0;
    XmlNode root_;
    // Pointers into the tree; only the innermost element's children grow, so the
    // pointers to its ancestors stay valid.
    std::vector<XmlNode*> stack_;
    XmlParseResult result_;
};

}  // namespace

XmlParseResult parseXml(std::string_view text, bool ignoreWhite) {
    return XmlParser(text, ignoreWhite).run();
}

std::string decodeXmlEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        size_t semi = text.find(';', i);
        if (semi == std::string_view::npos || semi - i > 10) {
            out += '&';
            continue;
        }
        std::string_view entity = text.substr(i + 1, semi - i - 1);
        if (entity == "lt")
            out += '<';
        else if (entity == "gt")
            out += '>';
        else if (entity == "amp")
            out += '&';
        else if (entity == "quot")
            out += '"';
        else if (entity == "apos")
            out += '\'';
        else if (entity.size() > 1 && entity[0] == '#') {
            std::string digits(entity.substr(1));
            bool hex = !digits.empty() && (digits[0] == 'x' || digits[0] == 'X');
            char* endPtr = nullptr;
            unsigned long cp = std::strtoul(digits.c_str() + (hex ? 1 : 0), &endPtr, hex ? 16 : 10);
            if (!endPtr || *endPtr != '\0') {
                out += '&';
                continue;
            }
            // A reference to NUL or past the last code point adds nothing.
            auto codePoint = static_cast<uint32_t>(cp);
            if (codePoint != 0 && codePoint <= 0x10FFFF) avm1::appendUtf8(out, codePoint);
        } else {
            out += '&';
            continue;
        }
        i = semi;
    }
    return out;
}

std::string escapeXmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace kestrel::runtime
