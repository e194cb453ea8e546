// The first byte picks DefineMorphShape or DefineMorphShape2; the rest is the
// tag's body after the id. What parses is drawn at the start, somewhere between
// and the end, through a scaling, turning mapping.
#include <cstddef>
#include <cstdint>

#include "common/swf_format.h"
#include "player/core/morph_shape.h"
#include "player/core/render_list.h"
#include "player/render/agg_renderer.h"

using namespace kestrel;
using namespace kestrel::player;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    int code = data[0] & 1 ? swf::kTagDefineMorphShape2 : swf::kTagDefineMorphShape;
    ByteReader r(data + 1, size - 1);
    MorphShapeDefinition morph;
    parseMorphShape(r, code, morph);
    render::PixelBuffer image;
    image.Resize(48, 32);
    for (uint16_t ratio : {uint16_t{0}, uint16_t{21845}, uint16_t{65535}}) {
        ShapeDefinition shape;
        morphShapeAt(morph, ratio, shape);
        shape.hitTest(100, 100);
        RenderList list;
        RenderItem item;
        item.shape = &shape;
        list.items.push_back(item);
        render::RenderFrame(list, Matrix{0.03, 0.01, -0.01, 0.03, 5, -3}, image);
    }
    return 0;
}
