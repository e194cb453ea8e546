// Painting a 1280 x 720 frame of a 1,000-shape movie (rectangles and circles with
// outlines, a third of them filled with gradients) with the anti-aliased renderer.
// Frames per second are reported beside the movie's own 24: once as a player paints
// a still frame again, once with every shape moved.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_frame_painting.h"
#include "tools/swfwriter/description.h"

using namespace kestrel;
using namespace kestrel::player;

namespace {

constexpr int kShapes = 1000;

const std::vector<uint8_t>& thousandShapeMovie() {
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
        for (int i = 1; i <= kShapes; ++i) {
            int x = (i * 37) % 1240, y = (i * 53) % 680;
            d += "place " + std::to_string(i % 10 + 1) + " depth=" + std::to_string(i) +
                 " x=" + std::to_string(x) + " y=" + std::to_string(y) + "\n";
        }
        d += "showframe\n";
        std::string error;
        auto compiled = swf::CompileDescription(d, error);
        if (!compiled) std::fprintf(stderr, "movie: %s\n", error.c_str());
        return compiled ? *compiled : std::vector<uint8_t>{};
    }();
    return bytes;
}

// A frame as a player paints it: the renderer lives on from frame to frame.
void BM_RenderThousandShapes1280x720(benchmark::State& state) {
    kestrel::bench::PaintFirstFrame(state, thousandShapeMovie());
}
BENCHMARK(BM_RenderThousandShapes1280x720)->Unit(benchmark::kMillisecond);

// Every shape moved since the frame before: nothing drawn before can be reused.
void BM_RenderThousandMovingShapes1280x720(benchmark::State& state) {
    double shift = 0;
    kestrel::bench::PaintFirstFrame(
        state, thousandShapeMovie(),
        [&](RenderList& list) {
            shift = shift >= 19 ? 0 : shift + 1;
            for (RenderItem& item : list.items) item.matrix.tx += shift;
        },
        [&](RenderList& list) {
            for (RenderItem& item : list.items) item.matrix.tx -= shift;
        });
}
BENCHMARK(BM_RenderThousandMovingShapes1280x720)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
