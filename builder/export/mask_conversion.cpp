#include "builder/export/mask_conversion.h"

#include "builder/mask_image.h"
#include "builder/mask_region.h"

namespace kestrel {

bool ConvertMaskImage(const std::string& imagePath, std::vector<uint8_t>* region,
                      std::string* message) {
    MaskImage image = LoadMaskImage(imagePath);
    if (image.error != MaskImageError::None) {
        *message = ToString(image.error);
        return false;
    }
    *region = MakeRegionData(image.pixels, KeyColour{255, 255, 255});
    if (region->empty()) {
        *message = "the image cannot be turned into a region";
        return false;
    }
    return true;
}

}  // namespace kestrel
