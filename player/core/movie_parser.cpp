// The tag loop: SWF tags -> MovieDefinition. Each tag body is read through its own
// bounded reader, so a malformed tag can never read into its neighbours; a tag whose
// declared length runs past the file ends parsing and marks the movie truncated.
#include <utility>

#include "common/ascii_case.h"
#include "common/swf_format.h"
#include "player/core/byte_reader.h"
#include "player/core/movie_definition.h"
#include "player/core/static_text.h"

namespace kestrel::player {

namespace {

// All bitmaps of one movie together: 256 MB of pixels.
constexpr size_t kMaxMoviePixels = size_t{1} << 26;

ActionBytes restOf(ByteReader& r) {
    size_t n = r.remaining();
    const uint8_t* p = r.take(n);
    return ActionBytes{p, p ? n : 0};
}

// Filter records only need skipping; their sizes are fixed per type except the
// gradient ones and the convolution matrix.
void skipFilterList(ByteReader& r) {
    unsigned count = r.u8();
    for (unsigned i = 0; i < count && r.ok(); ++i) {
        switch (r.u8()) {
            case 0:
                r.skip(23);
                break;  // drop shadow
            case 1:
                r.skip(9);
                break;  // blur
            case 2:
                r.skip(15);
                break;  // glow
            case 3:
                r.skip(27);
                break;  // bevel
            case 4:     // gradient glow
            case 7: {   // gradient bevel
                unsigned colors = r.u8();
                r.skip(colors * 5u + 19u);
                break;
            }
            case 5: {  // convolution
                unsigned cols = r.u8(), rows = r.u8();
                r.skip(8u + 4u * cols * rows + 5u);
                break;
            }
            case 6:
                r.skip(80);
                break;  // colour matrix
            default:
                r.fail();
                break;
        }
    }
}

}  // namespace

class MovieParser {
  public:
    explicit MovieParser(MovieDefinition& movie) : movie_(movie) {}

    SwfError readFile(const uint8_t* data, size_t size) {
        return readSwfFile(data, size, movie_.file_);
    }

    void parse() {
        const SwfFile& f = movie_.file_;
        ByteReader r(f.bytes.data() + f.tagsOffset, f.bytes.size() - f.tagsOffset);
        bool complete = parseTimeline(r, movie_.root_, true);
        if (!complete) movie_.truncated_ = true;
        // A static text finds its fonts wherever the file defines them, as when it is shown.
        for (const PendingText& t : pendingTexts_) {
            ByteReader body(t.body, t.size);
            parseStaticText(body, t.tagCode, movie_.fonts_, movie_.shapes_[t.id]);
        }
    }

  private:
    // Reads tags until End. Returns false when the stream ended early or broke.
    bool parseTimeline(ByteReader& r, TimelineDefinition& timeline, bool isRoot) {
        FrameDefinition frame;
        bool complete = false;
        while (r.remaining() > 0) {
            uint16_t codeAndLength = r.u16();
            uint16_t code = codeAndLength >> 6;
            size_t length = codeAndLength & 0x3F;
            if (length == 0x3F) length = r.u32();
            if (!r.ok() || length > r.remaining()) break;
            ByteReader body = r.sub(length);
            if (code == swf::kTagEnd) {
                complete = true;
                break;
            }
            if (code == swf::kTagShowFrame) {
                timeline.frames.push_back(std::move(frame));
                frame = FrameDefinition();
                continue;
            }
            if (!parseControlTag(code, body, frame, isRoot) && isRoot)
                parseDefinitionTag(code, body);
        }
        // Commands after the last ShowFrame still make a frame, and a timeline always
        // has at least one so clips have somewhere to stand.
        if (!frame.commands.empty() || !frame.actions.empty() || timeline.frames.empty())
            timeline.frames.push_back(std::move(frame));
        return complete;
    }

