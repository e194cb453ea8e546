// A tiny SWF reader for the engine's corpus test: the action blocks of each root frame.
// The real movie model lives in player/core; this one only knows what the test needs.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::avm1::test {

// A sprite placed on a frame (PlaceObject2 with a character).
struct CorpusPlacement {
    int depth = 0;
    int characterId = 0;
    std::string name;  // empty: the player names it "instanceN"
};

struct CorpusFrame {
    // DoInitAction blocks first (they run before the frame's own actions), then DoAction.
    std::vector<std::shared_ptr<const std::vector<uint8_t>>> initActions;
    std::vector<std::shared_ptr<const std::vector<uint8_t>>> actions;
    std::vector<CorpusPlacement> placements;
};

struct CorpusSprite {
    int id = 0;
    std::vector<CorpusFrame> frames;
};

struct CorpusMovie {
    int version = 0;
    std::vector<CorpusFrame> frames;
    std::vector<CorpusSprite> sprites;
    const CorpusSprite* sprite(int id) const {
        for (const auto& s : sprites)
            if (s.id == id) return &s;
        return nullptr;
    }
};

// Reads FWS or CWS bytes; nullopt for anything it cannot read.
std::optional<CorpusMovie> readCorpusMovie(const std::vector<uint8_t>& file);

}  // namespace kestrel::avm1::test
