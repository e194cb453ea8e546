// LoadVars and loadVariables: decoding, encoding and the network round trip.
#include "tests/player/runtime/script_fixture.h"

namespace kestrel::runtime {
namespace {

using avm1::Value;

using LoadVarsTest = ScriptFixture;

TEST_F(LoadVarsTest, DecodeAndToStringRoundTrip) {
    Value vars = construct("LoadVars");
    call(vars, "decode", {Value("name=J%C3%B6rg+K&n=5&empty=")});
    EXPECT_EQ(str(get(vars, "name")), "J\xC3\xB6rg K");
    EXPECT_EQ(str(get(vars, "n")), "5");
    EXPECT_EQ(str(get(vars, "empty")), "");
    // Newest first, as for..in lists them.
    EXPECT_EQ(str(vars), "empty=&n=5&name=J%C3%B6rg%20K");
}

TEST_F(LoadVarsTest, LoadCallsOnLoadWithTheDecodedVariables) {
    FakeNetwork network;
    player.setNetworkHost(&network);
    Value vars = construct("LoadVars");
    std::vector<std::vector<Value>> loads;
    set(vars, "onLoad", recorder(loads));
    EXPECT_TRUE(call(vars, "load", {Value("vars.txt")}).asBoolean());
    ASSERT_EQ(network.requests.size(), 1u);
    player.completeUrlRequest(network.requests[0].id, "a=1&b=two");
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_TRUE(loads[0][0].asBoolean());
    EXPECT_EQ(str(get(vars, "b")), "two");
    EXPECT_TRUE(get(vars, "loaded").asBoolean());
}

TEST_F(LoadVarsTest, OnDataReplacesTheDefaultDecoding) {
    FakeNetwork network;
    player.setNetworkHost(&network);
    Value vars = construct("LoadVars");
    std::vector<std::vector<Value>> data;
    set(vars, "onData", recorder(data));
    call(vars, "load", {Value("raw.txt")});
    player.completeUrlRequest(network.requests[0].id, "a=1");
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(str(data[0][0]), "a=1");
    EXPECT_TRUE(get(vars, "a").isUndefined());
}

TEST_F(LoadVarsTest, FailedLoadReportsFalse) {
    FakeNetwork network;
    player.setNetworkHost(&network);
    Value vars = construct("LoadVars");
    std::vector<std::vector<Value>> loads;
    set(vars, "onLoad", recorder(loads));
    call(vars, "load", {Value("missing.txt")});
    player.failUrlRequest(network.requests[0].id);
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_FALSE(loads[0][0].asBoolean());
    network.refuse = true;
    EXPECT_FALSE(call(vars, "load", {Value("refused.txt")}).asBoolean());
}

TEST_F(LoadVarsTest, SendAndLoadPostsOrAppendsTheVariables) {
    FakeNetwork network;
    player.setNetworkHost(&network);
    Value out = construct("LoadVars");
    set(out, "q", Value("a b"));
    Value in = construct("LoadVars");
    call(out, "sendAndLoad", {Value("http://h/p"), in, Value("POST")});
    call(out, "sendAndLoad", {Value("http://h/p?x=1"), in, Value("GET")});
    ASSERT_EQ(network.requests.size(), 2u);
    EXPECT_TRUE(network.requests[0].post);
    EXPECT_EQ(network.requests[0].body, "q=a%20b");
    ASSERT_EQ(network.requests[0].headers.size(), 1u);
    EXPECT_EQ(network.requests[0].headers[0].second, "application/x-www-form-urlencoded");
    EXPECT_FALSE(network.requests[1].post);
    EXPECT_EQ(network.requests[1].url, "http://h/p?x=1&q=a%20b");
    player.completeUrlRequest(network.requests[0].id, "r=ok");
    EXPECT_EQ(str(get(in, "r")), "ok");
}

TEST_F(LoadVarsTest, LoadVariablesOnAClipSetsItsVariables) {
    FakeNetwork network;
    player.setNetworkHost(&network);
    Value root(player.rootObject());
    call(root, "loadVariables", {Value("v.txt")});
    ASSERT_EQ(network.requests.size(), 1u);
    player.completeUrlRequest(network.requests[0].id, "score=10&name=x");
    EXPECT_EQ(str(get(root, "score")), "10");
}

}  // namespace
}  // namespace kestrel::runtime