    // Tags that belong to a frame. False when `code` is not one of them.
    bool parseControlTag(uint16_t code, ByteReader& r, FrameDefinition& frame, bool isRoot) {
        switch (code) {
            case swf::kTagPlaceObject: {
                PlaceCommand c;
                c.hasCharacter = true;
                c.characterId = r.u16();
                c.depth = r.u16();
                c.hasMatrix = true;
                c.matrix = r.matrix();
                if (r.ok() && r.remaining() > 0) {
                    c.colorTransform = r.colorTransform(false);
                    c.hasColorTransform = true;
                }
                if (r.ok()) frame.commands.push_back(std::move(c));
                return true;
            }
            case swf::kTagPlaceObject2:
            case swf::kTagPlaceObject3:
                parsePlace(r, code == swf::kTagPlaceObject3, frame);
                return true;
            case swf::kTagRemoveObject:
            case swf::kTagRemoveObject2: {
                PlaceCommand c;
                c.kind = PlaceCommand::Remove;
                if (code == swf::kTagRemoveObject) r.u16();
                c.depth = r.u16();
                if (r.ok()) frame.commands.push_back(std::move(c));
                return true;
            }
            case swf::kTagDoAction: {
                ActionBytes a = restOf(r);
                if (!a.empty()) frame.actions.push_back(a);
                return true;
            }
            case swf::kTagDoInitAction: {
                if (!isRoot) return true;
                InitAction init;
                init.spriteId = r.u16();
                init.actions = restOf(r);
                if (r.ok()) frame.initActions.push_back(init);
                return true;
            }
            case swf::kTagFrameLabel: {
                std::string label = r.cstring();
                if (r.ok() && frame.label.empty()) frame.label = label;
                return true;
            }
            case swf::kTagFileAttributes: {
                uint8_t flags = r.u8();
                if (r.ok() && isRoot) movie_.useNetwork_ = (flags & 0x01) != 0;
                return true;
            }
            case swf::kTagSetBackgroundColor: {
                Rgba c = r.rgb();
                if (r.ok() && isRoot && !movie_.hasBackground_) {
                    movie_.background_ = c;
                    movie_.hasBackground_ = true;
                }
                return true;
            }
            default:
                return false;
        }
    }

    void parsePlace(ByteReader& r, bool version3, FrameDefinition& frame) {
        PlaceCommand c;
        uint8_t flags = r.u8();
        uint8_t flags2 = version3 ? r.u8() : 0;
        c.depth = r.u16();
        c.move = flags & 0x01;
        if (version3 && ((flags2 & 0x08) || ((flags2 & 0x10) && (flags & 0x02)))) r.cstring();
        if (flags & 0x02) {
            c.hasCharacter = true;
            c.characterId = r.u16();
        }
        if (flags & 0x04) {
            c.hasMatrix = true;
            c.matrix = r.matrix();
        }
        if (flags & 0x08) {
            c.hasColorTransform = true;
            c.colorTransform = r.colorTransform(true);
        }
        if (flags & 0x10) {
            c.hasRatio = true;
            c.ratio = r.u16();
        }
        if (flags & 0x20) {
            c.hasName = true;
            c.name = r.cstring();
        }
        if (flags & 0x40) {
            c.hasClipDepth = true;
            c.clipDepth = r.u16();
        }
        if (!r.ok()) return;  // the essentials are broken: drop the command
        if (version3) {
            if (flags2 & 0x01) skipFilterList(r);
            if (flags2 & 0x02) r.u8();     // blend mode
            if (flags2 & 0x04) r.u8();     // cache as bitmap
            if (flags2 & 0x20) r.skip(5);  // visible, background colour
        }
        if ((flags & 0x80) && r.ok()) c.clipActions = restOf(r);
        frame.commands.push_back(std::move(c));
    }

    bool defineOnce(uint16_t id, CharacterKind kind) {
        if (id == 0 || movie_.kinds_.count(id)) return false;  // first definition wins
        movie_.kinds_[id] = kind;
        return true;
    }

