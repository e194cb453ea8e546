#include "builder/mask_image.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include "tests/builder/builder_test_support.h"

namespace kestrel {
namespace {

using test::Bytes;

// Four pixels, left to right: white, red, near-white, dark blue.
const uint8_t kRgb[] = {255, 255, 255, 255, 0, 0, 255, 255, 254, 0, 0, 128};

Bytes PngOf(const void* pixels, uint32_t width, uint32_t height, uint32_t format) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = format;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels, 0, nullptr));
    Bytes bytes(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels, 0, nullptr));
    bytes.resize(size);
    return bytes;
}

void Put(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A bitmap of kRgb's four pixels in one row (`rows` copies), at `depth`.
struct BmpSpec {
    const char* name;
    uint32_t headerSize;
    uint16_t depth;
    uint32_t compression;
    bool topDown;
};

Bytes BmpOf(const BmpSpec& spec, int rows) {
    const int width = 4;
    Bytes palette, masks, row;
    if (spec.depth <= 8) {
        // Palette: white, red, near-white, dark blue as BGRx (BGR for core headers).
        for (int i = 0; i < 4; ++i) {
            palette.insert(palette.end(), {kRgb[i * 3 + 2], kRgb[i * 3 + 1], kRgb[i * 3]});
            if (spec.headerSize != 12) palette.push_back(0);
        }
        if (spec.depth == 1) palette.resize(palette.size() / 2);  // white and red only
    }
    for (int x = 0; x < width; ++x) {
        const uint8_t* p = kRgb + x * 3;
        switch (spec.depth) {
            case 1:
                if (x == 0) row.push_back(0x40);  // 0 1 0 0 ...
                break;
            case 4:
                if (x % 2 == 0) row.push_back(static_cast<uint8_t>(x << 4 | (x + 1)));
                break;
            case 8:
                row.push_back(static_cast<uint8_t>(x));
                break;
            case 16:  // 5-6-5 with bitfields, else 5-5-5
                if (spec.compression == 3)
                    Put(row, (p[0] >> 3) << 11 | (p[1] >> 2) << 5 | p[2] >> 3, 2);
                else
                    Put(row, (p[0] >> 3) << 10 | (p[1] >> 3) << 5 | p[2] >> 3, 2);
                break;
            case 24:
                row.insert(row.end(), {p[2], p[1], p[0]});
                break;
            case 32:
                row.insert(row.end(), {p[2], p[1], p[0], 0x7F});
                break;
        }
    }
    while (row.size() % 4) row.push_back(0);
    if (spec.compression == 3) {
        if (spec.depth == 16)
            Put(masks, 0xF800, 4), Put(masks, 0x07E0, 4), Put(masks, 0x1F, 4);
        else
            Put(masks, 0xFF0000, 4), Put(masks, 0xFF00, 4), Put(masks, 0xFF, 4);
    }
    Bytes header;
    Put(header, spec.headerSize, 4);
    if (spec.headerSize == 12) {
        Put(header, width, 2), Put(header, rows, 2), Put(header, 1, 2), Put(header, spec.depth, 2);
    } else {
        Put(header, width, 4);
        Put(header, spec.topDown ? -rows : rows, 4);
        Put(header, 1, 2), Put(header, spec.depth, 2), Put(header, spec.compression, 4);
        for (int i = 0; i < 5; ++i) Put(header, 0, 4);
        if (spec.headerSize > 40) {  // masks inside the header
            header.insert(header.end(), masks.begin(), masks.end());
            masks.clear();
            header.resize(spec.headerSize, 0);
        }
    }
    uint32_t offset = static_cast<uint32_t>(14 + header.size() + masks.size() + palette.size());
    Bytes file = {'B', 'M'};
    Put(file, offset + static_cast<uint32_t>(row.size()) * rows, 4);
    Put(file, 0, 4);
    Put(file, offset, 4);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), masks.begin(), masks.end());
    file.insert(file.end(), palette.begin(), palette.end());
    for (int y = 0; y < rows; ++y) file.insert(file.end(), row.begin(), row.end());
    return file;
}

