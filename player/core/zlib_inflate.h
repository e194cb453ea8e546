// Inflates zlib data into a buffer of a size known in advance.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrel::player {

// False unless the stream is sound and gives at least `expected` bytes; `out` then
// holds exactly the first `expected` of them. Never allocates more than that.
bool inflateExactly(const uint8_t* data, size_t size, size_t expected, std::vector<uint8_t>& out);

}  // namespace kestrel::player
