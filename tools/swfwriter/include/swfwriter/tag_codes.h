// Tag codes of the SWF tags the writer produces.
#pragma once

#include <cstdint>

namespace swf {

enum TagCode : uint16_t {
    kTagEnd = 0,
    kTagShowFrame = 1,
    kTagDefineShape = 2,
    kTagPlaceObject = 4,
    kTagRemoveObject = 5,
    kTagSetBackgroundColor = 9,
    kTagDoAction = 12,
    kTagDefineBitsLossless = 20,
    kTagDefineShape2 = 22,
    kTagPlaceObject2 = 26,
    kTagRemoveObject2 = 28,
    kTagDefineShape3 = 32,
    kTagDefineButton2 = 34,
    kTagDefineBitsLossless2 = 36,
    kTagDefineEditText = 37,
    kTagDefineSprite = 39,
    kTagFrameLabel = 43,
    kTagDefineFont2 = 48,
    kTagExportAssets = 56,
    kTagDoInitAction = 59,
    kTagFileAttributes = 69,
    kTagPlaceObject3 = 70,
    kTagDefineShape4 = 83,
};

}  // namespace swf
