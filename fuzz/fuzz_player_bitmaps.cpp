// The first byte picks the tag (DefineBitsLossless, Lossless2, DefineBitsJPEG2,
// JPEG3, DefineBits after a JPEGTables body whose length the next two bytes give);
// the second picks the fill kind and a matrix. What decodes is drawn as a fill
// through that matrix, so every bitmap size and sampling path is reached.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/core/bitmap_definitions.h"
#include "player/core/render_list.h"
#include "player/render/agg_renderer.h"

using namespace kestrel;
using namespace kestrel::player;

namespace {

bool Decode(uint8_t kind, ByteReader& r, BitmapDefinition& bitmap) {
    switch (kind % 5) {
        case 0:
            return parseLosslessBitmap(r, false, bitmap);
        case 1:
            return parseLosslessBitmap(r, true, bitmap);
        case 2:
            return parseJpegImage(r, bitmap);
        case 3:
            return parseJpegWithAlpha(r, bitmap);
        default: {
            size_t length = r.u16();
            if (!r.ok() || length > r.remaining()) return false;
            const uint8_t* tables = r.take(length);
            std::vector<uint8_t> copy(tables, tables + length);
            return parseJpegWithTables(r, copy, bitmap);
        }
    }
}

ShapeEdge Edge(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    ShapeEdge e;
    e.x0 = x0;
    e.y0 = y0;
    e.cx = e.x1 = x1;
    e.cy = e.y1 = y1;
    e.fill1 = 1;
    return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    uint8_t kind = data[0], fill = data[1];
    ByteReader r(data + 2, size - 2);
    BitmapDefinition bitmap;
    if (!Decode(kind, r, bitmap)) return 0;
    if (bitmap.pixels.size() != bitmap.pixelCount() * 4) __builtin_trap();

    ShapeDefinition shape;
    shape.bounds = Rect{0, 0, 960, 640};
    FillStyle style;
    style.kind = FillStyle::Bitmap;
    style.bitmap = &bitmap;
    style.bitmapRepeats = fill & 1;
    style.bitmapSmoothed = fill & 2;
    // Scales from tiny to huge, turned or not, and one that is singular.
    double scale[] = {20, 0.001, 3000, 1e9, -45, 0};
    double s = scale[(fill >> 2) % 6];
    style.matrix = (fill & 0x20) ? Matrix{0, s, -s, 0, 100, -50} : Matrix{s, 0, 0, s, -300, 40};
    shape.fillStyles.push_back(style);
    shape.edges = {Edge(0, 0, 960, 0), Edge(960, 0, 960, 640), Edge(960, 640, 0, 640),
                   Edge(0, 640, 0, 0)};

    RenderList list;
    RenderItem item;
    item.shape = &shape;
    if (fill & 0x40) item.colorTransform = ColorTransform{0.5, 1, 2, 0.7, 10, -20, 0, 5};
    list.items.push_back(item);
    render::PixelBuffer image;
    image.Resize(48, 32);
    render::RenderFrame(list, Matrix{1.0 / 20, 0, 0, 1.0 / 20, 0, 0}, image);
    return 0;
}