    void parseDefinitionTag(uint16_t code, ByteReader& r) {
        switch (code) {
            case swf::kTagDefineShape:
            case swf::kTagDefineShape2:
            case swf::kTagDefineShape3:
            case swf::kTagDefineShape4: {
                ShapeDefinition shape;
                shape.id = r.u16();
                if (!r.ok() || !defineOnce(shape.id, CharacterKind::Shape)) return;
                // A broken shape keeps the edges read before the fault.
                parseShape(r, code, shape);
                resolveBitmaps(shape.fillStyles);
                for (LineStyleInfo& line : shape.lineStyles)
                    if (line.hasFill && line.fill.kind == FillStyle::Bitmap)
                        line.fill.bitmap = movie_.bitmap(line.fill.bitmapId);
                movie_.shapes_[shape.id] = std::move(shape);
                return;
            }
            case swf::kTagDefineMorphShape:
            case swf::kTagDefineMorphShape2: {
                MorphShapeDefinition morph;
                morph.id = r.u16();
                if (!r.ok() || !defineOnce(morph.id, CharacterKind::MorphShape)) return;
                parseMorphShape(r, code, morph);
                resolveBitmaps(morph.startFills);
                resolveBitmaps(morph.endFills);
                movie_.morphShapes_[morph.id] = std::move(morph);
                return;
            }
            case swf::kTagJpegTables:
                // The first tables serve every DefineBits of the movie.
                if (jpegTables_.empty() && r.remaining() > 0) {
                    size_t n = r.remaining();
                    const uint8_t* p = r.take(n);
                    jpegTables_.assign(p, p + n);
                }
                return;
            case swf::kTagDefineBits:
            case swf::kTagDefineBitsJpeg2:
            case swf::kTagDefineBitsJpeg3:
            case swf::kTagDefineBitsLossless:
            case swf::kTagDefineBitsLossless2:
                parseBitmap(code, r);
                return;
            case swf::kTagDefineSprite: {
                TimelineDefinition sprite;
                sprite.id = r.u16();
                r.u16();  // frame count: the ShowFrame tags decide
                if (!r.ok() || !defineOnce(sprite.id, CharacterKind::Sprite)) return;
                parseTimeline(r, sprite, false);
                movie_.sprites_[sprite.id] = std::move(sprite);
                return;
            }
            case swf::kTagDefineEditText:
                parseEditText(r);
                return;
            case swf::kTagDefineButton:
            case swf::kTagDefineButton2:
                parseButton(r, code == swf::kTagDefineButton2);
                return;
            case swf::kTagExportAssets: {
                unsigned count = r.u16();
                for (unsigned i = 0; i < count && r.ok(); ++i) {
                    uint16_t id = r.u16();
                    std::string name = r.cstring();
                    if (r.ok()) movie_.exports_.emplace(std::move(name), id);
                }
                return;
            }
            case swf::kTagDefineFont:
            case swf::kTagDefineFont2:
            case swf::kTagDefineFont3: {
                uint16_t id = r.u16();
                if (r.ok() && defineOnce(id, CharacterKind::Font)) {
                    parseFontGlyphs(r, code, movie_.fonts_[id]);
                    keepFontMetrics(id, movie_.fonts_[id]);
                }
                return;
            }
            case swf::kTagDefineText:
            case swf::kTagDefineText2: {
                // Static text becomes a shape made of its glyph outlines (read at the end).
                uint16_t id = r.u16();
                if (!r.ok() || !defineOnce(id, CharacterKind::Shape)) return;
                movie_.shapes_[id].id = id;
                pendingTexts_.push_back({id, code, r.current(), r.remaining()});
                return;
            }
            default:
                return;  // tags we do not play are skipped
        }
    }

    void parseBitmap(uint16_t code, ByteReader& r) {
        BitmapDefinition bitmap;
        bitmap.id = r.u16();
        if (!r.ok() || !defineOnce(bitmap.id, CharacterKind::Bitmap)) return;
        bool decoded = false;
        switch (code) {
            case swf::kTagDefineBits:
                decoded = parseJpegWithTables(r, jpegTables_, bitmap);
                break;
            case swf::kTagDefineBitsJpeg2:
                decoded = parseJpegImage(r, bitmap);
                break;
            case swf::kTagDefineBitsJpeg3:
                decoded = parseJpegWithAlpha(r, bitmap);
                break;
            default:
                decoded = parseLosslessBitmap(r, code == swf::kTagDefineBitsLossless2, bitmap);
                break;
        }
        // Past the movie's budget further bitmaps stay empty, so no file can make
        // the player hold more than kMaxMoviePixels.
        if (!decoded || bitmap.pixelCount() > kMaxMoviePixels - decodedPixels_) return;
        decodedPixels_ += bitmap.pixelCount();
        movie_.bitmaps_[bitmap.id] = std::move(bitmap);
    }

