// Paints a coverage mask onto an AGG surface with the colours of a style source
// that answers as AGG's compound renderers ask (is_solid, color, generate_span).
// Where several fills share a scanline their covers are mixed in a row first and
// the row goes onto the surface once, so fills meeting on an edge leave no seam.
#pragma once

#include <agg_color_rgba.h>
#include <agg_rendering_buffer.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "player/render/coverage_mask.h"

namespace kestrel::render {

// Rows reused from one paint to the next.
struct PaintBuffers {
    std::vector<agg::rgba8> colors;
    std::vector<agg::rgba8> mixed;
    std::vector<uint8_t> mixedCovers;

    agg::rgba8* Colors(size_t count) {
        if (colors.size() < count) colors.resize(count);
        return colors.data();
    }
};

namespace detail {

// Pixels are premultiplied RGBA bytes; read as little-endian words alpha is the
// top byte. Two channels are scaled at once, each exactly rounded to x * f / 255.
inline uint32_t Scaled(uint32_t p, unsigned f) {
    uint32_t rb = (p & 0x00FF00FFu) * f + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t ag = ((p >> 8) & 0x00FF00FFu) * f + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
    return rb | ag;
}

// Premultiplied "over": no channel can pass 255, as none of the source's passes
// its alpha.
inline uint32_t Over(uint32_t source, uint32_t below) {
    return source + Scaled(below, 255 - (source >> 24));
}

#if defined(__SSE2__)
// Four pixels over four: each 16-bit lane computes x * (255 - alpha) / 255
// rounded exactly as Scaled does.
inline __m128i Over4(__m128i source, __m128i below) {
    const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(255),
                  half = _mm_set1_epi16(128);
    __m128i sLo = _mm_unpacklo_epi8(source, zero), sHi = _mm_unpackhi_epi8(source, zero);
    __m128i keepLo = _mm_sub_epi16(full, _mm_shufflehi_epi16(_mm_shufflelo_epi16(sLo, 0xFF), 0xFF));
    __m128i keepHi = _mm_sub_epi16(full, _mm_shufflehi_epi16(_mm_shufflelo_epi16(sHi, 0xFF), 0xFF));
    __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(below, zero), keepLo), half);
    __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(below, zero), keepHi), half);
    lo = _mm_srli_epi16(_mm_add_epi16(lo, _mm_srli_epi16(lo, 8)), 8);
    hi = _mm_srli_epi16(_mm_add_epi16(hi, _mm_srli_epi16(hi, 8)), 8);
    return _mm_add_epi8(_mm_packus_epi16(lo, hi), source);
}
#endif

// One source colour over `count` pixels.
inline void OverAll(uint32_t* pixels, int count, uint32_t source) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(static_cast<int>(source));
    for (; i + 4 <= count; i += 4) {
        __m128i* at = reinterpret_cast<__m128i*>(pixels + i);
        _mm_storeu_si128(at, Over4(four, _mm_loadu_si128(at)));
    }
#endif
    for (; i < count; ++i) pixels[i] = Over(source, pixels[i]);
}

// A colour per pixel (premultiplied RGBA bytes) over `count` pixels.
inline void OverEach(uint32_t* pixels, int count, const void* sources) {
    const uint8_t* from = static_cast<const uint8_t*>(sources);
    int i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4) {
        __m128i* at = reinterpret_cast<__m128i*>(pixels + i);
        __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i * 4));
        _mm_storeu_si128(at, Over4(source, _mm_loadu_si128(at)));
    }
#endif
    for (; i < count; ++i) {
        uint32_t source;
        std::memcpy(&source, from + i * 4, 4);
        pixels[i] = Over(source, pixels[i]);
    }
}

inline uint32_t Packed(const agg::rgba8& c) {
    return uint32_t{c.r} | uint32_t{c.g} << 8 | uint32_t{c.b} << 16 | uint32_t{c.a} << 24;
}

// A row of the surface from x, at most `len` pixels: spans reaching outside the
// surface (never made by a rasteriser clipped to it) are cut to it.
struct RowSlice {
    uint32_t* pixels = nullptr;
    int skip = 0;  // pixels of the span before the surface's left edge
    int len = 0;
};

inline RowSlice Slice(agg::rendering_buffer& surface, int x, int y, int len) {
    RowSlice slice;
    int width = static_cast<int>(surface.width()), height = static_cast<int>(surface.height());
    if (y < 0 || y >= height || len <= 0 || x >= width || x + len <= 0) return slice;
    slice.skip = x < 0 ? -x : 0;
    int from = x + slice.skip, to = std::min(x + len, width);
    slice.len = to - from;
    slice.pixels = reinterpret_cast<uint32_t*>(surface.row_ptr(y)) + from;
    return slice;
}

inline void BlendSolid(agg::rendering_buffer& surface, int x, int y, int len, uint32_t color,
                       const uint8_t* covers, bool oneCover) {
    RowSlice row = Slice(surface, x, y, len);
    if (oneCover) {
        uint32_t source = covers[0] == 255 ? color : Scaled(color, covers[0]);
        if (source >> 24 == 255)
            std::fill(row.pixels, row.pixels + row.len, source);
        else if (source != 0)
            OverAll(row.pixels, row.len, source);
        return;
    }
    covers += row.skip;
    for (int i = 0; i < row.len; ++i) {
        unsigned cover = covers[i];
        if (cover == 0) continue;
        row.pixels[i] = Over(cover == 255 ? color : Scaled(color, cover), row.pixels[i]);
    }
}

