// Reads the lines of a description into a MovieBuilder; one method per statement.
#pragma once

#include <string>
#include <vector>

#include "tools/swfwriter/description_lexer.h"
#include "tools/swfwriter/movie_builder.h"
#include "tools/swfwriter/parse_args.h"
#include "tools/swfwriter/shape.h"

namespace swf {

class ActionAssembler;
struct PlaceObject;

class DescriptionParser {
  public:
    DescriptionParser(const std::vector<Line>& lines, MovieBuilder& movie)
        : lines_(lines), movie_(movie) {}

    bool Run(std::string& error);

  private:
    // Statements of a timeline until "end" (sprites) or the end of the text (the movie).
    bool ParseTimeline(Timeline& timeline, bool isRoot);
    bool ParseTimelineStatement(const Line& line, Timeline& timeline, bool isRoot);
    bool ParseHeaderStatement(const Line& line, bool& handled);

    bool ParseShowFrame(const Line& line, Timeline& timeline);
    bool ParseLabel(const Line& line, Timeline& timeline);
    bool ParseRemove(const Line& line, Timeline& timeline);
    bool ParseRawTag(const Line& line, Timeline& timeline);
    bool ParsePlace(const Line& line, Timeline& timeline);
    bool ParseShape(const Line& line, Timeline& timeline);
    // A shape's statements from the line after `opener` to its "end".
    bool ParseShapeBody(const Line& opener, Shape& shape);
    bool ParseMorphShape(const Line& line, Timeline& timeline);
    bool ParseBitmap(const Line& line, Timeline& timeline);
    bool ParseSprite(const Line& line, Timeline& timeline);
    bool ParseExport(const Line& line, Timeline& timeline);
    bool ParseEditText(const Line& line, Timeline& timeline);
    bool ParseFont(const Line& line, Timeline& timeline);
    bool ParseButton(const Line& line, Timeline& timeline);
    bool ParseDoAction(const Line& line, Timeline& timeline, bool init);
    // "on <events>" blocks after a "place ... actions" line, up to the closing "end".
    bool ParseClipActions(const Line& opener, PlaceObject& place);

    // Assembles action lines up to the matching "end" (consumed).
    bool ParseActionBlock(const Line& opener, Bytes& out);
    bool ParseActionLines(ActionAssembler& as, const Line& opener);
    bool ParseActionStatement(const Line& line, ActionAssembler& as, bool& blockEnds);
    bool ParsePush(const Line& line, ActionAssembler& as);
    bool ParseFunction(const Line& line, ActionAssembler& as, bool two);
    bool ParseTry(const Line& line, ActionAssembler& as);

    // The next line, or no line (with an error naming `opener`) at the end of the text.
    const Line* NextLine(const Line& opener);
    bool Fail(const Line& line, const std::string& message);
    bool Fail(const Line& line, int column, const std::string& message);
    bool FailArgs(const ArgReader& args);
    bool CheckId(const Line& line, ArgReader& args, uint16_t& id);

    const std::vector<Line>& lines_;
    MovieBuilder& movie_;
    size_t next_ = 0;
    std::string error_;
    // The last constant pool written in the current action block, for c:"text" operands.
    std::vector<std::string> constants_;
    // Pixels of all generated bitmaps so far; a budget keeps one description cheap.
    uint64_t bitmapPixels_ = 0;
};

}  // namespace swf
