// Paints the player's render list into a pixel buffer with Anti-Grain Geometry:
// shapes anti-aliased with both fills of every edge at once (the compound
// rasteriser), solid, gradient and bitmap fills, static text from its glyphs,
// strokes with their widths, caps, joins and scaling modes, masks with
// anti-aliased edges, text fields in embedded fonts from their glyphs. Fields in
// device fonts are handed to a text painter where the platform has one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "player/core/render_list.h"
#include "player/core/swf_types.h"
#include "player/render/pixel_buffer.h"

namespace kestrel::render {

// Draws what the vector renderer cannot: text in the system's own fonts. The
// surface is premultiplied RGBA, `stride` bytes a row.
class TextPainter {
  public:
    virtual ~TextPainter() = default;
    virtual void PaintText(const player::RenderItem& item, const player::Matrix& itemToPixels,
                           uint8_t* pixels, int width, int height, int stride) = 0;
};

struct FrameOptions {
    // Instead of the list's own background.
    std::optional<player::Rgba> background;
    // No background at all: the frame starts fully transparent.
    bool transparent = false;
    // Leave the pixels premultiplied by their alpha, as layered surfaces take them.
    bool premultiplied = false;
    TextPainter* text = nullptr;  // not owned; none draws no text
    // False for low quality: shapes' edges are not anti-aliased.
    bool antiAliased = true;
};

// Paints frame after frame and keeps from one to the next what it can: the
// coverage of shapes drawn again where they were, and its working storage.
class Renderer {
  public:
    // Coverage kept from one frame to the next stays within about this many bytes;
    // a frame that needs more is painted shape by shape, keeping none.
    static constexpr size_t kDefaultKeptBytes = size_t{128} << 20;
    explicit Renderer(size_t keptBytes = kDefaultKeptBytes);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Fills `target` (already sized) with the background and draws every item;
    // `stageToPixels` maps stage twips to buffer pixels.
    void RenderFrame(const player::RenderList& list, const player::Matrix& stageToPixels,
                     PixelBuffer& target, const FrameOptions& options = {});
    // The stage at its own size, one buffer pixel per stage pixel. False when the
    // stage is empty or too large for a buffer.
    bool RenderStage(const player::RenderList& list, PixelBuffer& target,
                     const FrameOptions& options = {});

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// One frame with a renderer of its own.
void RenderFrame(const player::RenderList& list, const player::Matrix& stageToPixels,
                 PixelBuffer& target);
bool RenderStage(const player::RenderList& list, PixelBuffer& target);

}  // namespace kestrel::render