// `colors` has one colour per pixel of the span.
inline void BlendColors(agg::rendering_buffer& surface, int x, int y, int len,
                        const agg::rgba8* colors, const uint8_t* covers, bool oneCover) {
    RowSlice row = Slice(surface, x, y, len);
    colors += row.skip;
    static_assert(sizeof(agg::rgba8) == 4, "colours are packed RGBA bytes");
    if (oneCover && covers[0] == 255) {
        OverEach(row.pixels, row.len, colors);
        return;
    }
    if (!oneCover) covers += row.skip;
    for (int i = 0; i < row.len; ++i) {
        unsigned cover = oneCover ? covers[0] : covers[i];
        if (cover == 0) continue;
        uint32_t color = Packed(colors[i]);
        row.pixels[i] = Over(cover == 255 ? color : Scaled(color, cover), row.pixels[i]);
    }
}

template <class Styles>
void PaintRow(const CoverageMask& mask, const CoverageRow& row, agg::rendering_buffer& target,
              Styles& styles, PaintBuffers& buffers) {
    const CoverageSpan* span = &mask.spans[row.firstSpan];
    bool solid = styles.is_solid(row.style);
    uint32_t color = solid ? Packed(styles.color(row.style)) : 0;
    for (uint32_t n = row.spanCount; n > 0; --n, ++span) {
        const uint8_t* covers = &mask.covers[span->covers];
        bool oneCover = span->len < 0;
        int len = oneCover ? -span->len : span->len;
        if (solid) {
            BlendSolid(target, span->x, row.y, len, color, covers, oneCover);
            continue;
        }
        agg::rgba8* colors = buffers.Colors(static_cast<size_t>(len));
        styles.generate_span(colors, span->x, row.y, static_cast<unsigned>(len), row.style);
        BlendColors(target, span->x, row.y, len, colors, covers, oneCover);
    }
}

// Rows [first, last) share one scanline.
template <class Styles>
void MixRows(const CoverageMask& mask, const CoverageRow* first, const CoverageRow* last,
             agg::rendering_buffer& target, Styles& styles, PaintBuffers& buffers) {
    int minX = INT32_MAX, maxX = INT32_MIN;
    for (const CoverageRow* row = first; row != last; ++row) {
        const CoverageSpan* span = &mask.spans[row->firstSpan];
        for (uint32_t n = row->spanCount; n > 0; --n, ++span) {
            int len = span->len < 0 ? -span->len : span->len;
            minX = std::min(minX, span->x);
            maxX = std::max(maxX, span->x + len - 1);
        }
    }
    if (maxX < minX) return;
    size_t width = static_cast<size_t>(maxX - minX + 1);
    buffers.mixed.assign(width, agg::rgba8(0, 0, 0, 0));
    buffers.mixedCovers.assign(width, 0);
    for (const CoverageRow* row = first; row != last; ++row) {
        bool solid = styles.is_solid(row->style);
        const CoverageSpan* span = &mask.spans[row->firstSpan];
        for (uint32_t n = row->spanCount; n > 0; --n, ++span) {
            unsigned len = static_cast<unsigned>(span->len < 0 ? -span->len : span->len);
            const uint8_t* covers = &mask.covers[span->covers];
            const agg::rgba8* colors = nullptr;
            if (!solid) {
                agg::rgba8* generated = buffers.Colors(len);
                styles.generate_span(generated, span->x, row->y, len, row->style);
                colors = generated;
            }
            agg::rgba8* out = &buffers.mixed[static_cast<size_t>(span->x - minX)];
            uint8_t* outCover = &buffers.mixedCovers[static_cast<size_t>(span->x - minX)];
            for (unsigned i = 0; i < len; ++i) {
                unsigned cover = span->len < 0 ? covers[0] : covers[i];
                // Covers of all fills on a pixel add up to at most full.
                if (outCover[i] + cover > agg::cover_full) cover = agg::cover_full - outCover[i];
                if (cover == 0) continue;
                out[i].add(solid ? styles.color(row->style) : colors[i], cover);
                outCover[i] = static_cast<uint8_t>(outCover[i] + cover);
            }
        }
    }
    const uint8_t full = agg::cover_full;
    BlendColors(target, minX, first->y, static_cast<int>(width), buffers.mixed.data(), &full, true);
}

}  // namespace detail

// Paints the rows above `bottom` from row `nextRow` on, and leaves `nextRow` at
// the first row not painted: called band after band down the surface, every row
// is painted once. Styles beyond `styleCount` (bad data) are not painted.
template <class Styles>
void PaintCoverage(const CoverageMask& mask, agg::rendering_buffer& target, Styles& styles,
                   size_t styleCount, PaintBuffers& buffers, int bottom, uint32_t& nextRow) {
    const CoverageRow* row = mask.rows.data() + std::min<size_t>(nextRow, mask.rows.size());
    const CoverageRow* end = mask.rows.data() + mask.rows.size();
    while (row != end && row->y < bottom) {
        const CoverageRow* last = row + 1;
        while (last != end && last->y == row->y) ++last;
        bool known = true;
        for (const CoverageRow* r = row; r != last; ++r) known = known && r->style < styleCount;
        if (!known) {
            for (const CoverageRow* r = row; r != last; ++r)
                if (r->style < styleCount) detail::PaintRow(mask, *r, target, styles, buffers);
        } else if (last - row == 1) {
            detail::PaintRow(mask, *row, target, styles, buffers);
        } else {
            detail::MixRows(mask, row, last, target, styles, buffers);
        }
        row = last;
    }
    nextRow = static_cast<uint32_t>(row - mask.rows.data());
}

}  // namespace kestrel::render
