#include "player/core/zlib_inflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace kestrel::player {

namespace {

constexpr size_t kMaxExpansion = 1032;

}  // namespace

bool inflateExactly(const uint8_t* data, size_t size, size_t expected, std::vector<uint8_t>& out) {
    out.clear();
    if (expected == 0 || expected > UINT_MAX || size > UINT_MAX || !data) return false;
    // Deflate cannot expand more than about 1032 to 1: a claim beyond that is false,
    // and is refused before its buffer is allocated.
    if (expected / kMaxExpansion > size) return false;
    out.resize(expected);
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return false;
    zs.next_in = const_cast<Bytef*>(data);  // zlib's interface is not const; it only reads
    zs.avail_in = static_cast<uInt>(size);
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(expected);
    int rc = Z_OK;
    while (zs.avail_out > 0 && rc == Z_OK) rc = inflate(&zs, Z_NO_FLUSH);
    // What follows the expected bytes (some writers add more) is not read.
    bool filled = zs.avail_out == 0;
    inflateEnd(&zs);
    if (!filled) out.clear();
    return filled;
}

}  // namespace kestrel::player
