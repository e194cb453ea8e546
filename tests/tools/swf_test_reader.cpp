#include "tests/tools/swf_test_reader.h"

#include <zlib.h>

#include <cstdio>

namespace swftest {

uint32_t BitReader::UB(unsigned bits) {
    uint32_t v = 0;
    for (unsigned i = 0; i < bits; ++i) {
        if (bit_ / 8 >= size_) {
            ok_ = false;
            return 0;
        }
        v = (v << 1) | ((data_[bit_ / 8] >> (7 - bit_ % 8)) & 1u);
        ++bit_;
    }
    return v;
}

int32_t BitReader::SB(unsigned bits) {
    if (bits == 0) return 0;
    uint32_t v = UB(bits);
    if (bits < 32 && (v & (1u << (bits - 1)))) v |= ~0u << bits;
    return static_cast<int32_t>(v);
}

Rect ReadRect(BitReader& r) {
    Rect rect;
    rect.bits = r.UB(5);
    rect.xMin = r.SB(rect.bits);
    rect.xMax = r.SB(rect.bits);
    rect.yMin = r.SB(rect.bits);
    rect.yMax = r.SB(rect.bits);
    r.Align();
    return rect;
}

std::vector<Tag> ReadTags(const uint8_t* data, size_t size, bool& ok) {
    std::vector<Tag> tags;
    size_t pos = 0;
    ok = false;
    while (pos + 2 <= size) {
        Tag t;
        uint16_t head = static_cast<uint16_t>(data[pos] | data[pos + 1] << 8);
        pos += 2;
        t.code = head >> 6;
        uint32_t length = head & 0x3F;
        if (length == 0x3F) {
            if (pos + 4 > size) return tags;
            length = data[pos] | data[pos + 1] << 8 | data[pos + 2] << 16 |
                     static_cast<uint32_t>(data[pos + 3]) << 24;
            pos += 4;
            t.longHeader = true;
        }
        if (length > size - pos) return tags;
        t.body.assign(data + pos, data + pos + length);
        pos += length;
        tags.push_back(std::move(t));
        if (tags.back().code == 0) {
            ok = pos == size;
            return tags;
        }
    }
    return tags;
}

Movie ReadMovie(const Bytes& file) {
    Movie m;
    if (file.size() < 8 || file[1] != 'W' || file[2] != 'S' || (file[0] != 'F' && file[0] != 'C')) {
        m.error = "not a FWS/CWS file";
        return m;
    }
    m.signature = static_cast<char>(file[0]);
    m.version = file[3];
    m.fileLength = file[4] | file[5] << 8 | file[6] << 16 | static_cast<uint32_t>(file[7]) << 24;
    Bytes body;
    if (m.signature == 'F') {
        body.assign(file.begin() + 8, file.end());
    } else {
        z_stream z{};
        if (inflateInit(&z) != Z_OK) return m;
        z.next_in = const_cast<Bytef*>(file.data() + 8);
        z.avail_in = static_cast<uInt>(file.size() - 8);
        uint8_t chunk[4096];
        int rc = Z_OK;
        while (rc == Z_OK) {
            z.next_out = chunk;
            z.avail_out = sizeof chunk;
            rc = inflate(&z, Z_NO_FLUSH);
            body.insert(body.end(), chunk, chunk + (sizeof chunk - z.avail_out));
        }
        inflateEnd(&z);
        if (rc != Z_STREAM_END) {
            m.error = "zlib stream is damaged";
            return m;
        }
    }
    m.uncompressedSize = body.size() + 8;
    BitReader r(body.data(), body.size());
    m.stage = ReadRect(r);
    size_t pos = r.BytePos();
    if (!r.ok() || pos + 4 > body.size()) {
        m.error = "header is cut short";
        return m;
    }
    m.frameRateRaw = U16(body, pos);
    m.frameCount = U16(body, pos + 2);
    pos += 4;
    bool ok = false;
    m.tags = ReadTags(body.data() + pos, body.size() - pos, ok);
    if (!ok) {
        m.error = "tags are damaged or not ended";
        return m;
    }
    m.ok = true;
    return m;
}

Bytes Hex(const std::string& text) {
    Bytes out;
    std::string digits;
    for (char c : text) {
        if (c != ' ' && c != '\n') digits += c;
    }
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        out.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    }
    return out;
}

std::string ToHex(const Bytes& b) {
    std::string s;
    char buf[4];
    for (size_t i = 0; i < b.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", b[i]);
        if (i) s += ' ';
        s += buf;
    }
    return s;
}

}  // namespace swftest
