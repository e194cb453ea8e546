// JPEG and PNG pictures made for tests (stb_image_write), and a JPEG split into
// its tables and its image as DefineBits and JPEGTables store them.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "player/core/swf_types.h"

namespace kestrel::player::test {

using PixelAt = std::function<Rgba(int x, int y)>;

std::vector<uint8_t> JpegOf(int width, int height, const PixelAt& pixel, int quality = 95);
std::vector<uint8_t> PngOf(int width, int height, const PixelAt& pixel);

// The tables (SOI, DQT and DHT segments, EOI) and the rest (SOI, frame, scan, EOI).
void SplitJpegTables(const std::vector<uint8_t>& jpeg, std::vector<uint8_t>& tables,
                     std::vector<uint8_t>& image);

}  // namespace kestrel::player::test
