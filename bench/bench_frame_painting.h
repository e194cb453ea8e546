// Paints the first frame of a movie again and again with one renderer, as a
// player paints a still frame; `beforeFrame(list)` may change what the frame
// shows first and `afterFrame(list)` put it back.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/bench_frame_counters.h"
#include "player/core/stage.h"
#include "player/render/agg_renderer.h"

namespace kestrel::bench {

template <typename BeforeFrame, typename AfterFrame>
void PaintFirstFrame(benchmark::State& state, const std::vector<uint8_t>& bytes,
                     BeforeFrame beforeFrame, AfterFrame afterFrame) {
    player::MovieLoadResult r = player::loadMovie(bytes.data(), bytes.size());
    if (!r.movie) {
        state.SkipWithError("movie did not load");
        return;
    }
    player::Stage stage(r.movie, nullptr);
    stage.start();
    player::RenderList list;
    stage.buildRenderList(list);
    render::PixelBuffer image;
    render::Renderer renderer;
    for (auto _ : state) {
        beforeFrame(list);
        renderer.RenderStage(list, image);
        afterFrame(list);
        benchmark::DoNotOptimize(image.pixels.data());
    }
    SetFrameCounters(state, list.items.size());
}

inline void PaintFirstFrame(benchmark::State& state, const std::vector<uint8_t>& bytes) {
    auto nothing = [](player::RenderList&) {};
    PaintFirstFrame(state, bytes, nothing, nothing);
}

}  // namespace kestrel::bench
