// A 1280 x 720 frame covered by one rectangle: filled with a colour, with a
// 256 x 256 bitmap turned and scaled (smoothed or nearest pixel), and a morph
// shape drawn at a new ratio every frame beside the same shape standing still.
// Run side by side, the figures compare a bitmap or morph frame with a plain one.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_frame_painting.h"
#include "player/core/stage.h"
#include "player/render/agg_renderer.h"
#include "tools/swfwriter/description.h"

using namespace kestrel;
using namespace kestrel::player;

namespace {

std::vector<uint8_t> Compiled(const std::string& description) {
    std::string error;
    auto bytes = swf::CompileDescription(description, error);
    if (!bytes) std::fprintf(stderr, "movie: %s\n", error.c_str());
    return bytes ? *bytes : std::vector<uint8_t>{};
}

std::string CoveredStage(const std::string& fill) {
    return "stage 1280 720\nbackground #FFFFFF\n"
           "bitmap 7 256 256 #FF8800 #224466 checker=16\n"
           "shape 1\n  fill " +
           fill + "\n  rect 0 0 1280 720 fill=1\nend\nplace 1 depth=1\nshowframe\n";
}

void RenderStill(benchmark::State& state, const std::string& description) {
    bench::PaintFirstFrame(state, Compiled(description));
}

void BM_SolidFill1280x720(benchmark::State& state) {
    RenderStill(state, CoveredStage("#3366CC"));
}
BENCHMARK(BM_SolidFill1280x720)->Unit(benchmark::kMillisecond);

void BM_SmoothedBitmapFill1280x720(benchmark::State& state) {
    RenderStill(state, CoveredStage("bitmap 7 matrix=30,8,-8,30,3,5"));
}
BENCHMARK(BM_SmoothedBitmapFill1280x720)->Unit(benchmark::kMillisecond);

void BM_NearestBitmapFill1280x720(benchmark::State& state) {
    RenderStill(state, CoveredStage("bitmap 7 hard matrix=30,8,-8,30,3,5"));
}
BENCHMARK(BM_NearestBitmapFill1280x720)->Unit(benchmark::kMillisecond);

// Forty circles morphing into ellipses; `moving` gives every frame a new ratio.
void RenderMorphs(benchmark::State& state, bool moving) {
    std::string d =
        "stage 1280 720\nbackground #FFFFFF\n"
        "morphshape 1\n  start\n    fill #FF0000\n    line 2 #000000\n"
        "    circle 40 40 40 fill=1 line=1\n  end\n  finish\n    fill #0000FF\n"
        "    line 6 #000000\n    ellipse 60 40 60 20\n  end\nend\n";
    for (int i = 0; i < 40; ++i)
        d += "place 1 depth=" + std::to_string(i + 1) + " x=" + std::to_string(i % 8 * 150) +
             " y=" + std::to_string(i / 8 * 140) + "\n";
    d += "showframe\n";
    for (int f = 1; f < 64; ++f) {
        for (int i = 0; i < 40; ++i)
            d +=
                "move depth=" + std::to_string(i + 1) + " ratio=" + std::to_string(f * 1000) + "\n";
        d += "showframe\n";
    }
    std::vector<uint8_t> bytes = Compiled(d);
    MovieLoadResult r = loadMovie(bytes.data(), bytes.size());
    if (!r.movie) {
        state.SkipWithError("movie did not load");
        return;
    }
    Stage stage(r.movie, nullptr);
    stage.start();
    RenderList list;
    render::PixelBuffer image;
    render::Renderer renderer;
    for (auto _ : state) {
        if (moving) stage.tick();
        stage.buildRenderList(list);
        renderer.RenderStage(list, image);
        benchmark::DoNotOptimize(image.pixels.data());
    }
    bench::SetFrameCounters(state, list.items.size());
}

void BM_MorphsStill1280x720(benchmark::State& state) {
    RenderMorphs(state, false);
}
BENCHMARK(BM_MorphsStill1280x720)->Unit(benchmark::kMillisecond);

void BM_MorphsMoving1280x720(benchmark::State& state) {
    RenderMorphs(state, true);
}
BENCHMARK(BM_MorphsMoving1280x720)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
