#include "player/render/png_file.h"

#include <gtest/gtest.h>
#include <png.h>

#include "tests/common/test_folder.h"

namespace kestrel::render {
namespace {

TEST(PngFile, WritesEveryPixelAsRgbaAndReadsBackTheSame) {
    test::TestFolder folder;
    PixelBuffer image;
    ASSERT_TRUE(image.Resize(3, 2));
    for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = static_cast<uint8_t>(i * 10);
    std::string path = folder / "frame.png";
    std::string error;
    ASSERT_TRUE(WritePngFile(path, image, error)) << error;

    png_image read{};
    read.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&read, path.c_str()));
    read.format = PNG_FORMAT_RGBA;
    EXPECT_EQ(read.width, 3u);
    EXPECT_EQ(read.height, 2u);
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(read));
    ASSERT_TRUE(png_image_finish_read(&read, nullptr, pixels.data(), 0, nullptr));
    EXPECT_EQ(pixels, image.pixels);
}

TEST(PngFile, FailuresLeaveNoFile) {
    test::TestFolder folder;
    std::string error;
    PixelBuffer empty;
    EXPECT_FALSE(WritePngFile(folder / "empty.png", empty, error));
    EXPECT_FALSE(PathExists(folder / "empty.png"));
    PixelBuffer image;
    ASSERT_TRUE(image.Resize(1, 1));
    EXPECT_FALSE(WritePngFile(folder / "missing/frame.png", image, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(ListFiles(folder.path()).empty());
}

TEST(PixelBuffer, RefusesSidesOutsideItsRange) {
    PixelBuffer image;
    EXPECT_FALSE(image.Resize(0, 10));
    EXPECT_FALSE(image.Resize(10, PixelBuffer::kMaxSide + 1));
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_TRUE(image.Resize(PixelBuffer::kMaxSide, 1));
    EXPECT_EQ(image.At(-1, 0), (player::Rgba{0, 0, 0, 0}));
}

}  // namespace
}  // namespace kestrel::render
