#include "tests/tools/swf_test_reader.h"

namespace swftest {
namespace {

uint32_t ReadColor(const Bytes& b, size_t& pos, bool alpha) {
    uint32_t c = static_cast<uint32_t>(b[pos]) << 24 | b[pos + 1] << 16 | b[pos + 2] << 8;
    pos += 3;
    c |= alpha ? b[pos++] : 0xFF;
    return c;
}

}  // namespace

DecodedShape DecodeShape(const Bytes& body, int version) {
    DecodedShape s;
    bool alpha = version >= 3;
    s.id = U16(body, 0);
    BitReader hr(body.data() + 2, body.size() - 2);
    s.bounds = ReadRect(hr);
    size_t pos = 2 + hr.BytePos();
    auto count = [&]() -> size_t {
        size_t n = body[pos++];
        if (n == 0xFF && version >= 2) {
            n = U16(body, pos);
            pos += 2;
        }
        return n;
    };
    size_t fills = count();
    for (size_t i = 0; i < fills; ++i) {
        if (body[pos++] != 0) return s;  // only solid fills are written
        s.fills.push_back(ReadColor(body, pos, alpha));
    }
    size_t lines = count();
    for (size_t i = 0; i < lines; ++i) {
        uint16_t w = U16(body, pos);
        pos += 2;
        s.lines.emplace_back(w, ReadColor(body, pos, alpha));
    }
    BitReader r(body.data() + pos, body.size() - pos);
    unsigned fillBits = r.UB(4), lineBits = r.UB(4);
    int32_t x = 0, y = 0;
    uint32_t f0 = 0, f1 = 0, ln = 0;
    while (r.ok()) {
        if (r.UB(1) == 0) {
            unsigned flags = r.UB(5);
            if (flags == 0) {
                r.Align();
                s.ok = r.ok() && pos + r.BytePos() == body.size();
                return s;
            }
            if (flags & 0x10) return s;  // new styles are never written
            if (flags & 1) {
                unsigned n = r.UB(5);
                x = r.SB(n);
                y = r.SB(n);
                ++s.moves;
            }
            if (flags & 2) f0 = r.UB(fillBits);
            if (flags & 4) f1 = r.UB(fillBits);
            if (flags & 8) ln = r.UB(lineBits);
            continue;
        }
        ShapeEdge e;
        e.fromX = x;
        e.fromY = y;
        e.fill0 = f0;
        e.fill1 = f1;
        e.line = ln;
        bool straight = r.UB(1);
        unsigned n = r.UB(4) + 2;
        if (straight) {
            int32_t dx = 0, dy = 0;
            if (r.UB(1)) {
                dx = r.SB(n);
                dy = r.SB(n);
            } else if (r.UB(1)) {
                dy = r.SB(n);
            } else {
                dx = r.SB(n);
            }
            x += dx;
            y += dy;
        } else {
            e.curve = true;
            e.controlX = x + r.SB(n);
            e.controlY = y + r.SB(n);
            x = e.controlX + r.SB(n);
            y = e.controlY + r.SB(n);
        }
        e.toX = x;
        e.toY = y;
        s.edges.push_back(e);
    }
    return s;
}

DecodedPlace DecodePlace2(const Bytes& body) {
    DecodedPlace p;
    p.flags = body[0];
    p.depth = U16(body, 1);
    size_t pos = 3;
    if (p.flags & 0x02) {
        p.character = U16(body, pos);
        pos += 2;
    }
    if (p.flags & 0x04) {
        p.hasMatrix = true;
        BitReader r(body.data() + pos, body.size() - pos);
        if (r.UB(1)) {
            unsigned n = r.UB(5);
            p.a = r.FB(n);
            p.d = r.FB(n);
        }
        if (r.UB(1)) {
            unsigned n = r.UB(5);
            p.b = r.FB(n);
            p.c = r.FB(n);
        }
        unsigned n = r.UB(5);
        p.tx = r.SB(n);
        p.ty = r.SB(n);
        pos += r.BytePos();
    }
    if (p.flags & 0x08) {
        p.hasColor = true;
        BitReader r(body.data() + pos, body.size() - pos);
        bool hasAdd = r.UB(1), hasMul = r.UB(1);
        unsigned n = r.UB(4);
        if (hasMul) {
            for (int32_t& v : p.mul) v = r.SB(n);
        }
        if (hasAdd) {
            for (int32_t& v : p.add) v = r.SB(n);
        }
        pos += r.BytePos();
    }
    if (p.flags & 0x10) {
        p.ratio = U16(body, pos);
        pos += 2;
    }
    if (p.flags & 0x20) {
        while (pos < body.size() && body[pos] != 0) p.name += static_cast<char>(body[pos++]);
        ++pos;
    }
    if (p.flags & 0x40) {
        p.clipDepth = U16(body, pos);
        pos += 2;
    }
    p.clipActionsAt = pos;
    p.ok = pos <= body.size();
    return p;
}

}  // namespace swftest
