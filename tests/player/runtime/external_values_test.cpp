// Values across the external interface: XML forms both ways and calls into the movie.
#include "player/runtime/external_values.h"

#include "tests/player/runtime/script_fixture.h"

namespace kestrel::runtime {
namespace {

using avm1::Value;

using ExternalValuesTest = ScriptFixture;

TEST_F(ExternalValuesTest, PrimitivesToXml) {
    EXPECT_EQ(valueToXml(vm(), Value()), "<undefined/>");
    EXPECT_EQ(valueToXml(vm(), Value::null()), "<null/>");
    EXPECT_EQ(valueToXml(vm(), Value(true)), "<true/>");
    EXPECT_EQ(valueToXml(vm(), Value(false)), "<false/>");
    EXPECT_EQ(valueToXml(vm(), Value(2.5)), "<number>2.5</number>");
    EXPECT_EQ(valueToXml(vm(), Value("a<b")), "<string>a&lt;b</string>");
}

TEST_F(ExternalValuesTest, ObjectsAndArraysToXmlAndBack) {
    Value obj(vm().newObject());
    set(obj, "x", Value(1));
    set(obj, "list", Value(vm().newArray({Value("a"), Value(true)})));
    std::string xml = valueToXml(vm(), obj);
    EXPECT_EQ(xml,
              "<object><property id='x'><number>1</number></property><property id='list'><array>"
              "<property id='0'><string>a</string></property><property id='1'><true/></property>"
              "</array></property></object>");
    Value back = xmlTextToValue(vm(), xml);
    EXPECT_EQ(get(back, "x").asNumber(), 1);
    EXPECT_EQ(get(get(back, "list"), "length").asNumber(), 2);
    EXPECT_EQ(str(get(get(back, "list"), "0")), "a");
}

TEST_F(ExternalValuesTest, CyclesEndInNull) {
    Value obj(vm().newObject());
    set(obj, "self", obj);
    EXPECT_EQ(valueToXml(vm(), obj), "<object><property id='self'><null/></property></object>");
}

TEST_F(ExternalValuesTest, XmlFormsToValues) {
    EXPECT_TRUE(xmlTextToValue(vm(), "<null/>").isNull());
    EXPECT_TRUE(xmlTextToValue(vm(), "<undefined/>").isUndefined());
    EXPECT_TRUE(xmlTextToValue(vm(), "<true/>").asBoolean());
    EXPECT_EQ(xmlTextToValue(vm(), "<number>-12.5</number>").asNumber(), -12.5);
    EXPECT_EQ(xmlTextToValue(vm(), "<string>a&amp;b</string>").asString(), "a&b");
    EXPECT_TRUE(xmlTextToValue(vm(), "garbage").isUndefined());
    EXPECT_TRUE(xmlTextToValue(vm(), "").isUndefined());
}

class RecordingExternalHost : public ExternalHost {
  public:
    std::optional<std::string> callOut(const std::string& invokeXml) override {
        calls.push_back(invokeXml);
        return answer;
    }
    void callbackAdded(const std::string& name) override { added.push_back(name); }
    std::vector<std::string> calls, added;
    std::optional<std::string> answer;
};

TEST_F(ExternalValuesTest, CallbacksRegisteredByTheMovieAreInvokedFromTheHost) {
    RecordingExternalHost host;
    player.setExternalHost(&host);
    Value ei = get(get(get(global("flash"), "external"), "ExternalInterface"), "addCallback");
    ASSERT_TRUE(ei.isObject()) << "ExternalInterface.addCallback missing";
    Value eiClass = get(get(global("flash"), "external"), "ExternalInterface");
    EXPECT_TRUE(get(eiClass, "available").asBoolean());
    std::vector<std::vector<Value>> calls;
    call(eiClass, "addCallback", {Value("resize"), Value::null(), recorder(calls, Value("done"))});
    EXPECT_EQ(host.added, std::vector<std::string>{"resize"});
    EXPECT_EQ(player.registeredCallbacks(), std::vector<std::string>{"resize"});

    auto answer = player.invokeCallback(
        "<invoke name=\"resize\" returntype=\"javascript\"><arguments><number>640</number>"
        "<string>x</string></arguments></invoke>");
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, "<string>done</string>");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0][0].asNumber(), 640);
    EXPECT_EQ(str(calls[0][1]), "x");

    EXPECT_FALSE(player.invokeCallback("<invoke name=\"unknown\"/>"));
    EXPECT_FALSE(player.invokeCallback("not xml"));
}

TEST_F(ExternalValuesTest, CallOutGoesThroughTheHostAndDecodesTheAnswer) {
    RecordingExternalHost host;
    host.answer = "<object><property id='x'><number>10</number></property></object>";
    player.setExternalHost(&host);
    Value eiClass = get(get(global("flash"), "external"), "ExternalInterface");
    Value result = call(eiClass, "call", {Value("Window.getPosition"), Value("main")});
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_NE(host.calls[0].find("name=\"Window.getPosition\""), std::string::npos);
    EXPECT_NE(host.calls[0].find("<string>main</string>"), std::string::npos);
    EXPECT_EQ(get(result, "x").asNumber(), 10);

    host.answer.reset();
    EXPECT_TRUE(call(eiClass, "call", {Value("Window.center")}).isNullish());
}

}  // namespace
}  // namespace kestrel::runtime
