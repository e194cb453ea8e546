// Shapes, placement, sprites and exports in the description format.
#include <cmath>

#include "common/swf_format.h"
#include "tools/swfwriter/bitmap.h"
#include "tools/swfwriter/definitions.h"
#include "tools/swfwriter/description_parser.h"
#include "tools/swfwriter/morph_shape.h"
#include "tools/swfwriter/place_object.h"
#include "tools/swfwriter/shape.h"

namespace swf {
namespace {

bool ReadStyleOptions(ArgReader& args, Shape& shape) {
    int64_t fill = 0, line = 0;
    bool hasFill = args.Has("fill"), hasLine = args.Has("line");
    if (!args.IntOption("fill", 0, 65535, fill) || !args.IntOption("line", 0, 65535, line)) {
        return false;
    }
    if (hasFill || hasLine) {
        shape.SetStyle(0, static_cast<uint16_t>(fill), static_cast<uint16_t>(line));
    }
    return true;
}

bool ReadGradient(ArgReader& args, FillStyle& fill) {
    const Arg* stops = args.Option("stops");
    if (!stops) {
        args.SetError(0, "a gradient needs stops=<ratio>:<colour>,...");
        return false;
    }
    for (const Token& t : stops->values) {
        size_t colon = t.text.find(':');
        int64_t ratio = 0;
        GradientStop stop;
        if (colon == std::string::npos || !ParseInteger(t.text.substr(0, colon), ratio) ||
            ratio < 0 || ratio > 255 || !ParseColor(t.text.substr(colon + 1), stop.color)) {
            args.SetError(t.column, "a stop is written <0-255>:#RRGGBB[AA]");
            return false;
        }
        stop.ratio = static_cast<uint8_t>(ratio);
        fill.stops.push_back(stop);
    }
    std::optional<Matrix> matrix;
    if (const Arg* box = args.Option("box")) {
        std::vector<double> n;
        double rotate = 0;
        if (!args.Numbers(box, 4, n) || !args.NumberOption("rotate", rotate)) return false;
        matrix = FillStyle::GradientBox(n[0], n[1], n[2], n[3], rotate);
    }
    if (const Arg* m = args.Option("matrix")) {
        std::vector<double> n;
        if (!args.Numbers(m, 6, n)) return false;
        if (matrix) {
            args.SetError(m->column, "give either box= or matrix=");
            return false;
        }
        matrix = Matrix{n[0], n[3], n[1], n[2], Twips(n[4]), Twips(n[5])};
    }
    if (matrix) fill.matrix = *matrix;
    if (const Arg* spread = args.Option("spread")) {
        const char* names[] = {"pad", "reflect", "repeat"};
        bool known = false;
        for (uint8_t i = 0; i < 3; ++i) {
            if (spread->values.size() == 1 && spread->values[0].IsWord(names[i])) {
                fill.spreadMode = i;
                known = true;
            }
        }
        if (!known) {
            args.SetError(spread->column, "spread is pad, reflect or repeat");
            return false;
        }
    }
    if (const Arg* mode = args.Option("interpolation")) {
        bool linear = mode->values.size() == 1 && mode->values[0].IsWord("linear");
        if (!linear && !(mode->values.size() == 1 && mode->values[0].IsWord("rgb"))) {
            args.SetError(mode->column, "interpolation is rgb or linear");
            return false;
        }
        fill.interpolationMode = linear ? 1 : 0;
    }
    if (fill.type == kFillFocalGradient && !args.NumberOption("focal", fill.focalPoint)) {
        return false;
    }
    return true;
}

// The index of a one-word option's value among `names`; -1 when absent (or an
// error is set when it is none of them).
int WordOption(ArgReader& args, const char* key, std::initializer_list<const char*> names,
               const char* error) {
    const Arg* option = args.Option(key);
    if (!option) return -1;
    int index = 0;
    for (const char* name : names) {
        if (option->values.size() == 1 && option->values[0].IsWord(name)) return index;
        ++index;
    }
    args.SetError(option->column, error);
    return -1;
}

// line <width> #colour [cap=round|none|square] [endcap=round|none|square]
//   [join=round|bevel|miter] [miter=N] [scale=normal|none|horizontal|vertical] [noclose]
//   [fill=N]
bool ReadLineShape(ArgReader& args, Shape::LineShape& shape) {
    int cap = WordOption(args, "cap", {"round", "none", "square"}, "cap is round, none or square");
    int endCap =
        WordOption(args, "endcap", {"round", "none", "square"}, "endcap is round, none or square");
    int64_t fill = 0;
    if (!args.IntOption("fill", 0, 65535, fill)) return false;
    shape.fill = static_cast<uint16_t>(fill);
    int join =
        WordOption(args, "join", {"round", "bevel", "miter"}, "join is round, bevel or miter");
    int scale = WordOption(args, "scale", {"normal", "none", "horizontal", "vertical"},
                           "scale is normal, none, horizontal or vertical");
    if (!args.ok()) return false;
    if (cap >= 0) shape.cap = static_cast<uint8_t>(cap);
    if (endCap >= 0) shape.endCap = static_cast<uint8_t>(endCap);
    if (join >= 0) shape.join = static_cast<uint8_t>(join);
    // Horizontal scaling alone widens the line: its vertical scaling does not.
    shape.noHScale = scale == 1 || scale == 3;
    shape.noVScale = scale == 1 || scale == 2;
    shape.noClose = args.Flag("noclose");
    if (args.Has("miter")) {
        if (!args.NumberOption("miter", shape.miterLimit)) return false;
        if (shape.miterLimit < 0 || shape.miterLimit > 255) {
            args.SetError(args.Option("miter")->column, "miter is 0 to 255");
            return false;
        }
    }
    return true;
}

// fill #RRGGBB[AA] | fill linear|radial|focal stops=... | fill bitmap <id> [clipped] [hard]
bool ReadFillStyle(ArgReader& args, FillStyle& fill) {
    const Arg* first = args.Positional(0);
    if (!first || first->values.size() != 1) {
        args.SetError(0,
                      "usage: fill #RRGGBB[AA] | fill linear|radial|focal stops=... | "
                      "fill bitmap <id>");
        return false;
    }
    const Token& kind = first->values[0];
    if (kind.IsWord("linear") || kind.IsWord("radial") || kind.IsWord("focal")) {
        fill.type = kind.IsWord("linear")   ? kFillLinearGradient
                    : kind.IsWord("radial") ? kFillRadialGradient
                                            : kFillFocalGradient;
        return ReadGradient(args, fill);
    }
    if (kind.IsWord("bitmap")) {
        int64_t id = 0;
        if (!args.Require(2, "fill bitmap <id> [clipped] [hard] [matrix=a,b,c,d,tx,ty]") ||
            !args.Int(args.Positional(1), 0, 65535, id)) {
            return false;
        }
        fill.bitmapId = static_cast<uint16_t>(id);
        bool clipped = args.Flag("clipped"), hard = args.Flag("hard");
        fill.type = hard ? (clipped ? kFillHardClippedBitmap : kFillHardRepeatingBitmap)
                         : (clipped ? kFillClippedBitmap : kFillRepeatingBitmap);
        fill.matrix = Matrix::Make(0, 0, 20, 20);  // one bitmap pixel per stage pixel
        if (const Arg* m = args.Option("matrix")) {
            std::vector<double> n;
            if (!args.Numbers(m, 6, n)) return false;
            fill.matrix = Matrix{n[0], n[3], n[1], n[2], Twips(n[4]), Twips(n[5])};
        }
        return true;
    }
    fill.type = kFillSolid;
    return args.Color(first, fill.color);
}

bool ReadPoints(ArgReader& args, size_t count, double* out) {
    for (size_t i = 0; i < count; ++i) {
        if (!args.Number(args.Positional(i), out[i])) return false;
        if (std::fabs(out[i]) > 1e7) {
            args.SetError(0, "coordinate out of range");
            return false;
        }
    }
    return true;
}

}  // namespace

bool DescriptionParser::ParseShape(const Line& line, Timeline& timeline) {
    ArgReader head(line, 1);
    uint16_t id = 0;
    int64_t version = 3;
    if (!head.Require(1, "shape <id> [version=1|2|3|4] [winding=nonzero|evenodd]") ||
        !CheckId(line, head, id) || !head.IntOption("version", 1, 4, version)) {
        return FailArgs(head);
    }
    Shape shape(static_cast<int>(version));
    if (const Arg* w = head.Option("winding")) {
        bool nonZero = w->values.size() == 1 && w->values[0].IsWord("nonzero");
        if (!nonZero && !(w->values.size() == 1 && w->values[0].IsWord("evenodd"))) {
            return Fail(line, w->column, "winding is nonzero or evenodd");
        }
        if (nonZero && version != 4)
            return Fail(line, w->column, "winding=nonzero needs version=4");
        shape.SetNonZeroWinding(nonZero);
    }
    if (!head.Finish()) return FailArgs(head);
    if (!ParseShapeBody(line, shape)) return false;
    std::string error;
    std::optional<Bytes> body = shape.Encode(id, &error);
    if (!body) return Fail(line, "shape " + std::to_string(id) + ": " + error);
    timeline.AddTag(shape.TagCode(), std::move(*body));
    return true;
}

// morphshape <id> [version=1|2], then a "start" and an "finish" block, each a shape
// body; the finish gives every style's end and the start's edges moved.
bool DescriptionParser::ParseMorphShape(const Line& line, Timeline& timeline) {
    ArgReader head(line, 1);
    uint16_t id = 0;
    int64_t version = 1;
    if (!head.Require(1, "morphshape <id> [version=1|2]") || !CheckId(line, head, id) ||
        !head.IntOption("version", 1, 2, version) || !head.Finish()) {
        return FailArgs(head);
    }
    // Morph styles carry alpha, as DefineShape3 does.
    Shape start(3), finish(3);
    bool hasStart = false, hasFinish = false;
    for (;;) {
        const Line* l = NextLine(line);
        if (!l) return false;
        const Token& k = l->tokens[0];
        if (k.IsWord("end")) break;
        bool isStart = k.IsWord("start");
        if ((!isStart && !k.IsWord("finish")) || l->tokens.size() != 1) {
            return Fail(*l, k.column, "a morph shape holds a 'start' and a 'finish' block");
        }
        bool& seen = isStart ? hasStart : hasFinish;
        if (seen) return Fail(*l, k.column, "'" + k.text + "' is given twice");
        seen = true;
        if (!ParseShapeBody(*l, isStart ? start : finish)) return false;
    }
    if (!hasStart || !hasFinish) return Fail(line, "a morph shape needs 'start' and 'finish'");
    std::string error;
    std::optional<Bytes> body =
        EncodeDefineMorphShape(id, start, finish, static_cast<int>(version), &error);
    if (!body) return Fail(line, "morphshape " + std::to_string(id) + ": " + error);
    timeline.AddTag(MorphShapeTagCode(static_cast<int>(version)), std::move(*body));
    return true;
}

bool DescriptionParser::ParseShapeBody(const Line& opener, Shape& shape) {
    for (;;) {
        const Line* l = NextLine(opener);
        if (!l) return false;
        const Token& k = l->tokens[0];
        if (k.IsWord("end")) break;
        ArgReader args(*l, 1);
        double p[4] = {0, 0, 0, 0};
        if (k.IsWord("fill")) {
            FillStyle fill;
            if (!ReadFillStyle(args, fill)) return FailArgs(args);
            shape.AddFill(fill);
        } else if (k.IsWord("line")) {
            Rgba c;
            if (!args.Require(2, "line <width> #RRGGBB[AA]") ||
                !args.Number(args.Positional(0), p[0]) || !args.Color(args.Positional(1), c)) {
                return FailArgs(args);
            }
            if (p[0] < 0 || p[0] > 3276) return Fail(*l, "line width must be 0 to 3276 pixels");
            Shape::LineShape lineShape;
            if (!ReadLineShape(args, lineShape)) return FailArgs(args);
            shape.AddLine(p[0], c, lineShape);
        } else if (k.IsWord("style")) {
            int64_t f0 = 0, f1 = 0, ln = 0;
            if (!args.IntOption("fill0", 0, 65535, f0) || !args.IntOption("fill1", 0, 65535, f1) ||
                !args.IntOption("line", 0, 65535, ln)) {
                return FailArgs(args);
            }
            shape.SetStyle(static_cast<uint16_t>(f0), static_cast<uint16_t>(f1),
                           static_cast<uint16_t>(ln));
        } else if (k.IsWord("moveto") || k.IsWord("lineto")) {
            if (!args.Require(2, "moveto|lineto <x> <y>") || !ReadPoints(args, 2, p)) {
                return FailArgs(args);
            }
            k.text == "moveto" ? shape.MoveTo(p[0], p[1]) : shape.LineTo(p[0], p[1]);
        } else if (k.IsWord("curveto")) {
            if (!args.Require(4, "curveto <controlx> <controly> <x> <y>") ||
                !ReadPoints(args, 4, p)) {
                return FailArgs(args);
            }
            shape.CurveTo(p[0], p[1], p[2], p[3]);
        } else if (k.IsWord("rect")) {
            if (!args.Require(4, "rect <x> <y> <width> <height> [fill=n] [line=n]") ||
                !ReadPoints(args, 4, p) || !ReadStyleOptions(args, shape)) {
                return FailArgs(args);
            }
            shape.Rectangle(p[0], p[1], p[2], p[3]);
        } else if (k.IsWord("ellipse")) {
            if (!args.Require(4, "ellipse <cx> <cy> <rx> <ry> [fill=n] [line=n]") ||
                !ReadPoints(args, 4, p) || !ReadStyleOptions(args, shape)) {
                return FailArgs(args);
            }
            shape.Ellipse(p[0], p[1], p[2], p[3]);
        } else if (k.IsWord("circle")) {
            if (!args.Require(3, "circle <cx> <cy> <r> [fill=n] [line=n]") ||
                !ReadPoints(args, 3, p) || !ReadStyleOptions(args, shape)) {
                return FailArgs(args);
            }
            shape.Ellipse(p[0], p[1], p[2], p[2]);
        } else {
            return Fail(*l, k.column, "unknown shape statement '" + k.text + "'");
        }
        if (!args.Finish()) return FailArgs(args);
    }
    return true;
}

bool DescriptionParser::ParsePlace(const Line& line, Timeline& timeline) {
    const std::string& k = line.tokens[0].text;
    bool withCharacter = k != "move";
    ArgReader args(line, 1);
    PlaceObject place;
    place.move = k != "place";
    int64_t v = 0;
    if (withCharacter) {
        if (!args.Require(1, "place|replace <character> depth=<n> ...") ||
            !args.Int(args.Positional(0), 1, 65535, v)) {
            return FailArgs(args);
        }
        place.characterId = static_cast<uint16_t>(v);
    }
    if (!args.Has("depth")) return Fail(line, "'" + k + "' needs depth=<n>");
    if (!args.IntOption("depth", 1, 65535, v)) return FailArgs(args);
    place.depth = static_cast<uint16_t>(v);

    if (!ReadTransformOptions(args, place.matrix, place.colorTransform)) return FailArgs(args);

    if (args.Has("ratio")) {
        if (!args.IntOption("ratio", 0, 65535, v)) return FailArgs(args);
        place.ratio = static_cast<uint16_t>(v);
    }
    if (args.Has("clipdepth")) {
        if (!args.IntOption("clipdepth", 1, 65535, v)) return FailArgs(args);
        place.clipDepth = static_cast<uint16_t>(v);
    }
    if (args.Has("name")) {
        std::string name;
        if (!args.TextOption("name", name)) return FailArgs(args);
        place.name = name;
    }
    int64_t form = 2;
    if (!args.IntOption("version", 1, 3, form)) return FailArgs(args);
    if (form == 3) {
        if (args.Has("class")) {
            std::string name;
            if (!args.TextOption("class", name)) return FailArgs(args);
            place.className = name;
        }
        if (const Arg* blend = args.Option("blend")) {
            std::optional<uint8_t> mode;
            int64_t n = 0;
            if (blend->values.size() == 1) {
                mode = BlendModeByName(blend->values[0].text);
                if (!mode && ParseInteger(blend->values[0].text, n) && n >= 0 && n <= 255) {
                    mode = static_cast<uint8_t>(n);
                }
            }
            if (!mode) return Fail(line, blend->column, "unknown blend mode");
            place.blendMode = mode;
        }
        place.cacheAsBitmap = args.Flag("cacheasbitmap");
    }
    bool hasActions = args.Flag("actions");
    if (!args.Finish()) return FailArgs(args);
    if (hasActions && !ParseClipActions(line, place)) return false;

    std::string error;
    std::optional<Bytes> body;
    uint16_t code = kTagPlaceObject2;
    if (form == 1) {
        if (place.move || place.name || place.ratio || place.clipDepth || hasActions) {
            return Fail(line, "version=1 places a new character with a matrix and colours only");
        }
        code = kTagPlaceObject;
        body = EncodePlaceObject(*place.characterId, place.depth, place.matrix.value_or(Matrix{}),
                                 place.colorTransform, &error);
    } else if (form == 3) {
        code = kTagPlaceObject3;
        body = EncodePlaceObject3(place, movie_.Header().version, &error);
    } else {
        body = EncodePlaceObject2(place, movie_.Header().version, &error);
    }
    if (!body) return Fail(line, error);
    timeline.AddTag(code, std::move(*body));
    return true;
}

// bitmap <id> <width> <height> #colour [#colour checker=<cell>]
bool DescriptionParser::ParseBitmap(const Line& line, Timeline& timeline) {
    ArgReader args(line, 1);
    uint16_t id = 0;
    int64_t width = 0, height = 0, cell = 0;
    Rgba first, second;
    const char* usage = "bitmap <id> <width> <height> #RRGGBB[AA] [#RRGGBB[AA] checker=<cell>]";
    if (!args.Require(4, usage) || !CheckId(line, args, id) ||
        !args.Int(args.Positional(1), 1, kMaxBitmapSide, width) ||
        !args.Int(args.Positional(2), 1, kMaxBitmapSide, height) ||
        !args.Color(args.Positional(3), first) || !args.Color(args.Positional(4), second) ||
        !args.IntOption("checker", 0, kMaxBitmapSide, cell) || !args.Finish()) {
        return FailArgs(args);
    }
    if ((cell > 0) != (args.PositionalCount() == 5)) {
        return Fail(line, "a checkerboard needs a second colour and checker=<cell>");
    }
    bitmapPixels_ += static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (bitmapPixels_ > uint64_t{kMaxBitmapSide} * kMaxBitmapSide) {
        return Fail(line, "the bitmaps of one movie hold at most 2048 x 2048 pixels together");
    }
    uint16_t code = 0;
    std::string error;
    std::optional<Bytes> body =
        EncodeLosslessBitmap(id, static_cast<uint16_t>(width), static_cast<uint16_t>(height), first,
                             second, static_cast<uint16_t>(cell), &code, &error);
    if (!body) return Fail(line, error);
    timeline.AddTag(code, std::move(*body));
    return true;
}

bool DescriptionParser::ParseSprite(const Line& line, Timeline& timeline) {
    ArgReader args(line, 1);
    uint16_t id = 0;
    if (!args.Require(1, "sprite <id>") || !CheckId(line, args, id) || !args.Finish()) {
        return FailArgs(args);
    }
    Timeline frames;
    if (!ParseTimeline(frames, false)) return false;
    std::string error;
    std::optional<Bytes> body = EncodeDefineSprite(id, frames, &error);
    if (!body) return Fail(line, error);
    timeline.AddTag(kTagDefineSprite, std::move(*body));
    return true;
}

bool DescriptionParser::ParseExport(const Line& line, Timeline& timeline) {
    ArgReader args(line, 1);
    size_t count = args.PositionalCount();
    if (count == 0 || count % 2 != 0) {
        return Fail(line, "usage: export <id> \"name\" [<id> \"name\" ...]");
    }
    std::vector<std::pair<uint16_t, std::string>> names;
    for (size_t i = 0; i < count; i += 2) {
        int64_t id = 0;
        std::string name;
        if (!args.Int(args.Positional(i), 1, 65535, id) ||
            !args.Text(args.Positional(i + 1), name)) {
            return FailArgs(args);
        }
        names.emplace_back(static_cast<uint16_t>(id), name);
    }
    if (!args.Finish()) return FailArgs(args);
    timeline.AddTag(kTagExportAssets, EncodeExportAssets(names));
    return true;
}

}  // namespace swf
