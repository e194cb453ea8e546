// Character definitions without drawing of their own: sprites and exported names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/swfwriter/byte_writer.h"
#include "tools/swfwriter/timeline.h"

namespace swf {

// DefineSprite: id, frame count, the sprite's own tags ending with End.
std::optional<Bytes> EncodeDefineSprite(uint16_t id, const Timeline& frames,
                                        std::string* error = nullptr);

// ExportAssets: character ids and the names attachMovie finds them by.
Bytes EncodeExportAssets(const std::vector<std::pair<uint16_t, std::string>>& names);

}  // namespace swf
