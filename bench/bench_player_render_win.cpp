// The renderer in the 32-bit build: blending rows of a 1280 x 720 frame with the
// SSE2 path beside the plain one (pixel by pixel), then whole frames of the
// 1,000-shape movie beside its own 24 fps; frames per second of processor time.
// Run under Wine: scripts/wine-run.sh build/win32/bench/bench_player_render_win.exe
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/bench_thousand_shapes.h"
#include "player/core/stage.h"
#include "player/render/agg_renderer.h"
#include "player/render/coverage_painting.h"

using namespace kestrel;

namespace {

constexpr int kWidth = 1280, kHeight = 720;
// The thread's processor time in seconds: the machine may be busy with other work.
double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    auto seconds = [](const FILETIME& t) {
        return ((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// Frames of blending per second: `blend(row, sources)` over every row of a frame.
template <typename Blend>
double BlendFrames(int frames, Blend blend) {
    std::vector<uint32_t> frame(static_cast<size_t>(kWidth) * kHeight, 0xFF808080u);
    std::vector<uint32_t> sources(kWidth);
    for (int x = 0; x < kWidth; ++x) sources[x] = x % 2 ? 0x80400000u : 0x40002020u;
    double start = CpuSeconds();
    for (int f = 0; f < frames; ++f)
        for (int y = 0; y < kHeight; ++y) blend(&frame[static_cast<size_t>(y) * kWidth], sources);
    double fps = frames / (CpuSeconds() - start);
    volatile uint32_t keep = frame[12345];
    (void)keep;
    return fps;
}

void CompareBlending() {
    const uint32_t half = 0x80400000u;
    auto sse2All = [&](uint32_t* row, const std::vector<uint32_t>&) {
        render::detail::OverAll(row, kWidth, half);
    };
    auto plainAll = [&](uint32_t* row, const std::vector<uint32_t>&) {
        for (int x = 0; x < kWidth; ++x) row[x] = render::detail::Over(half, row[x]);
    };
    auto sse2Each = [](uint32_t* row, const std::vector<uint32_t>& s) {
        render::detail::OverEach(row, kWidth, s.data());
    };
    auto plainEach = [](uint32_t* row, const std::vector<uint32_t>& s) {
        for (int x = 0; x < kWidth; ++x) row[x] = render::detail::Over(s[x], row[x]);
    };
    const int frames = 1500;
    double a = BlendFrames(frames, sse2All), b = BlendFrames(frames, plainAll);
    std::printf("one colour over a frame:  SSE2 %8.1f fps  plain %8.1f fps  ratio %.2f\n", a, b,
                a / b);
    double c = BlendFrames(frames, sse2Each), d = BlendFrames(frames, plainEach);
    std::printf("a colour per pixel:       SSE2 %8.1f fps  plain %8.1f fps  ratio %.2f\n", c, d,
                c / d);
}

void RenderFrames() {
    const std::vector<uint8_t>& bytes = bench::ThousandShapeMovie();
    player::MovieLoadResult r = player::loadMovie(bytes.data(), bytes.size());
    if (!r.movie) {
        std::printf("the movie did not load\n");
        return;
    }
    player::Stage stage(r.movie, nullptr);
    stage.start();
    player::RenderList list;
    stage.buildRenderList(list);
    render::PixelBuffer image;
    render::Renderer renderer;
    renderer.RenderStage(list, image);
    const int frames = 150;
    double start = CpuSeconds();
    for (int f = 0; f < frames; ++f) renderer.RenderStage(list, image);
    double fps = frames / (CpuSeconds() - start);
    std::printf("1,000 shapes at 1280x720: %8.1f fps  x%.1f the movie's 24 fps\n", fps, fps / 24);
}

}  // namespace

int main() {
#if defined(__SSE2__)
    std::printf("built with SSE2\n");
#else
    std::printf("built without SSE2\n");
#endif
    CompareBlending();
    RenderFrames();
    return 0;
}
