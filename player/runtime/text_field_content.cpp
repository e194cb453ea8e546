#include "player/runtime/text_field_content.h"

#include <algorithm>

#include "player/core/movie_definition.h"
#include "player/core/stage.h"
#include "player/runtime/field_layout.h"

namespace kestrel::runtime {
namespace {

int32_t pixels(double twips) {
    return TruncateToInt32(twips / player::kTwipsPerPixel);
}

uint16_t twips(std::optional<int32_t> px, uint16_t otherwise) {
    if (!px) return otherwise;
    return static_cast<uint16_t>(std::clamp(*px, 0, 3276) * player::kTwipsPerPixel);
}

// How a run of the content is drawn; what a format leaves unset is the field's own.
player::TextRunFormat RunFormatOf(const TextFormat& f, const player::EditTextDefinition& d) {
    player::TextRunFormat run;
    run.fontName = f.font ? *f.font : d.fontName;
    run.bold = f.bold.value_or(d.fontBold);
    run.italic = f.italic.value_or(d.fontItalic);
    run.underline = f.underline.value_or(false);
    run.heightTwips = twips(f.size, d.fontHeight);
    run.color = d.textColor;
    if (f.color)
        run.color = {static_cast<uint8_t>(*f.color >> 16), static_cast<uint8_t>(*f.color >> 8),
                     static_cast<uint8_t>(*f.color), 255};
    run.align = f.align ? static_cast<uint8_t>(*f.align) : d.align;
    run.leftMargin = twips(f.leftMargin, d.leftMargin);
    run.rightMargin = twips(f.rightMargin, d.rightMargin);
    run.indent = f.indent ? std::clamp(*f.indent, -3276, 3276) * player::kTwipsPerPixel : d.indent;
    run.leading =
        f.leading ? std::clamp(*f.leading, -1000, 1000) * player::kTwipsPerPixel : d.leading;
    return run;
}

// The field draws and measures the content's runs in their formats.
void StoreRuns(player::EditText& field, const RichText& content) {
    std::vector<player::TextRun> runs;
    runs.reserve(content.Runs().size());
    for (const RichText::Run& run : content.Runs())
        runs.push_back(player::TextRun{run.length, RunFormatOf(run.format, field.format())});
    field.SetRuns(std::move(runs));
}

}  // namespace

TextFormat DefaultFieldFormat(const player::EditTextDefinition& d) {
    TextFormat f;
    f.font = d.fontName.empty() ? std::string("Times New Roman") : LimitFontName(d.fontName);
    f.size = pixels(d.fontHeight);
    f.color = (uint32_t{d.textColor.r} << 16) | (uint32_t{d.textColor.g} << 8) | d.textColor.b;
    // An html field's styles come from its markup, not from the font's style flags.
    f.bold = !d.html && d.fontBold;
    f.italic = !d.html && d.fontItalic;
    f.underline = f.bullet = f.kerning = false;
    f.url = f.target = std::string();
    f.align = static_cast<TextAlign>(std::min<uint8_t>(d.align, 3));
    f.leftMargin = pixels(d.leftMargin);
    f.rightMargin = pixels(d.rightMargin);
    f.indent = pixels(d.indent);
    f.leading = pixels(d.leading);
    f.blockIndent = 0;
    f.tabStops = std::vector<int32_t>();
    f.letterSpacing = 0.0;
    return f;
}

void InitFieldContent(player::EditText& field, TextFieldSettings& settings) {
    settings.newTextFormat = DefaultFieldFormat(field.format());
    if (field.format().html)
        ReadFieldHtml(field, settings, field.format().initialText, false);
    else
        settings.content.SetPlainText(field.format().initialText, settings.newTextFormat);
    settings.contentReady = true;
    StoreFieldContent(field, settings);
}

RichText& FieldContent(player::EditText& field, TextFieldSettings& settings) {
    if (!settings.contentReady || settings.content.PlainText() != field.text()) {
        settings.content.SetPlainText(field.text(), settings.newTextFormat);
        settings.contentReady = true;
        StoreRuns(field, settings.content);
    }
    return settings.content;
}

void SetFieldFromVariable(player::EditText& field, TextFieldSettings& settings,
                          const std::string& text) {
    RichText& content = FieldContent(field, settings);
    if (field.format().html)
        ReadFieldHtml(field, settings, text, settings.condenseWhite);
    else
        content.SetPlainText(text, settings.newTextFormat);
    StoreFieldContent(field, settings);
}

void ReadFieldHtml(player::EditText& field, TextFieldSettings& settings, std::string_view html,
                   bool condenseWhite) {
    TextFormat base = settings.newTextFormat;
    if (field.stage().movie().version() < 8) base.align = TextAlign::Left;
    settings.content.SetHtml(html, base, condenseWhite);
    if (!field.format().multiline) settings.content.RemoveBreaks();
    size_t length = settings.content.Length();
    settings.newTextFormat.align =
        length ? settings.content.FormatOf(length - 1, length - 1).align : TextAlign::Left;
}

void StoreFieldContent(player::EditText& field, TextFieldSettings& settings) {
    field.setText(settings.content.PlainText());
    TextFormat first = settings.content.FormatOf(0, 0);
    player::EditTextDefinition& d = field.format();
    if (first.size) d.fontHeight = twips(first.size, d.fontHeight);
    if (first.color)
        d.textColor = {static_cast<uint8_t>(*first.color >> 16),
                       static_cast<uint8_t>(*first.color >> 8), static_cast<uint8_t>(*first.color),
                       255};
    if (first.align) d.align = static_cast<uint8_t>(*first.align);
    // The font measured and drawn: the first character's.
    if (first.font) d.fontName = *first.font;
    if (first.bold) d.fontBold = *first.bold;
    if (first.italic) d.fontItalic = *first.italic;
    d.leftMargin = twips(first.leftMargin, d.leftMargin);
    d.rightMargin = twips(first.rightMargin, d.rightMargin);
    d.indent = twips(first.indent, d.indent);
    if (first.leading)
        d.leading =
            static_cast<int16_t>(std::clamp(*first.leading, -1000, 1000) * player::kTwipsPerPixel);
    StoreRuns(field, settings.content);
    ApplyAutoSize(field);
}

}  // namespace kestrel::runtime
