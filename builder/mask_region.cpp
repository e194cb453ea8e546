#include "builder/mask_region.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr uint32_t kHeaderSize = 32;
constexpr uint32_t kRectSize = 16;
constexpr uint32_t kRdhRectangles = 1;

struct Span {
    int32_t left, right;
    bool operator==(const Span& other) const { return left == other.left && right == other.right; }
};

// The runs of one row that are not the key colour, left to right.
void RowSpans(const uint8_t* row, int32_t width, KeyColour key, std::vector<Span>& spans) {
    spans.clear();
    int32_t x = 0;
    while (x < width) {
        auto isKey = [&](int32_t at) {
            const uint8_t* pixel = row + static_cast<size_t>(at) * 3;
            return pixel[0] == key.red && pixel[1] == key.green && pixel[2] == key.blue;
        };
        while (x < width && isKey(x)) ++x;
        if (x == width) break;
        int32_t left = x;
        while (x < width && !isKey(x)) ++x;
        spans.push_back({left, x});
    }
}

void Put32(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
    out[2] = static_cast<uint8_t>(value >> 16);
    out[3] = static_cast<uint8_t>(value >> 24);
}

}  // namespace

std::vector<RegionRect> MakeRegionRects(const PixelBuffer& pixels, KeyColour key) {
    std::vector<RegionRect> rects;
    // The open band: its spans, the row it starts on; it ends above `y`.
    std::vector<Span> band, row;
    int32_t bandTop = 0;
    auto closeBand = [&](int32_t bottom) {
        for (const Span& span : band) rects.push_back({span.left, bandTop, span.right, bottom});
        band.clear();
    };
    const size_t rowBytes = static_cast<size_t>(pixels.width) * 3;
    for (int32_t y = 0; y < pixels.height; ++y) {
        RowSpans(pixels.rgb.data() + rowBytes * static_cast<size_t>(y), pixels.width, key, row);
        // A row like the one above extends its band; any other row closes it.
        if (!band.empty() && row == band) continue;
        closeBand(y);
        band.swap(row);
        bandTop = y;
    }
    closeBand(pixels.height);
    return rects;
}

std::vector<uint8_t> EncodeRegionData(const std::vector<RegionRect>& rects) {
    std::vector<uint8_t> data(kHeaderSize + rects.size() * kRectSize);
    RegionRect bound{0, 0, 0, 0};
    if (!rects.empty()) {
        bound = {rects.front().left, rects.front().top, rects.front().right, rects.back().bottom};
        for (const RegionRect& rect : rects) {
            bound.left = std::min(bound.left, rect.left);
            bound.right = std::max(bound.right, rect.right);
        }
    }
    uint8_t* out = data.data();
    Put32(out, kHeaderSize);
    Put32(out + 4, kRdhRectangles);
    Put32(out + 8, static_cast<uint32_t>(rects.size()));
    Put32(out + 12, static_cast<uint32_t>(rects.size() * kRectSize));
    auto putRect = [](uint8_t* at, const RegionRect& rect) {
        Put32(at, static_cast<uint32_t>(rect.left));
        Put32(at + 4, static_cast<uint32_t>(rect.top));
        Put32(at + 8, static_cast<uint32_t>(rect.right));
        Put32(at + 12, static_cast<uint32_t>(rect.bottom));
    };
    putRect(out + 16, bound);
    out += kHeaderSize;
    for (const RegionRect& rect : rects) {
        putRect(out, rect);
        out += kRectSize;
    }
    return data;
}

std::vector<uint8_t> MakeRegionData(const PixelBuffer& pixels, KeyColour key) {
    if (!IsAcceptedMaskSize(pixels.width, pixels.height) ||
        pixels.rgb.size() != static_cast<size_t>(pixels.width) * pixels.height * 3)
        return {};
    return EncodeRegionData(MakeRegionRects(pixels, key));
}

}  // namespace kestrel
