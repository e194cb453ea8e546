#include "player/runtime/xml_tree.h"

#include <gtest/gtest.h>

namespace kestrel::runtime {
namespace {

TEST(XmlTree, ReadsElementsAttributesAndText) {
    XmlParseResult r =
        parseXml("<?xml version=\"1.0\"?><a x=\"1\" y='two'>hi<b/>&lt;&amp;&#65;</a>", false);
    ASSERT_EQ(r.status, XmlStatus::Ok);
    EXPECT_EQ(r.xmlDecl, "<?xml version=\"1.0\"?>");
    ASSERT_EQ(r.nodes.size(), 1u);
    const XmlNode& a = r.nodes[0];
    EXPECT_EQ(a.name, "a");
    ASSERT_EQ(a.attributes.size(), 2u);
    EXPECT_EQ(a.attributes[0], std::make_pair(std::string("x"), std::string("1")));
    EXPECT_EQ(a.attributes[1].second, "two");
    ASSERT_EQ(a.children.size(), 3u);
    EXPECT_EQ(a.children[0].value, "hi");
    EXPECT_EQ(a.children[1].name, "b");
    EXPECT_EQ(a.children[2].type, XmlNodeType::Text);
    EXPECT_EQ(a.children[2].value, "<&A");
}

TEST(XmlTree, IgnoreWhiteDropsBlankTextOnly) {
    const char* text = "<a>\n  <b> x </b>\n</a>";
    XmlParseResult kept = parseXml(text, false);
    XmlParseResult dropped = parseXml(text, true);
    ASSERT_EQ(kept.status, XmlStatus::Ok);
    EXPECT_EQ(kept.nodes[0].children.size(), 3u);
    ASSERT_EQ(dropped.nodes[0].children.size(), 1u);
    EXPECT_EQ(dropped.nodes[0].children[0].children[0].value, " x ");
}

TEST(XmlTree, CdataCommentsAndDoctype) {
    XmlParseResult r = parseXml("<!DOCTYPE x><!-- c --><a><![CDATA[<raw>&amp;]]></a>", false);
    ASSERT_EQ(r.status, XmlStatus::Ok);
    EXPECT_EQ(r.docTypeDecl, "<!DOCTYPE x>");
    ASSERT_EQ(r.nodes.size(), 1u);
    EXPECT_EQ(r.nodes[0].children[0].value, "<raw>&amp;");
}

TEST(XmlTree, StatusCodesOfBrokenDocuments) {
    struct Case {
        const char* text;
        XmlStatus status;
    } cases[] = {
        {"<a><![CDATA[x</a>", XmlStatus::CdataNotTerminated},
        {"<?xml version", XmlStatus::DeclarationNotTerminated},
        {"<!DOCTYPE", XmlStatus::DoctypeNotTerminated},
        {"<!-- x", XmlStatus::CommentNotTerminated},
        {"<a b>", XmlStatus::MalformedElement},
        {"<a b=\"x>", XmlStatus::AttributeNotTerminated},
        {"<a><b></a>", XmlStatus::EndTagMissing},
        {"<a>", XmlStatus::EndTagMissing},
        {"</a>", XmlStatus::StartTagMissing},
        {"<", XmlStatus::MalformedElement},
    };
    for (const Case& c : cases) EXPECT_EQ(parseXml(c.text, false).status, c.status) << c.text;
}

TEST(XmlTree, KeepsNodesReadBeforeAnError) {
    XmlParseResult r = parseXml("<a/><b>", false);
    EXPECT_EQ(r.status, XmlStatus::EndTagMissing);
    ASSERT_EQ(r.nodes.size(), 2u);
    EXPECT_EQ(r.nodes[0].name, "a");
}

TEST(XmlTree, DeepNestingStopsInsteadOfGrowingWithoutBound) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    XmlParseResult r = parseXml(deep, false);
    EXPECT_EQ(r.status, XmlStatus::MalformedElement);
}

TEST(XmlTree, EntityDecodingLeavesUnknownEntitiesAlone) {
    EXPECT_EQ(decodeXmlEntities("&quot;&apos;&gt;&#x263A;&bogus;&"), "\"'>\xE2\x98\xBA&bogus;&");
    EXPECT_EQ(escapeXmlText("<a href=\"x\">&'"), "&lt;a href=&quot;x&quot;&gt;&amp;&apos;");
}

}  // namespace
}  // namespace kestrel::runtime
