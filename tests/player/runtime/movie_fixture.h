// A player loaded with a movie written in the SWF writer's description language, with
// its trace output collected.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/core/movie_clip.h"
#include "player/runtime/movie_player.h"
#include "tools/swfwriter/description.h"

namespace kestrel::runtime {

inline std::vector<uint8_t> compile(const std::string& description) {
    std::string error;
    auto bytes = swf::CompileDescription(description, error);
    EXPECT_TRUE(bytes) << error;
    return bytes ? std::vector<uint8_t>(bytes->begin(), bytes->end()) : std::vector<uint8_t>();
}

class MovieTest : public ::testing::Test {
  protected:
    void load(const std::string& description) {
        std::vector<uint8_t> bytes = compile(description);
        player.traceOutput().openFile("");
        player.traceOutput().setCallback(
            [this](std::string_view line) { traces.emplace_back(line); });
        ASSERT_TRUE(player.load(bytes.data(), bytes.size()));
    }
    avm1::Value root() { return avm1::Value(player.rootObject()); }
    avm1::Value get(const avm1::Value& o, const char* name) {
        return player.vm().getMember(o, name);
    }
    std::string str(const avm1::Value& v) { return player.vm().toString(v); }
    avm1::Value call(const avm1::Value& o, const char* method, std::vector<avm1::Value> args = {}) {
        return player.vm().callMethod(o, method, args).value_or(avm1::Value());
    }
    player::EditText* field(const char* name) {
        auto* d = player.stage()->root().childByName(name, true);
        return d && d->kind() == player::DisplayObjectKind::EditText
                   ? static_cast<player::EditText*>(d)
                   : nullptr;
    }
    std::vector<std::string> takeTraces() {
        std::vector<std::string> out;
        out.swap(traces);
        return out;
    }

    MoviePlayer player;
    std::vector<std::string> traces;
};

}  // namespace kestrel::runtime
