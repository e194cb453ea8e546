// XML text as the XML class of the movie sees it: a tree of element and text nodes,
// parsed leniently with the status codes scripts read from XML.status, and written
// back the way the player prints XML.toString().
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel::runtime {

enum class XmlNodeType { Element = 1, Text = 3 };

struct XmlNode {
    XmlNodeType type = XmlNodeType::Element;
    std::string name;                                             // elements
    std::string value;                                            // text nodes, entities decoded
    std::vector<std::pair<std::string, std::string>> attributes;  // in document order
    std::vector<XmlNode> children;
};

// XML.status values.
enum class XmlStatus {
    Ok = 0,
    CdataNotTerminated = -2,
    DeclarationNotTerminated = -3,
    DoctypeNotTerminated = -4,
    CommentNotTerminated = -5,
    MalformedElement = -6,
    OutOfMemory = -7,
    AttributeNotTerminated = -8,
    EndTagMissing = -9,
    StartTagMissing = -10,
};

struct XmlParseResult {
    XmlStatus status = XmlStatus::Ok;
    std::vector<XmlNode> nodes;  // top-level nodes
    std::string xmlDecl;         // "<?xml ...?>" when present
    std::string docTypeDecl;     // "<!DOCTYPE ...>" when present
};

// Deepest nesting we build; deeper documents end with MalformedElement rather than
// exhausting the stack of whoever walks the tree.
constexpr size_t kMaxXmlDepth = 256;

// ignoreWhite drops text nodes made only of white space. On an error the nodes read so
// far are kept (as the player keeps them).
XmlParseResult parseXml(std::string_view text, bool ignoreWhite);

// Entity handling of text and attribute values.
std::string decodeXmlEntities(std::string_view text);
std::string escapeXmlText(std::string_view text);

}  // namespace kestrel::runtime
