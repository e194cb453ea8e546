// Coverage of shapes as last drawn, by shape and matrix. A frame mostly draws what
// the one before drew in the same place; those shapes are painted from here
// without being flattened or rasterised again. Entries a frame did not use are
// dropped at its end, so the cache holds about one frame's shapes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "player/core/shape_definition.h"
#include "player/core/swf_types.h"
#include "player/render/coverage_mask.h"

namespace kestrel::render {

struct ShapeCoverage {
    CoverageMask fills;                 // styles are fill styles
    std::vector<CoverageMask> strokes;  // one per line style
    bool strokesBuilt = false;          // masks need only the fills

    size_t Bytes() const;
};

// A digest of everything in a shape that decides its coverage: the edges with
// their styles, and the lines' shapes. Shapes are keyed by it as well as by their
// address, so a shape changed in place (or a new one where a freed one was) is
// never painted with an old coverage.
uint64_t CoverageDigest(const player::ShapeDefinition& shape);

class ShapeCache {
  public:
    // A frame's worth of coverage is kept up to this size; beyond it shapes are
    // rasterised into a scratch entry each time.
    static constexpr size_t kDefaultLimit = size_t{128} << 20;
    explicit ShapeCache(size_t limit = kDefaultLimit) : limit_(limit) {}
    static constexpr size_t kMaxSpare = 4096;

    // The entry for the shape drawn with `shapeToPixels` and its lines `widths` wide
    // (pixels, one per line style); `fresh` tells whether its coverage must be
    // built. The reference stays valid until the next Find, EndFrame or Clear.
    ShapeCoverage& Find(const player::ShapeDefinition& shape, const player::Matrix& shapeToPixels,
                        const std::vector<double>& widths, bool& fresh);
    // Forgets what this frame did not draw.
    void EndFrame();
    void Clear();
    // At its limit: the next shape not found is made in scratch storage, which
    // the one after it overwrites.
    bool Full() const;
    size_t Entries() const { return entries_.size(); }

  private:
    struct Key {
        const player::ShapeDefinition* shape;
        uint64_t digest;
        double m[6];
        bool operator==(const Key& other) const;
    };
    struct KeyHash {
        size_t operator()(const Key& key) const;
    };
    struct Entry {
        ShapeCoverage coverage;
        std::vector<double> widths;
        size_t bytes = 0;  // as counted into bytes_
        uint64_t frame = 0;
    };

    std::unordered_map<Key, Entry, KeyHash> entries_;
    // Coverage of dropped entries, emptied, kept for new ones: its storage is
    // reused instead of allocated again.
    std::vector<ShapeCoverage> spare_;
    Entry* last_ = nullptr;  // not owned: the entry whose size may still grow
    ShapeCoverage scratch_;
    size_t limit_;
    size_t bytes_ = 0;
    uint64_t frame_ = 1;

    void Settle();
};

}  // namespace kestrel::render
