// Any bytes through the SWF parser; what loads is drawn: frame 1 and a later
// frame, at the stage's size when it is small and into a fixed buffer through a
// scaling, rotating mapping otherwise, so every shape, gradient and stroke (and
// every matrix a movie can give them) reaches the rasteriser. One renderer is kept
// across the frames (coverage kept and painted in bands, transparent and
// premultiplied), another keeps nothing (shape by shape).
#include <cstddef>
#include <cstdint>

#include "player/core/stage.h"
#include "player/render/agg_renderer.h"

using namespace kestrel;
using namespace kestrel::player;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MovieLoadResult result = loadMovie(data, size);
    if (result.error != SwfError::None) return 0;
    Stage stage(result.movie, nullptr);
    stage.start();
    RenderList list;
    render::PixelBuffer image;
    render::Renderer kept;
    render::Renderer keepsNone(1);
    render::FrameOptions transparent;
    transparent.transparent = true;
    transparent.premultiplied = true;
    for (int frame = 0; frame < 2; ++frame) {
        stage.buildRenderList(list);
        if (list.stageRect.width() <= 64 * kTwipsPerPixel &&
            list.stageRect.height() <= 64 * kTwipsPerPixel)
            kept.RenderStage(list, image);
        image.Resize(48, 32);
        const Matrix mapping{0.03, 0.01, -0.01, 0.03, 5, -3};
        kept.RenderFrame(list, mapping, image, transparent);
        keepsNone.RenderFrame(list, mapping, image);
        // Wide enough to be painted in several bands.
        image.Resize(1100, 40);
        kept.RenderFrame(list, Matrix{0.5, 0, 0, 0.1, 0, 0}, image);
        stage.tick();
        stage.tick();
    }
    return 0;
}
