// Writes a pixel buffer as an 8-bit RGBA PNG. The file appears only when it is
// complete: a failure leaves no partial file and an older file as it was.
#pragma once

#include <string>

#include "player/render/pixel_buffer.h"

namespace kestrel::render {

// False with a reason when the buffer is empty or the file cannot be written.
bool WritePngFile(const std::string& path, const PixelBuffer& image, std::string& error);

}  // namespace kestrel::render
