// A tiny SWF reader for the engine's corpus test: the action blocks of each root frame.
// The real movie model lives in player/core; this one only knows what the test needs.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::avm1::test {

struct CorpusFrame {
    // DoInitAction blocks first (they run before the frame's own actions), then DoAction.
    std::vector<std::shared_ptr<const std::vector<uint8_t>>> initActions;
    std::vector<std::shared_ptr<const std::vector<uint8_t>>> actions;
};

struct CorpusMovie {
    int version = 0;
    std::vector<CorpusFrame> frames;
};

// Reads FWS or CWS bytes; nullopt for anything it cannot read.
std::optional<CorpusMovie> readCorpusMovie(const std::vector<uint8_t>& file);

}  // namespace kestrel::avm1::test
