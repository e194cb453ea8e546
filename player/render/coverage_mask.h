// The anti-aliased coverage of a shape's fills or of one line style's stroke, kept
// apart from colour: a shape drawn again with the same matrix (most shapes, most
// frames) is painted from it without being rasterised again, whatever its colour
// transform has become.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrel::render {

// `len` pixels from `x`, each with its own cover from `covers` on; a negative
// `len` means -len pixels that all have the one cover at `covers`.
struct CoverageSpan {
    int32_t x = 0;
    int32_t len = 0;
    uint32_t covers = 0;  // index into CoverageMask::covers
};

// The spans of one style on one scanline.
struct CoverageRow {
    int32_t y = 0;
    uint32_t style = 0;  // 0-based fill or line style
    uint32_t firstSpan = 0, spanCount = 0;
};

struct CoverageMask {
    std::vector<CoverageRow> rows;  // by scanline, then by style as the rasteriser gave them
    std::vector<CoverageSpan> spans;
    std::vector<uint8_t> covers;

    void Clear() {
        rows.clear();
        spans.clear();
        covers.clear();
    }
    size_t Bytes() const {
        return rows.size() * sizeof(CoverageRow) + spans.size() * sizeof(CoverageSpan) +
               covers.size();
    }

    // Keeps a swept scanline of a rasteriser (an AGG packed or unpacked scanline).
    // `aliased`: each pixel is covered wholly or not at all, by whether the shape
    // covers its centre (cover at least half), as low quality draws.
    template <class Scanline>
    void AddScanline(const Scanline& scanline, unsigned style, bool aliased = false) {
        CoverageRow row;
        row.y = scanline.y();
        row.style = style;
        row.firstSpan = static_cast<uint32_t>(spans.size());
        auto span = scanline.begin();
        for (unsigned n = scanline.num_spans(); n > 0; --n, ++span) {
            CoverageSpan kept;
            kept.x = span->x;
            kept.len = span->len;
            kept.covers = static_cast<uint32_t>(covers.size());
            unsigned count = span->len > 0 ? static_cast<unsigned>(span->len) : 1;
            covers.insert(covers.end(), span->covers, span->covers + count);
            if (aliased)
                for (size_t i = kept.covers; i < covers.size(); ++i)
                    covers[i] = covers[i] >= 128 ? 255 : 0;
            spans.push_back(kept);
        }
        row.spanCount = static_cast<uint32_t>(spans.size()) - row.firstSpan;
        if (row.spanCount > 0) rows.push_back(row);
    }
};

}  // namespace kestrel::render
