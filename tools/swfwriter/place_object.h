// PlaceObject 1 to 3 and RemoveObject: put, move, replace or remove characters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/swf_format.h"
#include "tools/swfwriter/byte_writer.h"
#include "tools/swfwriter/records.h"

namespace swf {

// Event flag for a name such as "enterFrame"; no value for an unknown name.
std::optional<uint32_t> ClipEventByName(const std::string& name);

struct ClipAction {
    uint32_t events = 0;
    uint8_t keyCode = 0;  // with kClipKeyPress
    Bytes actions;        // assembled, ending with the End action
};

struct PlaceObject {
    uint16_t depth = 1;
    std::optional<uint16_t> characterId;  // absent: modify what is at depth
    bool move = false;                    // modify (or with a character: replace) at depth
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<uint16_t> clipDepth;
    std::vector<ClipAction> clipActions;
    // PlaceObject3 only.
    std::optional<std::string> className;
    std::optional<uint8_t> blendMode;  // 1 normal ... 14 hardlight
    bool cacheAsBitmap = false;
};

// Blend mode number for a name such as "multiply"; no value for an unknown name.
std::optional<uint8_t> BlendModeByName(const std::string& name);

// PlaceObject (the first form): character, depth, matrix and an optional colour transform
// without alpha. Refuses alpha terms.
std::optional<Bytes> EncodePlaceObject(uint16_t characterId, uint16_t depth, const Matrix& matrix,
                                       const std::optional<ColorTransform>& colorTransform,
                                       std::string* error = nullptr);
// RemoveObject (the first form): character and depth.
Bytes EncodeRemoveObject(uint16_t characterId, uint16_t depth);
// PlaceObject3: PlaceObject2's fields plus class name, blend mode and bitmap caching.
std::optional<Bytes> EncodePlaceObject3(const PlaceObject& place, uint8_t swfVersion,
                                        std::string* error = nullptr);

// The PlaceObject2 body. Clip action flags are 16 bits up to SWF 5, 32 bits from SWF 6.
std::optional<Bytes> EncodePlaceObject2(const PlaceObject& place, uint8_t swfVersion,
                                        std::string* error = nullptr);

}  // namespace swf
