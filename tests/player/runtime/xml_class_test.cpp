// XML and XMLNode as scripts use them, driven through the engine's API.
#include "tests/player/runtime/script_fixture.h"

namespace kestrel::runtime {
namespace {

using avm1::Value;

class XmlClassTest : public ScriptFixture {
  protected:
    Value newXml(const char* text) { return construct("XML", {Value(text)}); }
};

TEST_F(XmlClassTest, ParsedTreeIsNavigable) {
    Value xml = newXml("<root a=\"1\"><item id=\"x\">one</item><item>two</item></root>");
    Value root = get(xml, "firstChild");
    EXPECT_EQ(str(get(root, "nodeName")), "root");
    EXPECT_EQ(get(root, "nodeType").asNumber(), 1);
    EXPECT_EQ(str(get(get(root, "attributes"), "a")), "1");
    Value items = get(root, "childNodes");
    EXPECT_EQ(get(items, "length").asNumber(), 2);
    Value first = get(root, "firstChild");
    EXPECT_EQ(str(get(get(first, "firstChild"), "nodeValue")), "one");
    EXPECT_EQ(get(get(first, "firstChild"), "nodeType").asNumber(), 3);
    Value second = get(first, "nextSibling");
    EXPECT_EQ(str(get(get(second, "firstChild"), "nodeValue")), "two");
    EXPECT_EQ(get(second, "previousSibling").asObject(), first.asObject());
    EXPECT_EQ(get(second, "parentNode").asObject(), root.asObject());
    EXPECT_TRUE(get(second, "nextSibling").isNull());
    EXPECT_TRUE(get(root, "nodeValue").isNull());
    EXPECT_EQ(get(xml, "status").asNumber(), 0);
}

TEST_F(XmlClassTest, BuildsDocumentsAndWritesThemBack) {
    Value xml = newXml("");
    Value a = call(xml, "createElement", {Value("a")});
    vm().setMember(get(a, "attributes"), "k", Value("v&\"w"));
    call(a, "appendChild", {call(xml, "createTextNode", {Value("x<y")})});
    call(a, "appendChild", {call(xml, "createElement", {Value("empty")})});
    call(xml, "appendChild", {a});
    EXPECT_EQ(str(xml), "<a k=\"v&amp;&quot;w\">x&lt;y<empty /></a>");
    EXPECT_TRUE(call(a, "hasChildNodes").asBoolean());
    Value copy = call(a, "cloneNode", {Value(true)});
    call(get(a, "lastChild"), "removeNode");
    EXPECT_EQ(str(a), "<a k=\"v&amp;&quot;w\">x&lt;y</a>");
    EXPECT_EQ(str(copy), "<a k=\"v&amp;&quot;w\">x&lt;y<empty /></a>");
}

TEST_F(XmlClassTest, IgnoreWhiteAndStatus) {
    Value xml = newXml("");
    vm().setMember(xml, "ignoreWhite", Value(true));
    call(xml, "parseXML", {Value("<a>\n  <b/>\n</a>")});
    EXPECT_EQ(get(get(get(xml, "firstChild"), "childNodes"), "length").asNumber(), 1);
    call(xml, "parseXML", {Value("<a><b></a>")});
    EXPECT_EQ(get(xml, "status").asNumber(), -9);
    Value declared = newXml("<?xml version=\"1.0\"?><r/>");
    EXPECT_EQ(str(get(declared, "xmlDecl")), "<?xml version=\"1.0\"?>");
    EXPECT_EQ(str(declared), "<?xml version=\"1.0\"?><r />");
}

TEST_F(XmlClassTest, AppendingANodeMovesItAndRefusesCycles) {
    Value xml = newXml("<a><b/></a><c/>");
    Value a = get(xml, "firstChild");
    Value b = get(a, "firstChild");
    Value c = get(xml, "lastChild");
    call(c, "appendChild", {b});
    EXPECT_EQ(str(xml), "<a /><c><b /></c>");
    call(b, "appendChild", {c});  // c contains b: refused
    EXPECT_EQ(str(xml), "<a /><c><b /></c>");
    call(a, "insertBefore", {c, Value()});
    EXPECT_EQ(str(xml), "<a /><c><b /></c>");
}

TEST_F(XmlClassTest, InsertingAChildThatIsAlreadyThereLeavesTheOrder) {
    Value xml = newXml("<a/><b/>");
    Value a = get(xml, "firstChild");
    Value b = get(xml, "lastChild");
    call(xml, "insertBefore", {a, b});
    EXPECT_EQ(str(xml), "<a /><b />");
    call(b, "removeNode");
    call(xml, "insertBefore", {b, a});
    EXPECT_EQ(str(xml), "<b /><a />");
}

TEST_F(XmlClassTest, ChildNodesIsOneArrayRefilledWhenTheChildrenChange) {
    Value xml = newXml("<l><a/><b/></l>");
    Value list = get(xml, "firstChild");
    Value nodes = get(list, "childNodes");
    EXPECT_EQ(nodes.asObject(), get(list, "childNodes").asObject());
    call(list, "appendChild", {call(xml, "createElement", {Value("c")})});
    EXPECT_EQ(str(nodes), "<a />,<b />,<c />");
    call(nodes, "push", {call(xml, "createElement", {Value("stray")})});
    EXPECT_EQ(str(list), "<l><a /><b /><c /></l>");  // the tree does not see the push
    call(get(list, "firstChild"), "removeNode");
    EXPECT_EQ(str(nodes), "<b />,<c />");
}

TEST_F(XmlClassTest, AttributesKeepDocumentOrderAndNewOnesComeFirst) {
    Value xml = newXml("<n x=\"1\" y=\"2\" z=\"3\"/>");
    Value n = get(xml, "firstChild");
    EXPECT_EQ(str(n), "<n x=\"1\" y=\"2\" z=\"3\" />");
    set(get(n, "attributes"), "w", Value("0"));
    EXPECT_EQ(str(n), "<n w=\"0\" x=\"1\" y=\"2\" z=\"3\" />");
    EXPECT_EQ(str(call(n, "cloneNode", {Value(false)})), str(n));
}

TEST_F(XmlClassTest, NodeNameIgnoresUndefined) {
    Value xml = newXml("<a/>");
    set(xml, "nodeName", Value("doc"));
    set(xml, "nodeName", Value());
    EXPECT_EQ(str(xml), "<doc><a /></doc>");
}

TEST_F(XmlClassTest, IdMapCollectsParsedIdsAcrossParses) {
    Value xml = newXml("<a id=\"one\"><b id=\"two\"/></a>");
    Value map = get(xml, "idMap");
    EXPECT_EQ(get(map, "one").asObject(), get(xml, "firstChild").asObject());
    EXPECT_EQ(get(map, "two").asObject(), get(get(xml, "firstChild"), "firstChild").asObject());
    Value made = call(xml, "createElement", {Value("c")});
    set(get(made, "attributes"), "id", Value("three"));
    call(xml, "appendChild", {made});
    EXPECT_TRUE(get(map, "three").isUndefined());  // only parsing fills the map
    call(xml, "parseXML", {Value("<d id=\"four\"/>")});
    EXPECT_EQ(get(xml, "idMap").asObject(), map.asObject());
    EXPECT_TRUE(get(map, "one").isObject());
    EXPECT_EQ(get(map, "four").asObject(), get(xml, "firstChild").asObject());
}

TEST_F(XmlClassTest, VeryDeepScriptBuiltTreesDoNotExhaustTheStack) {
    Value xml = newXml("");
    Value parent = xml;
    for (int i = 0; i < 3000; ++i) {
        Value child = call(xml, "createElement", {Value("n")});
        call(parent, "appendChild", {child});
        parent = child;
    }
    // Writing and cloning stop at a fixed depth instead of recursing all the way.
    std::string text = str(xml);
    size_t opened = 0;
    for (size_t at = text.find("<n>"); at != std::string::npos; at = text.find("<n>", at + 1))
        ++opened;
    EXPECT_GT(opened, 500u);
    EXPECT_LT(opened, 3000u);
    Value copy = call(xml, "cloneNode", {Value(true)});
    EXPECT_TRUE(copy.isObject());
}

TEST_F(XmlClassTest, LoadDeliversThroughTheNetworkHostThenOnLoad) {
    FakeNetwork network;
    player.setNetworkHost(&network);
    Value xml = newXml("");
    vm().setMember(xml, "ignoreWhite", Value(true));
    EXPECT_TRUE(call(xml, "load", {Value("data/a.xml")}).asBoolean());
    ASSERT_EQ(network.requests.size(), 1u);
    EXPECT_EQ(network.requests[0].url, "data/a.xml");
    EXPECT_FALSE(network.requests[0].post);
    EXPECT_FALSE(get(xml, "loaded").asBoolean());
    // Only the pending request keeps the object alive: it must survive a collection.
    vm().collect();
    player.completeUrlRequest(network.requests[0].id, "<r> <s>ok</s> </r>");
    EXPECT_TRUE(get(xml, "loaded").asBoolean());
    EXPECT_EQ(str(get(get(get(xml, "firstChild"), "firstChild"), "nodeName")), "s");
    // A completion for an unknown id is ignored.
    player.completeUrlRequest(999, "<x/>");
}

TEST_F(XmlClassTest, SendAndLoadPostsTheDocument) {
    FakeNetwork network;
    player.setNetworkHost(&network);
    Value out = newXml("<q>1</q>");
    Value in = newXml("");
    call(out, "sendAndLoad", {Value("http://127.0.0.1/x"), in});
    ASSERT_EQ(network.requests.size(), 1u);
    EXPECT_TRUE(network.requests[0].post);
    EXPECT_EQ(network.requests[0].body, "<q>1</q>");
    player.failUrlRequest(network.requests[0].id);
    EXPECT_FALSE(get(in, "loaded").asBoolean());
}

TEST_F(XmlClassTest, LoadWithoutANetworkHostFails) {
    Value xml = newXml("");
    EXPECT_FALSE(call(xml, "load", {Value("a.xml")}).asBoolean());
}

}  // namespace
}  // namespace kestrel::runtime
