// Any bytes through the SWF parser; what loads is drawn: frame 1 and a later
// frame, at the stage's size when it is small and into a fixed buffer through a
// scaling, rotating mapping otherwise, so every shape, gradient and stroke (and
// every matrix a movie can give them) reaches the rasteriser.
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
    for (int frame = 0; frame < 2; ++frame) {
        stage.buildRenderList(list);
        if (list.stageRect.width() <= 64 * kTwipsPerPixel &&
            list.stageRect.height() <= 64 * kTwipsPerPixel)
            render::RenderStage(list, image);
        image.Resize(48, 32);
        render::RenderFrame(list, Matrix{0.03, 0.01, -0.01, 0.03, 5, -3}, image);
        stage.tick();
        stage.tick();
    }
    return 0;
}
