// A Windows icon file (.ico) read into its images, and the replacement of an
// executable's icon by all of them.
#pragma once

#include <cstdint>
#include <vector>

#include "builder/pe/pe_error.h"
#include "builder/pe/pe_image.h"

namespace kestrel::pe {

struct IconImage {
    uint8_t width = 0;  // 0 means 256
    uint8_t height = 0;
    uint8_t colorCount = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    std::vector<uint8_t> data;  // a BMP-style DIB or a PNG, as stored
};

// Reads every image of an .ico file. Each image's offset and size are
// checked against the file; IconDamaged for any fault, an empty directory
// included.
PeError ReadIconFile(const std::vector<uint8_t>& file, std::vector<IconImage>* images);

// Replaces the executable's first icon group (the one the shell shows) by
// one listing `images`, written as icon resources under the group's own
// language; the group keeps its name. The old group's images go, unless
// another group still uses them. NoIconGroup when there is no group.
PeError ReplaceIcon(PeImage* image, const std::vector<IconImage>& images);

}  // namespace kestrel::pe
