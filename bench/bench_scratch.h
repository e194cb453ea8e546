// Scratch files for the file benchmarks: a fresh folder for one run and
// content that neither compression nor caching can make cheap.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kestrel::bench {

// A new folder under $TMPDIR (or /tmp); aborts the run when none can be made.
inline std::string MakeScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kestrel_bench_XXXXXX";
    if (!mkdtemp(&pattern[0])) std::abort();
    return pattern;
}

// Fills whole 8-byte words of `data` from a xorshift stream that `state`
// carries on, so every run writes the same incompressible bytes.
inline void FillWithNoise(void* data, size_t size, uint64_t& state) {
    auto* bytes = static_cast<unsigned char*>(data);
    for (size_t i = 0; i + 8 <= size; i += 8) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        std::memcpy(bytes + i, &state, 8);
    }
}

inline constexpr uint64_t kNoiseSeed = 0x9E3779B97F4A7C15ull;

}  // namespace kestrel::bench
