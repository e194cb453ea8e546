// Shapes, placement, sprites and exports in the description format.
#include <cmath>

#include "description_parser.h"
#include "swfwriter/definitions.h"
#include "swfwriter/place_object.h"
#include "swfwriter/shape.h"
#include "swfwriter/tag_codes.h"

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
    if (!head.Require(1, "shape <id> [version=1|2|3]") || !CheckId(line, head, id) ||
        !head.IntOption("version", 1, 3, version) || !head.Finish()) {
        return FailArgs(head);
    }
    Shape shape(static_cast<int>(version));
    for (;;) {
        const Line* l = NextLine(line);
        if (!l) return false;
        const Token& k = l->tokens[0];
        if (k.IsWord("end")) break;
        ArgReader args(*l, 1);
        double p[4] = {0, 0, 0, 0};
        if (k.IsWord("fill")) {
            Rgba c;
            if (!args.Require(1, "fill #RRGGBB[AA]") || !args.Color(args.Positional(0), c)) {
                return FailArgs(args);
            }
            shape.AddFill(c);
        } else if (k.IsWord("line")) {
            Rgba c;
            if (!args.Require(2, "line <width> #RRGGBB[AA]") ||
                !args.Number(args.Positional(0), p[0]) || !args.Color(args.Positional(1), c)) {
                return FailArgs(args);
            }
            if (p[0] < 0 || p[0] > 3276) return Fail(*l, "line width must be 0 to 3276 pixels");
            shape.AddLine(p[0], c);
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
    std::string error;
    std::optional<Bytes> body = shape.Encode(id, &error);
    if (!body) return Fail(line, "shape " + std::to_string(id) + ": " + error);
    timeline.AddTag(shape.TagCode(), std::move(*body));
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
    bool hasActions = args.Flag("actions");
    if (!args.Finish()) return FailArgs(args);
    if (hasActions && !ParseClipActions(line, place)) return false;

    std::string error;
    std::optional<Bytes> body = EncodePlaceObject2(place, movie_.Header().version, &error);
    if (!body) return Fail(line, error);
    timeline.AddTag(kTagPlaceObject2, std::move(*body));
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
