// Painting a 1280 x 720 frame of a 1,000-shape movie (rectangles and circles with
// outlines, a third of them filled with gradients) with the anti-aliased renderer.
// Frames per second are reported beside the movie's own 24: once as a player paints
// a still frame again, once with every shape moved.
#include <benchmark/benchmark.h>

#include "bench/bench_frame_painting.h"
#include "bench/bench_thousand_shapes.h"

using namespace kestrel;
using namespace kestrel::player;

namespace {

// A frame as a player paints it: the renderer lives on from frame to frame.
void BM_RenderThousandShapes1280x720(benchmark::State& state) {
    kestrel::bench::PaintFirstFrame(state, kestrel::bench::ThousandShapeMovie());
}
BENCHMARK(BM_RenderThousandShapes1280x720)->Unit(benchmark::kMillisecond);

// Every shape moved since the frame before: nothing drawn before can be reused.
void BM_RenderThousandMovingShapes1280x720(benchmark::State& state) {
    double shift = 0;
    kestrel::bench::PaintFirstFrame(
        state, kestrel::bench::ThousandShapeMovie(),
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
