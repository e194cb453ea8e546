// Compressed pictures inside bitmap tags (JPEG, PNG, GIF) decoded with stb_image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrel::player {

enum class ImageFormat { Jpeg, Png, Gif, Unknown };

// By the picture's signature.
ImageFormat sniffImage(const uint8_t* data, size_t size);

// Straight (not premultiplied) RGBA, rows top to bottom; the first frame of a GIF.
// False for bad data and for sizes bitmapSizeAllowed refuses.
bool decodeImage(const uint8_t* data, size_t size, int& width, int& height,
                 std::vector<uint8_t>& rgba);

}  // namespace kestrel::player
