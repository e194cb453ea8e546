#include "player/render/shape_cache.h"

#include <cstring>

namespace kestrel::render {

using player::ShapeDefinition;

namespace {

struct Digest {
    uint64_t h = 0x9E3779B97F4A7C15ull;
    void Add(uint64_t v) {
        h ^= v * 0xBF58476D1CE4E5B9ull;
        h = (h << 31 | h >> 33) * 0x94D049BB133111EBull;
    }
    void Add(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        Add(bits);
    }
};

}  // namespace

size_t ShapeCoverage::Bytes() const {
    size_t bytes = fills.Bytes();
    for (const CoverageMask& stroke : strokes) bytes += stroke.Bytes();
    return bytes;
}

uint64_t CoverageDigest(const ShapeDefinition& shape) {
    Digest d;
    d.Add(uint64_t{shape.nonZeroWinding});
    d.Add(uint64_t{shape.fillStyles.size()});
    for (const player::LineStyleInfo& line : shape.lineStyles) {
        d.Add(uint64_t{line.width} | uint64_t{line.startCap} << 16 | uint64_t{line.endCap} << 24 |
              uint64_t{line.join} << 32 | uint64_t{line.scaling} << 40 |
              uint64_t{line.noClose} << 48);
        d.Add(line.miterLimit);
    }
    d.Add(uint64_t{shape.edges.size()});
    for (const player::ShapeEdge& e : shape.edges) {
        d.Add(static_cast<uint64_t>(e.x0));
        d.Add(static_cast<uint64_t>(e.y0));
        d.Add(static_cast<uint64_t>(e.cx));
        d.Add(static_cast<uint64_t>(e.cy));
        d.Add(static_cast<uint64_t>(e.x1));
        d.Add(static_cast<uint64_t>(e.y1));
        d.Add(static_cast<uint64_t>(static_cast<uint32_t>(e.fill0)) |
              static_cast<uint64_t>(static_cast<uint32_t>(e.fill1)) << 32);
        d.Add(static_cast<uint64_t>(static_cast<uint32_t>(e.line)) | uint64_t{e.curve} << 32);
    }
    return d.h;
}

bool ShapeCache::Key::operator==(const Key& other) const {
    return shape == other.shape && digest == other.digest && std::memcmp(m, other.m, sizeof m) == 0;
}

size_t ShapeCache::KeyHash::operator()(const Key& key) const {
    Digest d;
    d.Add(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(key.shape)));
    d.Add(key.digest);
    for (double v : key.m) d.Add(v);
    return static_cast<size_t>(d.h);
}

bool ShapeCache::Full() const {
    size_t bytes = bytes_;
    if (last_) bytes = bytes - last_->bytes + last_->coverage.Bytes();
    return bytes >= limit_;
}

void ShapeCache::Settle() {
    if (!last_) return;
    size_t now = last_->coverage.Bytes();
    bytes_ = bytes_ - last_->bytes + now;
    last_->bytes = now;
    last_ = nullptr;
}

ShapeCoverage& ShapeCache::Find(const ShapeDefinition& shape, const player::Matrix& m,
                                const std::vector<double>& widths, bool& fresh) {
    Settle();
    Key key{&shape, CoverageDigest(shape), {m.a, m.b, m.c, m.d, m.tx, m.ty}};
    auto found = entries_.find(key);
    if (found == entries_.end() && bytes_ >= limit_) {
        scratch_.fills.Clear();
        scratch_.strokes.clear();
        scratch_.strokesBuilt = false;
        fresh = true;
        return scratch_;
    }
    fresh = found == entries_.end();
    Entry& entry = fresh ? entries_[key] : found->second;
    if (fresh && !spare_.empty()) {
        entry.coverage = std::move(spare_.back());
        spare_.pop_back();
    }
    // Within a frame one matrix gives its lines one width, so strokes that earlier
    // operations of this frame point to are never dropped; only a later frame can
    // bring other widths (the stage scaled one way and the shape the other).
    bool paintedThisFrame = !fresh && entry.frame == frame_ && entry.coverage.strokesBuilt;
    if (!widths.empty() && entry.widths != widths && !paintedThisFrame) {
        entry.coverage.strokes.clear();
        entry.coverage.strokesBuilt = false;
        entry.widths = widths;
    }
    entry.frame = frame_;
    last_ = &entry;
    return entry.coverage;
}

void ShapeCache::EndFrame() {
    Settle();
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->second.frame != frame_) {
            bytes_ -= it->second.bytes;
            // Only so many are kept for reuse: a frame seldom brings more new
            // shapes than the one before dropped.
            if (spare_.size() < kMaxSpare) {
                ShapeCoverage& coverage = it->second.coverage;
                coverage.fills.Clear();
                for (CoverageMask& stroke : coverage.strokes) stroke.Clear();
                coverage.strokesBuilt = false;
                spare_.push_back(std::move(coverage));
            }
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
    ++frame_;
}

void ShapeCache::Clear() {
    entries_.clear();
    spare_.clear();
    last_ = nullptr;
    bytes_ = 0;
}

}  // namespace kestrel::render
