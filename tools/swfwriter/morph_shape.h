// DefineMorphShape and DefineMorphShape2 from two shapes: the start (styles and
// edges) and the end (the same number of styles, each the end of its partner, and
// the same edges moved; its style changes are not written).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tools/swfwriter/byte_writer.h"
#include "tools/swfwriter/shape.h"

namespace swf {

// `version` 1 writes DefineMorphShape, 2 DefineMorphShape2.
uint16_t MorphShapeTagCode(int version);
std::optional<Bytes> EncodeDefineMorphShape(uint16_t id, const Shape& start, const Shape& end,
                                            int version = 1, std::string* error = nullptr);

}  // namespace swf
