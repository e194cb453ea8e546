// A 1,000-shape movie: parsing it, and playing frames (advance the timeline, build
// the render list). Frames per second are reported beside the movie's own 24.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/bench_frame_counters.h"
#include "bench/bench_thousand_shapes.h"
#include "player/core/stage.h"

using namespace kestrel::player;

namespace {

constexpr int kShapes = 1000;
constexpr int kFrames = 10;

// Ten distinct shapes placed 1,000 times; every frame moves every instance.
const std::vector<uint8_t>& thousandShapeMovie() {
    static const std::vector<uint8_t> bytes = [] {
        std::string d = "stage 800 600\nrate 24\nbackground #FFFFFF\n";
        for (int s = 1; s <= 10; ++s) {
            d += "shape " + std::to_string(s) + "\n  fill #" + (s % 2 ? "FF0000" : "0000FF") +
                 "\n  line 1 #000000\n";
            d += s % 3 ? "  rect 0 0 20 20 fill=1 line=1\n" : "  circle 10 10 10 fill=1 line=1\n";
            d += "end\n";
        }
        for (int frame = 0; frame < kFrames; ++frame) {
            for (int i = 1; i <= kShapes; ++i) {
                int x = (i * 37 + frame * 5) % 780, y = (i * 53) % 580;
                if (frame == 0)
                    d += "place " + std::to_string(i % 10 + 1) + " depth=" + std::to_string(i);
                else
                    d += "move depth=" + std::to_string(i);
                d += " x=" + std::to_string(x) + " y=" + std::to_string(y) + "\n";
            }
            d += "showframe\n";
        }
        return kestrel::bench::CompiledBenchMovie(d);
    }();
    return bytes;
}

void BM_ParseThousandShapeMovie(benchmark::State& state) {
    const auto& bytes = thousandShapeMovie();
    for (auto _ : state) {
        MovieLoadResult r = loadMovie(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(r.movie);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseThousandShapeMovie)->Unit(benchmark::kMillisecond);

// One iteration = one frame: the timeline advances (1,000 moves, and a full rebuild
// when it loops) and the render list is built.
void BM_PlayFrameThousandShapes(benchmark::State& state) {
    const auto& bytes = thousandShapeMovie();
    MovieLoadResult r = loadMovie(bytes.data(), bytes.size());
    if (!r.movie) {
        state.SkipWithError("movie did not load");
        return;
    }
    Stage stage(r.movie, nullptr);
    stage.start();
    RenderList list;
    for (auto _ : state) {
        stage.tick();
        stage.buildRenderList(list);
        benchmark::DoNotOptimize(list.items.data());
    }
    kestrel::bench::SetFrameCounters(state, list.items.size());
}
BENCHMARK(BM_PlayFrameThousandShapes)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
