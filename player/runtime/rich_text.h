// The text of a field with its formats: characters (UTF-16 units, as scripts count them)
// in runs of one format each. Paragraphs end at "\r"; the paragraph settings of a format
// (align, margins, indents, leading, tab stops, bullet) are kept the same for every
// character of a paragraph, as the player keeps them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "player/runtime/text_format.h"

namespace kestrel::runtime {

class RichText {
  public:
    struct Run {
        size_t length = 0;
        TextFormat format;
    };

    // All of `text` in one format; "\r\n" and "\n" become "\r".
    void SetPlainText(std::string_view utf8, const TextFormat& format);
    // Reads HTML as the player's htmlText does. `base` is the format of text outside any
    // tag; condenseWhite folds runs of white space (line breaks included) into one space.
    void SetHtml(std::string_view html, const TextFormat& base, bool condenseWhite);

    std::string PlainText() const;  // UTF-8
    // Drops every line break (what a single-line field makes of HTML paragraphs).
    void RemoveBreaks();
    size_t Length() const { return text_.size(); }
    const std::vector<Run>& Runs() const { return runs_; }

    // Replaces [begin, end) with `utf8` in `format` (indices clamped to the text).
    void Replace(size_t begin, size_t end, std::string_view utf8, const TextFormat& format);
    // Sets the fields `format` sets on [begin, end); paragraph settings reach every
    // paragraph the range touches.
    void ApplyFormat(size_t begin, size_t end, const TextFormat& format);
    // What [begin, end) has in common; an empty range gives the format of the character at
    // `begin` (or the last one).
    TextFormat FormatOf(size_t begin, size_t end) const;

    // htmlText as the player writes it: one TEXTFORMAT and P (or LI) per paragraph, FONT
    // elements opened for each change of font settings and closed when an outer one matches.
    std::string ToHtml() const;

  private:
    void SplitAt(size_t position);
    void MergeRuns();
    void EvenParagraphs();

    std::u32string text_;     // UTF-16 units
    TextFormat emptyFormat_;  // the format of an empty text
    std::vector<Run> runs_;
};

// The paragraph part of a format (what every character of a paragraph shares).
void CopyParagraphSettings(const TextFormat& from, TextFormat& to);

}  // namespace kestrel::runtime