    // Points bitmap fills at their decoded bitmaps (bitmaps come before the shapes
    // that use them).
    void resolveBitmaps(std::vector<FillStyle>& fills) const {
        for (FillStyle& fill : fills)
            if (fill.kind == FillStyle::Bitmap) fill.bitmap = movie_.bitmap(fill.bitmapId);
    }

    void keepFontMetrics(uint16_t id, const FontGlyphs& font) {
        if (!font.hasLayout || font.name.empty()) return;
        FontMetrics m;
        m.fontId = id;
        m.name = font.name;
        m.bold = font.bold;
        m.italic = font.italic;
        m.emSize = font.emSize;
        m.ascent = font.ascent;
        m.descent = font.descent;
        m.leading = font.leading;
        for (size_t i = 0; i < font.codes.size() && i < font.advances.size(); ++i)
            m.advances.emplace(font.codes[i], font.advances[i]);
        movie_.fontMetrics_.push_back(std::move(m));
    }

    void parseEditText(ByteReader& r) {
        EditTextDefinition t;
        t.id = r.u16();
        t.bounds = r.rect();
        uint8_t f1 = r.u8(), f2 = r.u8();
        t.wordWrap = f1 & 0x40;
        t.multiline = f1 & 0x20;
        t.password = f1 & 0x10;
        t.readOnly = f1 & 0x08;
        t.autoSize = (f2 & 0x40) ? TextAutoSize::Left : TextAutoSize::None;
        t.selectable = !(f2 & 0x10);
        // The tag's border flag draws both the frame and the white fill.
        t.border = t.background = f2 & 0x08;
        t.html = f2 & 0x02;
        t.useOutlines = f2 & 0x01;
        if (f1 & 0x01) {
            t.fontId = r.u16();
            if (auto font = movie_.fonts_.find(t.fontId); font != movie_.fonts_.end()) {
                t.fontName = font->second.name;
                t.fontBold = font->second.bold;
                t.fontItalic = font->second.italic;
            }
        }
        if (f2 & 0x80) r.cstring();  // font class
        if (f1 & 0x01) t.fontHeight = r.u16();
        if (f1 & 0x04) t.textColor = r.rgba();
        if (f1 & 0x02) t.maxLength = r.u16();
        if (f2 & 0x20) {
            t.align = r.u8();
            t.leftMargin = r.u16();
            t.rightMargin = r.u16();
            t.indent = r.u16();
            t.leading = r.s16();
        }
        t.variableName = r.cstring();
        if (f1 & 0x80) t.initialText = r.cstring();
        if (!r.ok() || !defineOnce(t.id, CharacterKind::EditText)) return;
        movie_.editTexts_[t.id] = std::move(t);
    }

    void parseButton(ByteReader& r, bool version2) {
        ButtonDefinition b;
        b.id = r.u16();
        size_t actionOffset = 0;
        size_t recordsStart = 0;
        if (version2) {
            b.trackAsMenu = r.u8() & 0x01;
            recordsStart = r.position();
            actionOffset = r.u16();
        }
        while (r.ok()) {
            uint8_t flags = r.u8();
            if (flags == 0) break;
            ButtonRecord rec;
            rec.states = flags & 0x0F;
            rec.characterId = r.u16();
            rec.depth = r.u16();
            rec.matrix = r.matrix();
            if (version2) {
                rec.colorTransform = r.colorTransform(true);
                if (flags & 0x10) skipFilterList(r);
                if (flags & 0x20) r.u8();
            }
            if (r.ok()) b.records.push_back(rec);
        }
        if (!r.ok() || !defineOnce(b.id, CharacterKind::Button)) return;
        if (!version2) {
            // DefineButton: one action block that runs on release.
            b.actions.push_back(ButtonConditionAction{swf::kCondOverDownToOverUp, restOf(r)});
        } else if (actionOffset != 0) {
            // The offset counts from the offset field itself.
            size_t at = recordsStart + actionOffset;
            if (at >= r.position() && at <= r.size()) {
                r.skip(at - r.position());
                parseConditionActions(r, b);
            }
        }
        movie_.buttons_[b.id] = std::move(b);
    }

