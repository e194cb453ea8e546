// The 1,000-shape movie of the frame benchmarks: a 1280 x 720 stage at 24 fps with
// rectangles and circles with outlines, a third of them filled with gradients, the
// rest with half-transparent colours.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/swfwriter/description.h"

namespace kestrel::bench {

constexpr int kThousandShapes = 1000;

// A benchmark movie from its description; empty (and said on stderr) when it doesn't compile.
inline std::vector<uint8_t> CompiledBenchMovie(const std::string& description) {
    std::string error;
    auto compiled = swf::CompileDescription(description, error);
    if (!compiled) std::fprintf(stderr, "movie: %s\n", error.c_str());
    return compiled ? *compiled : std::vector<uint8_t>{};
}

inline const std::vector<uint8_t>& ThousandShapeMovie() {
    static const std::vector<uint8_t> bytes = [] {
        std::string d = "stage 1280 720\nrate 24\nbackground #FFFFFF\n";
        for (int s = 1; s <= 10; ++s) {
            d += "shape " + std::to_string(s) + "\n";
            if (s % 3 == 0)
                d += "  fill linear stops=0:#FF0000,255:#0000FF box=0,0,40,40\n";
            else
                d += std::string("  fill #") + (s % 2 ? "FF0000" : "0000FF") + "80\n";
            d += "  line 1 #000000\n";
            d += s % 2 ? "  rect 0 0 40 40 fill=1 line=1\n" : "  circle 20 20 20 fill=1 line=1\n";
            d += "end\n";
        }
        for (int i = 1; i <= kThousandShapes; ++i) {
            int x = (i * 37) % 1240, y = (i * 53) % 680;
            d += "place " + std::to_string(i % 10 + 1) + " depth=" + std::to_string(i) +
                 " x=" + std::to_string(x) + " y=" + std::to_string(y) + "\n";
        }
        d += "showframe\n";
        return CompiledBenchMovie(d);
    }();
    return bytes;
}

}  // namespace kestrel::bench
