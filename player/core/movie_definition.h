// A parsed movie: header, dictionary of characters, root timeline, exports.
// Immutable after parsing; display objects point into it, so keep it alive (it is
// handed around as shared_ptr<const MovieDefinition>).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "player/core/bitmap_definitions.h"
#include "player/core/character_definitions.h"
#include "player/core/morph_shape.h"
#include "player/core/shape_definition.h"
#include "player/core/static_text.h"
#include "player/core/swf_file.h"

namespace kestrel::player {

enum class CharacterKind { None, Shape, MorphShape, Sprite, EditText, Button, Font, Bitmap, Other };

class MovieDefinition {
  public:
    const SwfHeader& header() const { return file_.header; }
    uint8_t version() const { return file_.header.version; }
    double frameRate() const { return file_.header.frameRate(); }
    Rect stageRect() const { return file_.header.frameRect; }

    // First SetBackgroundColor of the root timeline; white when the movie has none.
    Rgba backgroundColor() const { return background_; }
    bool hasBackgroundColor() const { return hasBackground_; }
    // FileAttributes asks for network access instead of local files.
    bool useNetwork() const { return useNetwork_; }

    const TimelineDefinition& rootTimeline() const { return root_; }

    CharacterKind kindOf(uint16_t id) const;
    // Null when the id is unknown or names another kind of character.
    const ShapeDefinition* shape(uint16_t id) const;
    const TimelineDefinition* sprite(uint16_t id) const;
    const EditTextDefinition* editText(uint16_t id) const;
    const ButtonDefinition* button(uint16_t id) const;
    const MorphShapeDefinition* morphShape(uint16_t id) const;
    const BitmapDefinition* bitmap(uint16_t id) const;

    // The glyph outlines of an embedded font; null when `id` is no font.
    const FontGlyphs* font(uint16_t id) const;
    // The embedded font with layout data named `name`, preferring the given style; null
    // when there is none. A font the library exports is also found by its export name.
    const FontMetrics* fontMetrics(const std::string& name, bool bold, bool italic) const;
    // The glyphs of the font fontMetrics finds.
    const FontGlyphs* EmbeddedFont(const std::string& name, bool bold, bool italic) const;

    // ExportAssets: linkage name -> character id (0 when not exported). Exact match.
    uint16_t exportedId(const std::string& name) const;
    // The linkage name of a character, empty when not exported.
    std::string exportNameOf(uint16_t id) const;

    // True when the tag stream ended early or a tag was malformed; what was read
    // before the fault is kept and plays.
    bool truncated() const { return truncated_; }

  private:
    friend class MovieParser;
    SwfFile file_;
    Rgba background_{255, 255, 255, 255};
    bool hasBackground_ = false;
    bool useNetwork_ = false;
    bool truncated_ = false;
    TimelineDefinition root_;
    std::map<uint16_t, CharacterKind> kinds_;
    std::map<uint16_t, ShapeDefinition> shapes_;
    std::map<uint16_t, TimelineDefinition> sprites_;
    std::map<uint16_t, EditTextDefinition> editTexts_;
    std::map<uint16_t, ButtonDefinition> buttons_;
    std::map<uint16_t, MorphShapeDefinition> morphShapes_;
    std::map<uint16_t, BitmapDefinition> bitmaps_;
    std::map<std::string, uint16_t> exports_;
    std::vector<FontMetrics> fontMetrics_;
    std::map<uint16_t, FontGlyphs> fonts_;
};

struct MovieLoadResult {
    SwfError error = SwfError::None;
    std::shared_ptr<const MovieDefinition> movie;  // set when error == None
};

// Parses a whole SWF file. Malformed tags never fail the load once the header is
// sound: parsing stops at the fault and the movie keeps what came before.
MovieLoadResult loadMovie(const uint8_t* data, size_t size);

}  // namespace kestrel::player
