#include "tests/player/core/test_pictures.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#endif
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace kestrel::player::test {

namespace {

std::vector<uint8_t> Pixels(int width, int height, const PixelAt& pixel) {
    std::vector<uint8_t> rgba;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Rgba c = pixel(x, y);
            rgba.insert(rgba.end(), {c.r, c.g, c.b, c.a});
        }
    return rgba;
}

void Append(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    auto* bytes = static_cast<uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<uint8_t> JpegOf(int width, int height, const PixelAt& pixel, int quality) {
    std::vector<uint8_t> rgba = Pixels(width, height, pixel), out;
    stbi_write_jpg_to_func(Append, &out, width, height, 4, rgba.data(), quality);
    return out;
}

std::vector<uint8_t> PngOf(int width, int height, const PixelAt& pixel) {
    std::vector<uint8_t> rgba = Pixels(width, height, pixel), out;
    stbi_write_png_to_func(Append, &out, width, height, 4, rgba.data(), width * 4);
    return out;
}

void SplitJpegTables(const std::vector<uint8_t>& jpeg, std::vector<uint8_t>& tables,
                     std::vector<uint8_t>& image) {
    tables = {0xFF, 0xD8};
    image = {0xFF, 0xD8};
    size_t i = 2;
    while (i + 4 <= jpeg.size() && jpeg[i] == 0xFF && jpeg[i + 1] != 0xDA) {
        size_t length = static_cast<size_t>(jpeg[i + 2]) << 8 | jpeg[i + 3];
        bool table = jpeg[i + 1] == 0xDB || jpeg[i + 1] == 0xC4;
        std::vector<uint8_t>& to = table ? tables : image;
        to.insert(to.end(), jpeg.begin() + i, jpeg.begin() + i + 2 + length);
        i += 2 + length;
    }
    image.insert(image.end(), jpeg.begin() + i, jpeg.end());
    tables.insert(tables.end(), {0xFF, 0xD9});
}

}  // namespace kestrel::player::test
