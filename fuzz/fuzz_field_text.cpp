// Any bytes as the HTML text of a field that embeds its font: read into runs of
// formats (fonts, sizes, colours, styles, paragraph settings), laid out and drawn,
// with the field's wrapping, scroll and horizontal scroll taken from the first
// bytes. The movie holds one embedded font with square glyphs.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "common/swf_format.h"
#include "player/core/stage.h"
#include "player/render/agg_renderer.h"
#include "player/runtime/text_field_content.h"
#include "tools/swfwriter/description.h"
#include "tools/swfwriter/font_glyphs.h"

using namespace kestrel;
using namespace kestrel::player;

namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// A font named "Squares" (glyphs for ' ' to 'z', each a square but the space) and a
// wrapping html field with it at (5, 5).
std::shared_ptr<const MovieDefinition> FieldMovie() {
    swf::GlyphFont font;
    font.name = "Squares";
    swf::GlyphLayout layout;
    layout.ascent = 900;
    layout.descent = 124;
    for (uint16_t c = ' '; c <= 'z'; ++c) {
        swf::Shape glyph(1);
        if (c != ' ') {
            uint16_t fill = glyph.AddFill(swf::Rgba{0, 0, 0, 255});
            glyph.SetStyle(0, fill, 0);
            glyph.Rectangle(2, -40, 36, 36);
        }
        font.glyphs.push_back(glyph);
        font.codes.push_back(c);
        layout.advances.push_back(1024);
    }
    font.layout = layout;
    auto fontBody = swf::EncodeGlyphFont(1, font);
    if (!fontBody) return nullptr;
    std::string d = "stage 120 60\ntag " + std::to_string(swf::GlyphFontTagCode(2)) + " long " +
                    Hex(*fontBody) +
                    "\nedittext 2 5 5 100 40 font=1 size=12 outlines multiline wordwrap html\n"
                    "place 2 depth=1\nshowframe\n";
    std::string error;
    auto bytes = swf::CompileDescription(d, error);
    if (!bytes) return nullptr;
    return loadMovie(bytes->data(), bytes->size()).movie;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::shared_ptr<const MovieDefinition> movie = FieldMovie();
    if (!movie || size < 3) return 0;
    Stage stage(movie, nullptr);
    stage.start();
    auto* field = static_cast<EditText*>(stage.root().childAtDepth(1 - 16384));
    if (!field || field->kind() != DisplayObjectKind::EditText) return 0;
    field->format().wordWrap = data[0] & 1;
    field->format().password = data[0] & 2;
    field->SetScroll(data[1] % 8 - 2);
    field->SetHscroll(data[2] % 64 - 8);
    runtime::TextFieldSettings settings;
    runtime::InitFieldContent(*field, settings);
    runtime::SetFieldFromVariable(*field, settings,
                                  std::string(reinterpret_cast<const char*>(data) + 3, size - 3));
    RenderList list;
    stage.buildRenderList(list);
    static render::Renderer renderer;
    render::PixelBuffer image;
    renderer.RenderStage(list, image);
    return 0;
}
