// NetConnection posts remoting calls and hands the answers to their responders;
// LocalConnection delivers copies of the arguments on the next frame.
#include "tests/player/runtime/script_fixture.h"

namespace kestrel::runtime {
namespace {

using avm1::Value;

class ConnectionTest : public ScriptFixture {
  protected:
    void SetUp() override {
        ScriptFixture::SetUp();
        player.setNetworkHost(&network);
    }
    // A responder whose onResult and onStatus record what they get.
    Value Responder(std::vector<std::vector<Value>>& results,
                    std::vector<std::vector<Value>>& statuses) {
        Value r(vm().newObject());
        set(r, "onResult", recorder(results));
        set(r, "onStatus", recorder(statuses));
        return r;
    }
    FakeNetwork network;
};

TEST_F(ConnectionTest, RemotingCallPostsAmfAndTheAnswerReachesItsResponder) {
    Value nc = construct("NetConnection");
    EXPECT_EQ(str(call(nc, "call", {Value("svc.m"), Value::null()})), "false");  // not connected
    call(nc, "connect", {Value("http://gateway/")});
    std::vector<std::vector<Value>> results, statuses;
    Value responder = Responder(results, statuses);
    EXPECT_EQ(str(call(nc, "call", {Value("svc.m"), responder, Value(7)})), "true");
    ASSERT_EQ(network.requests.size(), 1u);
    const UrlRequest& request = network.requests[0];
    EXPECT_EQ(request.url, "http://gateway/");
    EXPECT_TRUE(request.post);
    EXPECT_EQ(request.headers.at(0).second, "application/x-amf");
    EXPECT_NE(request.body.find("svc.m"), std::string::npos);

    // Version 0, no headers, one message "/1/onResult" with the number 8.
    std::string answer(
        "\x00\x00\x00\x00\x00\x01\x00\x0B/1/onResult\x00\x04null\x00\x00\x00\x09"
        "\x00\x40\x20\x00\x00\x00\x00\x00\x00",
        38);
    player.completeUrlRequest(request.id, answer);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(str(results[0].at(0)), "8");

    // A failed request tells the responder through onStatus.
    call(nc, "call", {Value("svc.m"), responder});
    player.failUrlRequest(network.requests.back().id);
    ASSERT_EQ(statuses.size(), 1u);
    EXPECT_EQ(str(get(statuses[0].at(0), "code")), "NetConnection.Call.Failed");
}

TEST_F(ConnectionTest, LocalConnectionDeliversCopiesOnTheNextFrame) {
    Value receiver = construct("LocalConnection");
    std::vector<std::vector<Value>> calls;
    set(receiver, "show", recorder(calls));
    EXPECT_EQ(str(call(receiver, "connect", {Value("chan")})), "true");
    Value other = construct("LocalConnection");
    EXPECT_EQ(str(call(other, "connect", {Value("CHAN")})), "false");  // names ignore case

    Value sender = construct("LocalConnection");
    std::vector<std::vector<Value>> statuses;
    set(sender, "onStatus", recorder(statuses));
    Value payload(vm().newObject());
    set(payload, "x", Value(1));
    EXPECT_EQ(str(call(sender, "send", {Value("chan"), Value("show"), payload})), "true");
    call(sender, "send", {Value("nobody"), Value("show")});
    EXPECT_TRUE(calls.empty());  // never inside send
    player.advanceFrame();
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_TRUE(calls[0].at(0).isObject());
    EXPECT_NE(calls[0][0].asObject(), payload.asObject());
    EXPECT_EQ(str(get(calls[0][0], "x")), "1");
    ASSERT_EQ(statuses.size(), 2u);
    EXPECT_EQ(str(get(statuses[0].at(0), "level")), "status");
    EXPECT_EQ(str(get(statuses[1].at(0), "level")), "error");

    call(receiver, "close");
    EXPECT_EQ(str(call(other, "connect", {Value("chan")})), "true");
}

}  // namespace
}  // namespace kestrel::runtime
