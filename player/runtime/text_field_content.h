// The formatted text of a text field and the settings only scripts read back. The display
// object keeps the plain text (what is drawn and bound to variables) and the format of its
// first character; the runs of formats live here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "player/avm1/value.h"
#include "player/core/display_object.h"
#include "player/runtime/rich_text.h"
#include "player/runtime/text_format.h"
#include "player/runtime/text_metrics.h"

namespace kestrel::runtime {

struct TextFieldSettings {
    bool condenseWhite = false;
    bool mouseWheelEnabled = true;
    bool hasRestrict = false;  // restrict is null until set
    std::string restrict;
    std::string antiAliasType = "normal";
    std::string gridFitType = "pixel";
    double sharpness = 0, thickness = 0;
    avm1::Value styleSheet;
    std::vector<avm1::Value> filters;
    int scroll = 1;  // first line shown, from 1
    // The selection, kept while the field has no focus (replaceSel inserts there).
    size_t selectionBegin = 0, selectionEnd = 0;

    RichText content;
    TextFormat newTextFormat;  // the format of text scripts put in
    bool contentReady = false;
};

// The format a field starts with, from its definition; a field without a named font
// gets "Times New Roman", the player's default.
TextFormat DefaultFieldFormat(const player::EditTextDefinition& definition);

// Reads the definition's initial text (HTML in html fields) into the content.
void InitFieldContent(player::EditText& field, TextFieldSettings& settings);
// The content, started over in the new-text format when the field's text was changed
// from elsewhere (a bound variable); the field then draws and measures it in that format.
RichText& FieldContent(player::EditText& field, TextFieldSettings& settings);
// A bound variable's value: markup in html fields, plain text in others.
void SetFieldFromVariable(player::EditText& field, TextFieldSettings& settings,
                          const std::string& text);
// Reads markup into the content. Paragraphs without an ALIGN keep the field's alignment from
// SWF 8 on and are left-aligned before; the new-text format then takes the alignment the
// markup ends with (left when it holds no text).
void ReadFieldHtml(player::EditText& field, TextFieldSettings& settings, std::string_view html,
                   bool condenseWhite);
// Hands the content to the field: its plain text, the first character's format for
// drawing, and a new size when it sizes itself.
void StoreFieldContent(player::EditText& field, TextFieldSettings& settings);

}  // namespace kestrel::runtime