const BmpSpec kBmpSpecs[] = {
    {"1 bit", 40, 1, 0, false},
    {"4 bit", 40, 4, 0, false},
    {"8 bit", 40, 8, 0, false},
    {"8 bit core", 12, 8, 0, false},
    {"16 bit 555", 40, 16, 0, false},
    {"16 bit 565", 40, 16, 3, false},
    {"24 bit", 40, 24, 0, false},
    {"24 bit top-down", 40, 24, 0, true},
    {"32 bit", 40, 32, 0, false},
    {"32 bit bitfields", 40, 32, 3, false},
    {"32 bit v5 bitfields", 124, 32, 3, false},
};

TEST(MaskImageTest, BitmapsOfEveryUncompressedDepthDecode) {
    for (const BmpSpec& spec : kBmpSpecs) {
        SCOPED_TRACE(spec.name);
        Bytes file = BmpOf(spec, 3);
        MaskImage image = DecodeMaskImage(file.data(), file.size());
        ASSERT_EQ(image.error, MaskImageError::None) << ToString(image.error);
        ASSERT_EQ(image.pixels.width, 4);
        ASSERT_EQ(image.pixels.height, 3);
        int shown = spec.depth == 1 ? 2 : 4;  // two colours at 1 bit
        for (int x = 0; x < shown; ++x) {
            SCOPED_TRACE(x);
            bool reduced = spec.depth == 16;  // fewer bits per channel
            for (int c = 0; c < 3; ++c) {
                uint8_t expected = kRgb[x * 3 + c], got = image.pixels.rgb[x * 3 + c];
                if (reduced && expected != 255 && expected != 0) {
                    EXPECT_NEAR(got, expected, 8);
                } else if (!(reduced && x == 2)) {
                    EXPECT_EQ(got, expected);
                }
            }
        }
        // White stays pure white at every depth.
        EXPECT_EQ(Bytes(image.pixels.rgb.begin(), image.pixels.rgb.begin() + 3),
                  (Bytes{255, 255, 255}));
    }
}

TEST(MaskImageTest, BitmapRowsRunBottomUpUnlessTheHeightIsNegative) {
    for (bool topDown : {false, true}) {
        Bytes file = BmpOf({"24", 40, 24, 0, topDown}, 2);
        file[file.size() - 1] = 0x11;  // the last row in the file, last pixel's red
        MaskImage image = DecodeMaskImage(file.data(), file.size());
        ASSERT_EQ(image.error, MaskImageError::None);
        size_t lastRow = 4 * 3, firstRow = 0;
        EXPECT_EQ(image.pixels.rgb[(topDown ? lastRow : firstRow) + 9], 0x11);
    }
}

TEST(MaskImageTest, PngsOfEveryFormatDecodeToRgb) {
    Bytes rgb = PngOf(kRgb, 4, 1, PNG_FORMAT_RGB);
    MaskImage image = DecodeMaskImage(rgb.data(), rgb.size());
    ASSERT_EQ(image.error, MaskImageError::None);
    EXPECT_EQ(image.pixels.rgb, Bytes(kRgb, kRgb + 12));

    // Transparent pixels come out black (inside), opaque ones as they are.
    const uint8_t rgba[] = {255, 255, 255, 255, 255, 255, 255, 0, 1, 2, 3, 255};
    Bytes withAlpha = PngOf(rgba, 3, 1, PNG_FORMAT_RGBA);
    image = DecodeMaskImage(withAlpha.data(), withAlpha.size());
    ASSERT_EQ(image.error, MaskImageError::None);
    EXPECT_EQ(image.pixels.rgb, (Bytes{255, 255, 255, 0, 0, 0, 1, 2, 3}));

    const uint8_t gray[] = {255, 0, 128, 255};
    Bytes grayPng = PngOf(gray, 2, 2, PNG_FORMAT_GRAY);
    image = DecodeMaskImage(grayPng.data(), grayPng.size());
    ASSERT_EQ(image.error, MaskImageError::None);
    EXPECT_EQ(image.pixels.height, 2);
    EXPECT_EQ(image.pixels.rgb[0], 255);
    EXPECT_EQ(image.pixels.rgb[3], 0);
}