    void parseConditionActions(ByteReader& r, ButtonDefinition& b) {
        while (r.ok() && r.remaining() >= 4) {
            size_t size = r.u16();
            uint16_t conditions = r.u16();
            ActionBytes actions;
            if (size == 0) {
                actions = restOf(r);
            } else {
                if (size < 4 || size - 4 > r.remaining()) return;
                actions.data = r.take(size - 4);
                actions.size = size - 4;
            }
            b.actions.push_back(ButtonConditionAction{conditions, actions});
            if (size == 0) return;
        }
    }

    MovieDefinition& movie_;
    // DefineText bodies, read once every font is known; they point into the file's bytes.
    struct PendingText {
        uint16_t id;
        int tagCode;
        const uint8_t* body;
        size_t size;
    };
    std::vector<PendingText> pendingTexts_;
    std::vector<uint8_t> jpegTables_;
    size_t decodedPixels_ = 0;
};

MovieLoadResult loadMovie(const uint8_t* data, size_t size) {
    MovieLoadResult result;
    auto movie = std::make_shared<MovieDefinition>();
    MovieParser parser(*movie);
    result.error = parser.readFile(data, size);
    if (result.error != SwfError::None) return result;
    parser.parse();
    result.movie = std::move(movie);
    return result;
}

CharacterKind MovieDefinition::kindOf(uint16_t id) const {
    auto it = kinds_.find(id);
    return it == kinds_.end() ? CharacterKind::None : it->second;
}

template <typename Map>
static auto findIn(const Map& map, uint16_t id) -> const typename Map::mapped_type* {
    auto it = map.find(id);
    return it == map.end() ? nullptr : &it->second;
}

const ShapeDefinition* MovieDefinition::shape(uint16_t id) const {
    return findIn(shapes_, id);
}
const TimelineDefinition* MovieDefinition::sprite(uint16_t id) const {
    return findIn(sprites_, id);
}
const FontGlyphs* MovieDefinition::font(uint16_t id) const {
    auto it = fonts_.find(id);
    return it == fonts_.end() ? nullptr : &it->second;
}

const FontMetrics* MovieDefinition::fontMetrics(const std::string& name, bool bold,
                                                bool italic) const {
    const FontMetrics* any = nullptr;
    for (const FontMetrics& m : fontMetrics_) {
        if (m.name != name) continue;
        if (m.bold == bold && m.italic == italic) return &m;
        if (!any) any = &m;
    }
    if (any) return any;
    // Scripts also name a font by the name the library exports it under.
    uint16_t exported = exportedId(name);
    if (exported == 0 || kindOf(exported) != CharacterKind::Font) return nullptr;
    for (const FontMetrics& m : fontMetrics_)
        if (m.fontId == exported) return &m;
    return nullptr;
}

const FontGlyphs* MovieDefinition::EmbeddedFont(const std::string& name, bool bold,
                                                bool italic) const {
    const FontMetrics* metrics = fontMetrics(name, bold, italic);
    return metrics ? font(metrics->fontId) : nullptr;
}

const EditTextDefinition* MovieDefinition::editText(uint16_t id) const {
    return findIn(editTexts_, id);
}
const ButtonDefinition* MovieDefinition::button(uint16_t id) const {
    return findIn(buttons_, id);
}
const MorphShapeDefinition* MovieDefinition::morphShape(uint16_t id) const {
    return findIn(morphShapes_, id);
}
const BitmapDefinition* MovieDefinition::bitmap(uint16_t id) const {
    return findIn(bitmaps_, id);
}

uint16_t MovieDefinition::exportedId(const std::string& name) const {
    auto it = exports_.find(name);
    return it == exports_.end() ? 0 : it->second;
}

std::string MovieDefinition::exportNameOf(uint16_t id) const {
    for (const auto& entry : exports_)
        if (entry.second == id) return entry.first;
    return {};
}

int TimelineDefinition::frameForLabel(const std::string& label) const {
    std::string wanted = AsciiLowered(label);
    for (size_t i = 0; i < frames.size(); ++i)
        if (!frames[i].label.empty() && AsciiLowered(frames[i].label) == wanted)
            return static_cast<int>(i) + 1;
    return 0;
}

}  // namespace kestrel::player
