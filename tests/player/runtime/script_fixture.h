// A player with an empty one-frame movie, and short ways to drive its engine.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/runtime/movie_player.h"
#include "tools/swfwriter/movie_builder.h"

namespace kestrel::runtime {

class ScriptFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        swf::MovieBuilder movie;
        movie.Root().ShowFrame();
        auto bytes = movie.Build();
        ASSERT_TRUE(bytes);
        ASSERT_TRUE(player.load(bytes->data(), bytes->size()));
    }
    avm1::Vm& vm() { return player.vm(); }
    avm1::Value global(const char* name) {
        return vm().getMember(avm1::Value(vm().global()), name);
    }
    avm1::Value construct(const char* className, std::vector<avm1::Value> args = {}) {
        return vm().construct(global(className), args).value_or(avm1::Value());
    }
    avm1::Value get(const avm1::Value& o, const char* name) { return vm().getMember(o, name); }
    void set(const avm1::Value& o, const char* name, avm1::Value v) { vm().setMember(o, name, v); }
    std::string str(const avm1::Value& v) { return vm().toString(v); }
    avm1::Value call(const avm1::Value& o, const char* method, std::vector<avm1::Value> args = {}) {
        return vm().callMethod(o, method, args).value_or(avm1::Value());
    }
    // A native function value that records its arguments.
    avm1::Value recorder(std::vector<std::vector<avm1::Value>>& calls, avm1::Value result = {}) {
        return avm1::Value(vm().newNativeFunction([&calls, result](avm1::NativeCall& c) {
            calls.push_back(c.args);
            return result;
        }));
    }

    MoviePlayer player;
};

class FakeNetwork : public NetworkHost {
  public:
    bool requestUrl(const UrlRequest& request) override {
        requests.push_back(request);
        return !refuse;
    }
    void navigate(const std::string& url, const std::string& target, bool post,
                  const std::string& body) override {
        navigations.push_back(url + " " + target + (post ? " POST " + body : ""));
    }
    std::vector<UrlRequest> requests;
    std::vector<std::string> navigations;
    bool refuse = false;
};

}  // namespace kestrel::runtime
