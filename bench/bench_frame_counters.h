// Counters of the frame benchmarks: frames per second, how many times faster
// than a 24 fps movie plays, and how many items a frame draws.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>

namespace kestrel::bench {

inline void SetFrameCounters(benchmark::State& state, std::size_t items) {
    const double frames = static_cast<double>(state.iterations());
    state.counters["fps"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["x_realtime_24fps"] =
        benchmark::Counter(frames / 24.0, benchmark::Counter::kIsRate);
    state.counters["items"] = static_cast<double>(items);
}

}  // namespace kestrel::bench
