#include "player/render/png_file.h"

#include <png.h>

#include <csetjmp>
#include <vector>

#include "common/replacing_file.h"

namespace kestrel::render {

namespace {

void WriteBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* file = static_cast<ReplacingFile*>(png_get_io_ptr(png));
    // A failed write is remembered by the file and reported at Commit.
    file->Write(data, size);
}

void FlushNothing(png_structp) {}

// libpng reports errors by longjmp: this function holds no object with a destructor
// between setjmp and the calls that may jump.
bool EncodeRows(png_structp png, png_infop info, ReplacingFile* file, const PixelBuffer& image,
                png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, file, WriteBytes, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool WritePngFile(const std::string& path, const PixelBuffer& image, std::string& error) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height * 4) {
        error = "no image to write";
        return false;
    }
    ReplacingFile file;
    if (!file.Open(path)) {
        error = "cannot create the file";
        return false;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(image.height));
    for (int y = 0; y < image.height; ++y)
        rows[y] = const_cast<png_bytep>(&image.pixels[static_cast<size_t>(y) * image.Stride()]);

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool encoded = info && EncodeRows(png, info, &file, image, rows.data());
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    if (!encoded) {
        error = "cannot encode the image";
        return false;
    }
    if (file.Commit() != ReplacingFile::Result::Done) {
        error = "cannot write the file";
        return false;
    }
    return true;
}

}  // namespace kestrel::render
