// AMF0: values written and read back, references for objects met twice, the remoting
// envelope byte for byte, and damaged input refused at every cut.
#include "player/runtime/amf0.h"

#include "tests/player/runtime/script_fixture.h"

namespace kestrel::runtime {
namespace {

using avm1::Value;

class Amf0Test : public ScriptFixture {
  protected:
    std::string Encode(const Value& v) {
        Amf0Writer w(vm());
        w.Write(v);
        return w.bytes();
    }
    Value RoundTrip(const Value& v) {
        std::string bytes = Encode(v);
        Amf0Reader r(vm(), bytes);
        auto out = r.Read();
        EXPECT_TRUE(out && r.atEnd());
        return out.value_or(Value("<unreadable>"));
    }
    static std::string Hex(const std::string& bytes) {
        static const char kHex[] = "0123456789ABCDEF";
        std::string out;
        for (unsigned char b : bytes) {
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
        return out;
    }
};

TEST_F(Amf0Test, PrimitivesHaveTheirMarkers) {
    struct Case {
        Value value;
        const char* hex;
    };
    const Case cases[] = {
        {Value(), "06"},
        {Value::null(), "05"},
        {Value(true), "0101"},
        {Value(1.5), "003FF8000000000000"},
        {Value("ab"), "0200026162"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Hex(Encode(c.value)), c.hex);
        EXPECT_EQ(str(RoundTrip(c.value)), str(c.value));
    }
    std::string longText(70000, 'x');
    EXPECT_EQ(Encode(Value(longText))[0], '\x0C');
    EXPECT_EQ(RoundTrip(Value(longText)).asString().size(), 70000u);
}

TEST_F(Amf0Test, ObjectsDatesXmlAndArraysComeBackAsCopies) {
    Value o(vm().newObject());
    set(o, "name", Value("n"));
    set(o, "list", Value(vm().newArray({Value(1), Value("two")})));
    Value copy = RoundTrip(o);
    ASSERT_TRUE(copy.isObject());
    EXPECT_NE(copy.asObject(), o.asObject());
    EXPECT_EQ(str(get(copy, "name")), "n");
    EXPECT_EQ(str(get(copy, "list")), "1,two");

    Value date = construct("Date", {Value(1672531200000.0)});
    EXPECT_EQ(str(call(RoundTrip(date), "getTime")), "1672531200000");

    Value xml = construct("XML", {Value("<a b='1'>t</a>")});
    Value xmlCopy = RoundTrip(xml);
    EXPECT_EQ(str(get(get(xmlCopy, "firstChild"), "nodeName")), "a");

    // Functions go as plain objects, their hidden members left behind.
    Value f = global("parseInt");
    EXPECT_EQ(vm().typeOf(RoundTrip(f)), "object");
}

TEST_F(Amf0Test, AnObjectMetTwiceIsAReferenceSoCyclesEnd) {
    Value o(vm().newObject());
    set(o, "self", o);
    Value copy = RoundTrip(o);
    ASSERT_TRUE(copy.isObject());
    EXPECT_EQ(get(copy, "self").asObject(), copy.asObject());
}

TEST_F(Amf0Test, RegisteredClassesAreTypedByTheirSymbol) {
    Value ctor(vm().newNativeFunction([](avm1::NativeCall&) { return Value(); }));
    Value proto(vm().newObject());
    set(ctor, "prototype", proto);
    call(global("Object"), "registerClass", {Value("com.Point"), ctor});
    Value o(vm().newObject(proto.asObject()));
    set(o, "x", Value(1));
    std::string bytes = Encode(o);
    EXPECT_EQ(Hex(bytes.substr(0, 3)), "100009");
    EXPECT_EQ(bytes.substr(3, 9), "com.Point");
    EXPECT_EQ(RoundTrip(o).asObject()->proto(), proto.asObject());
}

TEST_F(Amf0Test, RemotingRequestEnvelope) {
    std::string body = EncodeRemotingRequest(vm(), "svc.m", "/1", {Value("a")});
    // Version 0, no headers, one message: target, response URI, length, the arguments.
    EXPECT_EQ(Hex(body), "000000000001" + std::string("0005") + Hex("svc.m") + "0002" + Hex("/1") +
                             "00000009" + "0A00000001" + "02000161");
}

TEST_F(Amf0Test, DamagedInputIsRefusedAtEveryCut) {
    Value o(vm().newObject());
    set(o, "text", Value("hello"));
    set(o, "when", construct("Date", {Value(5)}));
    set(o, "list", Value(vm().newArray({Value(1), Value(2)})));
    std::string bytes = Encode(o);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        Amf0Reader r(vm(), std::string_view(bytes).substr(0, cut));
        EXPECT_FALSE(r.Read()) << "cut at " << cut;
    }
    const std::string damaged[] = {
        std::string("\x07\x00\x05", 3),                   // reference to nothing
        std::string("\x0A\xFF\xFF\xFF\xFF", 5),           // strict array longer than the input
        std::string("\x03\x00\x01x\x06\x00\x00\x01", 8),  // object end marker wrong
        std::string("\x0E", 1),                           // unknown marker
    };
    for (const std::string& d : damaged) {
        Amf0Reader r(vm(), d);
        EXPECT_FALSE(r.Read()) << Hex(d);
    }
    // Nesting deeper than the reader follows.
    std::string deep;
    for (int i = 0; i < 1000; ++i) deep += std::string("\x0A\x00\x00\x00\x01", 5);
    deep += '\x06';
    Amf0Reader r(vm(), deep);
    EXPECT_FALSE(r.Read());
}

}  // namespace
}  // namespace kestrel::runtime
