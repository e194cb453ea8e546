// A window's mask image as the region data its mask item carries: every
// pixel that is not white belongs to the window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

// False with the reason in `message` when the image cannot be read or
// converted.
bool ConvertMaskImage(const std::string& imagePath, std::vector<uint8_t>* region,
                      std::string* message);

}  // namespace kestrel
