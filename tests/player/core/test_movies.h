// Test movies: SWF writer descriptions compiled and loaded, and a hooks recorder.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "player/core/button.h"
#include "player/core/movie_clip.h"
#include "player/core/movie_definition.h"
#include "player/core/stage.h"
#include "tools/swfwriter/description.h"

namespace kestrel::player::test {

inline std::vector<uint8_t> compileMovie(const std::string& description) {
    std::string error;
    auto bytes = swf::CompileDescription(description, error);
    EXPECT_TRUE(bytes.has_value()) << error;
    return bytes ? *bytes : std::vector<uint8_t>{};
}

// A description line that writes `body` as tag `code` just as it stands.
inline std::string tagLine(uint16_t code, const std::vector<uint8_t>& body) {
    std::string line = "tag " + std::to_string(code) + " long";
    char pair[4];
    for (uint8_t b : body) {
        std::snprintf(pair, sizeof pair, " %02x", b);
        line += pair;
    }
    return line + "\n";
}

inline std::shared_ptr<const MovieDefinition> loadDescription(const std::string& description) {
    std::vector<uint8_t> bytes = compileMovie(description);
    MovieLoadResult result = loadMovie(bytes.data(), bytes.size());
    EXPECT_EQ(result.error, SwfError::None) << toString(result.error);
    return result.movie;
}

inline std::string hexOf(const ActionBytes& actions) {
    std::string out;
    char buf[4];
    for (size_t i = 0; i < actions.size; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", actions.data[i]);
        out += buf;
    }
    return out;
}

// Writes every hook call as one line, so tests compare sequences.
class RecordingHooks : public TimelineHooks {
  public:
    std::vector<std::string> log;
    bool recordEnterFrame = false;

    void objectCreated(DisplayObject& o) override { log.push_back("created " + o.name()); }
    void objectRemoved(DisplayObject& o) override { log.push_back("removed " + o.name()); }
    void runInitActions(MovieClip&, uint16_t id, const ActionBytes& a) override {
        log.push_back("init " + std::to_string(id) + " " + hexOf(a));
    }
    void runFrameActions(MovieClip& clip, const ActionBytes& a) override {
        log.push_back("frame " + clip.name() + " " + hexOf(a));
    }
    void clipLoaded(MovieClip& clip) override { log.push_back("loaded " + clip.name()); }
    void frameEntered(MovieClip& clip) override {
        if (recordEnterFrame) log.push_back("enter " + clip.name());
    }
    void runButtonActions(Button& b, const ActionBytes& a) override {
        log.push_back("button " + b.name() + " " + hexOf(a));
    }
    void mouseEvent(DisplayObject& target, MouseEvent e) override {
        log.push_back(std::string("mouse ") + target.name() + " " + toString(e));
    }
    std::vector<std::string> take() {
        std::vector<std::string> out;
        out.swap(log);
        return out;
    }
};

// Hex for a raw tag body in a description ("tag <code> <hex>").
inline std::string hex(const std::vector<uint8_t>& bytes) {
    std::string out;
    char buf[4];
    for (uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X", b);
        out += buf;
    }
    return out;
}

// DefineButton2: one record shown in every state (and as hit area), and one
// condition action block.
inline std::string buttonTag(uint16_t id, uint16_t shapeId, uint16_t conditions,
                             const std::vector<uint8_t>& actions) {
    std::vector<uint8_t> b = {uint8_t(id),
                              uint8_t(id >> 8),
                              0x00,
                              0x0A,
                              0x00,
                              0x0F,
                              uint8_t(shapeId),
                              uint8_t(shapeId >> 8),
                              0x01,
                              0x00,
                              0x00 /* matrix */,
                              0x00 /* cxform */,
                              0x00 /* end of records */,
                              0x00,
                              0x00,
                              uint8_t(conditions),
                              uint8_t(conditions >> 8)};
    b.insert(b.end(), actions.begin(), actions.end());
    return "tag 34 long " + hex(b);
}

// DefineEditText with a RECT of (0, 0, width, height) twips (13-bit fields, so up to
// 4095), a device font of 240 twips in red, a border, variable `variable` and text
// `text`.
inline std::vector<uint8_t> editTextBody(uint16_t id, int width, int height,
                                         const std::string& variable, const std::string& text) {
    std::vector<uint8_t> body = {uint8_t(id), uint8_t(id >> 8)};
    uint64_t bits = 0;
    int count = 0;
    auto put = [&](uint64_t v, int n) {
        bits = (bits << n) | (v & ((1ull << n) - 1));
        count += n;
    };
    put(13, 5);
    put(0, 13);
    put(static_cast<uint64_t>(width), 13);
    put(0, 13);
    put(static_cast<uint64_t>(height), 13);
    put(0, 64 - count);
    for (int i = 7; i >= 0; --i) body.push_back(static_cast<uint8_t>(bits >> (i * 8)));
    body.push_back(0x80 | 0x04 | 0x01);  // HasText, HasTextColor, HasFont
    body.push_back(0x08);                // Border
    body.insert(body.end(), {0x01, 0x00, 0xF0, 0x00, 0xFF, 0x00, 0x00, 0xFF});
    body.insert(body.end(), variable.begin(), variable.end());
    body.push_back(0);
    body.insert(body.end(), text.begin(), text.end());
    body.push_back(0);
    return body;
}

inline std::string editTextTag(uint16_t id, int width, int height, const std::string& variable,
                               const std::string& text) {
    return "tag 37 long " + hex(editTextBody(id, width, height, variable, text));
}

}  // namespace kestrel::player::test