TEST(MaskImageTest, DamagedTruncatedAndHugeImagesAreRefused) {
    Bytes png = PngOf(kRgb, 4, 1, PNG_FORMAT_RGB);
    // Every cut before the closing IEND chunk (12 bytes), which holds no pixels.
    for (size_t cut = 0; cut < png.size() - 12; ++cut) {
        MaskImage image = DecodeMaskImage(png.data(), cut);
        EXPECT_NE(image.error, MaskImageError::None) << "png cut at " << cut;
    }
    for (const BmpSpec& spec : kBmpSpecs) {
        Bytes bmp = BmpOf(spec, 2);
        for (size_t cut = 0; cut + 3 < bmp.size(); ++cut) {  // the last row may lack its padding
            MaskImage image = DecodeMaskImage(bmp.data(), cut);
            EXPECT_NE(image.error, MaskImageError::None) << spec.name << " cut at " << cut;
        }
    }
    struct Case {
        const char* name;
        size_t offset;
        uint32_t value;
        MaskImageError error;
    } cases[] = {
        {"width", 18, 0x7FFFFFFF, MaskImageError::TooLarge},
        {"height", 22, 0x80000000, MaskImageError::TooLarge},
        {"pixels", 18, 8000, MaskImageError::TooLarge},
        {"zero width", 18, 0, MaskImageError::Damaged},
        {"rle", 30, 1, MaskImageError::Unsupported},
        {"depth", 28, 2, MaskImageError::Unsupported},
        {"header size", 14, 20, MaskImageError::Damaged},
        {"pixel offset", 10, 0xFFFFFFF0, MaskImageError::Damaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bmp = BmpOf({"24", 40, 24, 0, false}, 8000);
        for (int i = 0; i < 4; ++i) bmp[c.offset + i] = static_cast<uint8_t>(c.value >> (8 * i));
        if (c.offset == 28) bmp[29] = 0;
        EXPECT_EQ(DecodeMaskImage(bmp.data(), bmp.size()).error, c.error);
    }
    // A tiny PNG that claims a huge size is refused before its pixels exist.
    for (uint32_t side : {16000u, 20000u}) {
        Bytes huge = png;
        for (int i = 0; i < 4; ++i) {
            huge[16 + i] = static_cast<uint8_t>(side >> (24 - 8 * i));   // width
            huge[20 + i] = static_cast<uint8_t>(2000u >> (24 - 8 * i));  // height
        }
        uint32_t crc = crc32(0, huge.data() + 12, 17);
        for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        MaskImageError error = DecodeMaskImage(huge.data(), huge.size()).error;
        EXPECT_EQ(error, side > kMaxMaskSide ? MaskImageError::TooLarge : MaskImageError::Damaged);
    }
    Bytes text = test::BytesOf("GIF89a");
    EXPECT_EQ(DecodeMaskImage(text.data(), text.size()).error, MaskImageError::UnknownFormat);
    EXPECT_EQ(LoadMaskImage("").error, MaskImageError::CannotOpen);
    test::TestFolder folder;
    EXPECT_EQ(LoadMaskImage(folder / "none.png").error, MaskImageError::CannotOpen);
    test::WriteBytes(folder / "m.png", png);
    EXPECT_EQ(LoadMaskImage(folder / "m.png").pixels.rgb, Bytes(kRgb, kRgb + 12));
}

}  // namespace
}  // namespace kestrel
