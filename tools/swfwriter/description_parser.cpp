#include "tools/swfwriter/description_parser.h"

#include <cmath>

#include "common/swf_format.h"
#include "tools/swfwriter/description.h"
#include "tools/swfwriter/place_object.h"

namespace swf {

bool ParseDescription(const std::string& text, MovieBuilder& movie, std::string& error) {
    std::vector<Line> lines;
    if (!TokenizeDescription(text, lines, error)) return false;
    return DescriptionParser(lines, movie).Run(error);
}

std::optional<Bytes> CompileDescription(const std::string& text, std::string& error) {
    MovieBuilder movie;
    if (!ParseDescription(text, movie, error)) return std::nullopt;
    return movie.Build(&error);
}

bool DescriptionParser::Run(std::string& error) {
    bool ok = ParseTimeline(movie_.Root(), true);
    if (!ok) error = error_;
    return ok;
}

bool DescriptionParser::Fail(const Line& line, const std::string& message) {
    return Fail(line, 0, message);
}

bool DescriptionParser::Fail(const Line& line, int column, const std::string& message) {
    if (error_.empty()) {
        error_ = "line " + std::to_string(line.number);
        if (column > 0) error_ += ", column " + std::to_string(column);
        error_ += ": " + message;
    }
    return false;
}

bool DescriptionParser::FailArgs(const ArgReader& args) {
    if (error_.empty()) error_ = args.error();
    return false;
}

const Line* DescriptionParser::NextLine(const Line& opener) {
    if (next_ >= lines_.size()) {
        Fail(opener, "'" + opener.tokens[0].text + "' has no matching 'end'");
        return nullptr;
    }
    const Line& line = lines_[next_++];
    if (line.tokens[0].IsWord("end") && line.tokens.size() > 1) {
        Fail(line, line.tokens[1].column, "unexpected '" + line.tokens[1].text + "'");
        return nullptr;
    }
    return &line;
}

bool DescriptionParser::CheckId(const Line& line, ArgReader& args, uint16_t& id) {
    int64_t v = 0;
    if (!args.Int(args.Positional(0), 1, 65535, v)) return FailArgs(args);
    id = static_cast<uint16_t>(v);
    return true;
}

bool DescriptionParser::ParseTimeline(Timeline& timeline, bool isRoot) {
    const Line* opener = isRoot ? nullptr : &lines_[next_ - 1];
    while (next_ < lines_.size()) {
        const Line& line = lines_[next_++];
        if (line.tokens[0].IsWord("end")) {
            if (isRoot) return Fail(line, "'end' without an open block");
            if (line.tokens.size() > 1) {
                return Fail(line, line.tokens[1].column,
                            "unexpected '" + line.tokens[1].text + "'");
            }
            return true;
        }
        if (!ParseTimelineStatement(line, timeline, isRoot)) return false;
    }
    if (!isRoot) return Fail(*opener, "'" + opener->tokens[0].text + "' has no matching 'end'");
    return true;
}

bool DescriptionParser::ParseTimelineStatement(const Line& line, Timeline& timeline, bool isRoot) {
    const Token& keyword = line.tokens[0];
    if (keyword.kind != Token::kWord) return Fail(line, keyword.column, "expected a statement");
    if (isRoot) {
        bool handled = false;
        if (!ParseHeaderStatement(line, handled)) return false;
        if (handled) return true;
    }
    const std::string& k = keyword.text;
    if (k == "showframe") return ParseShowFrame(line, timeline);
    if (k == "label") return ParseLabel(line, timeline);
    if (k == "remove") return ParseRemove(line, timeline);
    if (k == "tag") return ParseRawTag(line, timeline);
    if (k == "place" || k == "move" || k == "replace") return ParsePlace(line, timeline);
    if (k == "shape") return ParseShape(line, timeline);
    if (k == "morphshape") return ParseMorphShape(line, timeline);
    if (k == "bitmap") return ParseBitmap(line, timeline);
    if (k == "action") return ParseDoAction(line, timeline, false);
    if (k == "initaction") return ParseDoAction(line, timeline, true);
    if (k == "sprite") return ParseSprite(line, timeline);
    if (k == "export") return ParseExport(line, timeline);
    if (k == "edittext") return ParseEditText(line, timeline);
    if (k == "font") return ParseFont(line, timeline);
    if (k == "button") return ParseButton(line, timeline);
    static const char* const kHeaderWords[] = {"version",    "stage",      "rate",
                                               "compress",   "background", "fileattributes",
                                               "filelength", "framecount", "truncate"};
    for (const char* w : kHeaderWords) {
        if (k == w) return Fail(line, "'" + k + "' belongs to the movie, not inside a sprite");
    }
    return Fail(line, keyword.column, "unknown statement '" + k + "'");
}

bool DescriptionParser::ParseHeaderStatement(const Line& line, bool& handled) {
    const std::string& k = line.tokens[0].text;
    MovieHeader& h = movie_.Header();
    ArgReader args(line, 1);
    handled = true;
    if (k == "version") {
        int64_t v = 0;
        if (!args.Require(1, "version <1-255>") || !args.Int(args.Positional(0), 1, 255, v)) {
            return FailArgs(args);
        }
        h.version = static_cast<uint8_t>(v);
    } else if (k == "stage") {
        double w = 0, hgt = 0;
        if (!args.Require(2, "stage <width> <height> (pixels)") ||
            !args.Number(args.Positional(0), w) || !args.Number(args.Positional(1), hgt)) {
            return FailArgs(args);
        }
        if (std::fabs(w) > 1e7 || std::fabs(hgt) > 1e7) {
            return Fail(line, "stage size is out of range");
        }
        movie_.SetStageSize(w, hgt);
    } else if (k == "rate") {
        double r = 0;
        if (!args.Require(1, "rate <frames per second>") || !args.Number(args.Positional(0), r)) {
            return FailArgs(args);
        }
        if (!EncodeFrameRate(r)) return Fail(line, "frame rate must be between 0 and 255.99");
        h.frameRate = r;
    } else if (k == "compress") {
        if (!args.Require(1, "compress zlib|none")) return FailArgs(args);
        if (args.Flag("zlib")) {
            h.compression = Compression::kZlib;
        } else if (args.Flag("none")) {
            h.compression = Compression::kNone;
        } else {
            return Fail(line, "usage: compress zlib|none");
        }
    } else if (k == "background") {
        Rgba c;
        if (!args.Require(1, "background #RRGGBB") || !args.Color(args.Positional(0), c)) {
            return FailArgs(args);
        }
        movie_.SetBackgroundColor(c);
    } else if (k == "fileattributes") {
        uint32_t flags = (args.Flag("directblit") ? 0x40 : 0) | (args.Flag("gpu") ? 0x20 : 0) |
                         (args.Flag("metadata") ? 0x10 : 0) | (args.Flag("as3") ? 0x08 : 0) |
                         (args.Flag("network") ? 0x01 : 0);
        if (!args.Finish()) return FailArgs(args);
        ByteWriter w;
        w.U32(flags);
        movie_.Root().AddTag(kTagFileAttributes, w.Take());
    } else if (k == "filelength") {
        int64_t v = 0;
        if (!args.Require(1, "filelength <bytes>") ||
            !args.Int(args.Positional(0), 0, 0xFFFFFFFFll, v)) {
            return FailArgs(args);
        }
        h.fileLengthOverride = static_cast<uint32_t>(v);
    } else if (k == "framecount") {
        int64_t v = 0;
        if (!args.Require(1, "framecount <n>") || !args.Int(args.Positional(0), 0, 65535, v)) {
            return FailArgs(args);
        }
        h.frameCountOverride = static_cast<uint16_t>(v);
    } else if (k == "truncate") {
        int64_t v = 0;
        if (!args.Require(1, "truncate <bytes>") ||
            !args.Int(args.Positional(0), 0, 0xFFFFFFFFll, v)) {
            return FailArgs(args);
        }
        h.truncateTo = static_cast<size_t>(v);
    } else {
        handled = false;
        return true;
    }
    return args.Finish() || FailArgs(args);
}

bool DescriptionParser::ParseShowFrame(const Line& line, Timeline& timeline) {
    ArgReader args(line, 1);
    int64_t count = 1;
    if (!args.Int(args.Positional(0), 1, 65535, count) || !args.Finish()) return FailArgs(args);
    if (timeline.ShowFrameCount() + count > 0xFFFF) {
        return Fail(line, "a timeline holds at most 65535 frames");
    }
    for (int64_t i = 0; i < count; ++i) timeline.ShowFrame();
    return true;
}

bool DescriptionParser::ParseLabel(const Line& line, Timeline& timeline) {
    ArgReader args(line, 1);
    std::string name;
    if (!args.Require(1, "label \"name\" [anchor]") || !args.Text(args.Positional(0), name)) {
        return FailArgs(args);
    }
    bool anchor = args.Flag("anchor");
    if (!args.Finish()) return FailArgs(args);
    timeline.FrameLabel(name, anchor);
    return true;
}

bool DescriptionParser::ParseRemove(const Line& line, Timeline& timeline) {
    ArgReader args(line, 1);
    int64_t depth = 0, character = -1;
    if (!args.Require(1, "remove <depth> [character=<id>]") ||
        !args.Int(args.Positional(0), 1, 65535, depth) ||
        !args.IntOption("character", 0, 65535, character) || !args.Finish()) {
        return FailArgs(args);
    }
    if (character >= 0) {  // the first RemoveObject form names the character too
        timeline.AddTag(kTagRemoveObject, EncodeRemoveObject(static_cast<uint16_t>(character),
                                                             static_cast<uint16_t>(depth)));
    } else {
        timeline.RemoveObject(static_cast<uint16_t>(depth));
    }
    return true;
}

// tag <code> [long] [hex bytes...]: any tag, as written, for malformed-input tests.
bool DescriptionParser::ParseRawTag(const Line& line, Timeline& timeline) {
    const std::vector<Token>& t = line.tokens;
    if (t.size() < 2) return Fail(line, "usage: tag <code> [long] [hex bytes...]");
    int64_t code = 0;
    if (t[1].kind != Token::kWord || !ParseInteger(t[1].text, code) || code < 0 || code > 1023) {
        return Fail(line, t[1].column, "tag code must be between 0 and 1023");
    }
    size_t i = 2;
    bool forceLong = false;
    if (i < t.size() && t[i].IsWord("long")) {
        forceLong = true;
        ++i;
    }
    Bytes body;
    for (; i < t.size(); ++i) {
        if (t[i].kind == Token::kPunct && t[i].IsPunct(',')) continue;
        const std::string& h = t[i].text;
        if (t[i].kind != Token::kWord || h.size() % 2 != 0 ||
            h.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            return Fail(line, t[i].column, "raw bytes are written as hex pairs, e.g. 0a ff 1234");
        }
        for (size_t j = 0; j < h.size(); j += 2) {
            body.push_back(static_cast<uint8_t>(std::stoul(h.substr(j, 2), nullptr, 16)));
        }
    }
    timeline.AddTag(static_cast<uint16_t>(code), std::move(body), forceLong);
    return true;
}

}  // namespace swf
