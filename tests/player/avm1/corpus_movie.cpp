#include "corpus_movie.h"

#include <zlib.h>

namespace kestrel::avm1::test {

namespace {

struct TagWalker {
    const std::vector<uint8_t>& data;
    size_t pos;
    size_t end;

    bool next(int& code, size_t& bodyStart, size_t& bodyLength) {
        if (pos + 2 > end) return false;
        unsigned header = data[pos] | (data[pos + 1] << 8);
        pos += 2;
        code = static_cast<int>(header >> 6);
        size_t length = header & 0x3F;
        if (length == 0x3F) {
            if (pos + 4 > end) return false;
            length = data[pos] | (data[pos + 1] << 8) | (data[pos + 2] << 16) |
                     (static_cast<size_t>(data[pos + 3]) << 24);
            pos += 4;
        }
        if (length > end - pos) return false;
        bodyStart = pos;
        bodyLength = length;
        pos += length;
        return true;
    }
};

// PlaceObject2: flags, depth, then optional character, matrix, colour transform, ratio, name.
struct BitReader {
    const std::vector<uint8_t>& d;
    size_t byte;
    size_t end;
    int bit = 0;
    uint32_t bits(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            if (byte >= end) return v;
            v = (v << 1) | ((d[byte] >> (7 - bit)) & 1);
            if (++bit == 8) bit = 0, ++byte;
        }
        return v;
    }
    void align() {
        if (bit) bit = 0, ++byte;
    }
};

bool readPlacement(const std::vector<uint8_t>& d, size_t start, size_t length, CorpusPlacement& out) {
    size_t end = start + length;
    if (length < 3) return false;
    uint8_t flags = d[start];
    out.depth = d[start + 1] | (d[start + 2] << 8);
    size_t pos = start + 3;
    if (!(flags & 2)) return false;
    if (pos + 2 > end) return false;
    out.characterId = d[pos] | (d[pos + 1] << 8);
    pos += 2;
    BitReader r{d, pos, end};
    if (flags & 4) {
        if (r.bits(1)) r.bits(static_cast<int>(r.bits(5)) * 2);
        if (r.bits(1)) r.bits(static_cast<int>(r.bits(5)) * 2);
        r.bits(static_cast<int>(r.bits(5)) * 2);
        r.align();
    }
    if (flags & 8) {
        bool add = r.bits(1), mult = r.bits(1);
        int n = static_cast<int>(r.bits(4));
        if (mult) r.bits(n * 4);
        if (add) r.bits(n * 4);
        r.align();
    }
    pos = r.byte;
    if (flags & 16) pos += 2;
    if (flags & 32) {
        size_t e = pos;
        while (e < end && d[e]) ++e;
        if (e >= end) return false;
        out.name.assign(reinterpret_cast<const char*>(d.data() + pos), e - pos);
    }
    return true;
}

std::shared_ptr<const std::vector<uint8_t>> slice(const std::vector<uint8_t>& d, size_t start,
                                                  size_t length) {
    return std::make_shared<const std::vector<uint8_t>>(d.begin() + start,
                                                       d.begin() + start + length);
}

bool readTimeline(const std::vector<uint8_t>& data, size_t pos, size_t end, std::vector<CorpusFrame>& frames,
                  std::vector<CorpusSprite>* sprites) {
    TagWalker walker{data, pos, end};
    CorpusFrame frame;
    int code;
    size_t start, length;
    while (walker.next(code, start, length)) {
        if (code == 0) break;
        if (code == 1) {
            frames.push_back(std::move(frame));
            frame = {};
        } else if (code == 12) {
            frame.actions.push_back(slice(data, start, length));
        } else if (code == 59 && length >= 2) {
            frame.initActions.push_back(slice(data, start + 2, length - 2));
        } else if (code == 26) {
            CorpusPlacement p;
            if (readPlacement(data, start, length, p)) frame.placements.push_back(p);
        } else if (code == 39 && sprites && length >= 4) {
            CorpusSprite sprite;
            sprite.id = data[start] | (data[start + 1] << 8);
            if (!readTimeline(data, start + 4, start + length, sprite.frames, nullptr)) return false;
            sprites->push_back(std::move(sprite));
        }
    }
    if (!frame.actions.empty() || !frame.initActions.empty() || !frame.placements.empty())
        frames.push_back(std::move(frame));
    return true;
}

}  // namespace

std::optional<CorpusMovie> readCorpusMovie(const std::vector<uint8_t>& file) {
    if (file.size() < 8) return std::nullopt;
    std::vector<uint8_t> data;
    if (file[0] == 'F' && file[1] == 'W' && file[2] == 'S') {
        data = file;
    } else if (file[0] == 'C' && file[1] == 'W' && file[2] == 'S') {
        uLongf length = file[4] | (file[5] << 8) | (file[6] << 16) | (static_cast<uLongf>(file[7]) << 24);
        if (length < 8 || length > (64u << 20)) return std::nullopt;
        data.assign(file.begin(), file.begin() + 8);
        data.resize(length);
        uLongf out = length - 8;
        int r = uncompress(data.data() + 8, &out, file.data() + 8, static_cast<uLong>(file.size() - 8));
        if (r != Z_OK && r != Z_BUF_ERROR) return std::nullopt;
        data.resize(8 + out);
    } else {
        return std::nullopt;
    }
    CorpusMovie movie;
    movie.version = data[3];
    if (data.size() < 9) return std::nullopt;
    size_t rectBits = 5 + 4 * (data[8] >> 3);
    size_t pos = 8 + (rectBits + 7) / 8 + 4;
    if (pos > data.size()) return std::nullopt;
    if (!readTimeline(data, pos, data.size(), movie.frames, &movie.sprites)) return std::nullopt;
    return movie;
}

}  // namespace kestrel::avm1::test
