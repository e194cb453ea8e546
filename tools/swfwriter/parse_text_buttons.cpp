// Text fields, device fonts and buttons in the description format.
#include <cmath>

#include "common/swf_format.h"
#include "tools/swfwriter/description_parser.h"
#include "tools/swfwriter/text_and_buttons.h"

namespace swf {

bool DescriptionParser::ParseEditText(const Line& line, Timeline& timeline) {
    ArgReader args(line, 1);
    uint16_t id = 0;
    if (!args.Require(5, "edittext <id> <x> <y> <width> <height> [options]") ||
        !CheckId(line, args, id)) {
        return FailArgs(args);
    }
    double box[4];
    for (size_t i = 0; i < 4; ++i) {
        if (!args.Number(args.Positional(i + 1), box[i])) return FailArgs(args);
        if (std::fabs(box[i]) > 1e7) return Fail(line, "text field bounds out of range");
    }
    EditText t;
    t.bounds = Rect{Twips(box[0]), Twips(box[0] + box[2]), Twips(box[1]), Twips(box[1] + box[3])};

    int64_t v = 0;
    if (args.Has("font")) {
        if (!args.IntOption("font", 1, 65535, v)) return FailArgs(args);
        t.fontId = static_cast<uint16_t>(v);
    }
    if (const Arg* size = args.Option("size")) {
        if (!t.fontId) return Fail(line, size->column, "size= needs font=");
        double px = 0;
        if (!args.Number(size, px)) return FailArgs(args);
        if (px < 0 || px > 3276) return Fail(line, size->column, "size lies within 0..3276 pixels");
        t.fontHeight = static_cast<uint16_t>(Twips(px));
    }
    if (args.Has("color")) {
        Rgba c;
        if (!args.Color(args.Option("color"), c)) return FailArgs(args);
        t.color = c;
    }
    if (args.Has("maxlength")) {
        if (!args.IntOption("maxlength", 0, 65535, v)) return FailArgs(args);
        t.maxLength = static_cast<uint16_t>(v);
    }
    if (!args.TextOption("var", t.variableName)) return FailArgs(args);
    if (args.Has("text")) {
        std::string text;
        if (!args.TextOption("text", text)) return FailArgs(args);
        t.initialText = text;
    }

    TextLayout layout;
    bool hasLayout = false;
    if (const Arg* a = args.Option("align")) {
        static const struct {
            const char* name;
            TextAlign align;
        } kAligns[] = {{"left", TextAlign::kLeft},
                       {"right", TextAlign::kRight},
                       {"center", TextAlign::kCenter},
                       {"justify", TextAlign::kJustify}};
        bool known = false;
        for (const auto& k : kAligns) {
            if (a->values.size() == 1 && a->values[0].IsWord(k.name)) {
                layout.align = k.align;
                known = true;
            }
        }
        if (!known) return Fail(line, a->column, "align is left, right, center or justify");
        hasLayout = true;
    }
    if (const Arg* a = args.Option("margins")) {
        std::vector<double> n;
        if (!args.Numbers(a, 2, n)) return FailArgs(args);
        for (double m : n) {
            if (m < 0 || m > 3276) return Fail(line, a->column, "margins lie within 0..3276");
        }
        layout.leftMargin = static_cast<uint16_t>(Twips(n[0]));
        layout.rightMargin = static_cast<uint16_t>(Twips(n[1]));
        hasLayout = true;
    }
    double indent = 0, leading = 0;
    if (args.Has("indent") || args.Has("leading")) hasLayout = true;
    if (!args.NumberOption("indent", indent) || !args.NumberOption("leading", leading)) {
        return FailArgs(args);
    }
    if (indent < 0 || indent > 3276 || std::fabs(leading) > 1638) {
        return Fail(line, "indent or leading out of range");
    }
    layout.indent = static_cast<uint16_t>(Twips(indent));
    layout.leading = static_cast<int16_t>(Twips(leading));
    if (hasLayout) t.layout = layout;

    t.readOnly = args.Flag("readonly");
    t.multiline = args.Flag("multiline");
    t.wordWrap = args.Flag("wordwrap");
    t.html = args.Flag("html");
    t.border = args.Flag("border");
    t.password = args.Flag("password");
    t.noSelect = args.Flag("noselect");
    t.autoSize = args.Flag("autosize");
    t.wasStatic = args.Flag("wasstatic");
    t.useOutlines = args.Flag("outlines");
    if (!args.Finish()) return FailArgs(args);
    timeline.AddTag(kTagDefineEditText, EncodeDefineEditText(id, t));
    return true;
}

bool DescriptionParser::ParseFont(const Line& line, Timeline& timeline) {
    ArgReader args(line, 1);
    uint16_t id = 0;
    std::string name;
    if (!args.Require(2, "font <id> \"name\" [bold] [italic]") || !CheckId(line, args, id) ||
        !args.Text(args.Positional(1), name)) {
        return FailArgs(args);
    }
    if (name.size() > 255) return Fail(line, "font names hold at most 255 bytes");
    bool bold = args.Flag("bold"), italic = args.Flag("italic");
    if (!args.Finish()) return FailArgs(args);
    timeline.AddTag(kTagDefineFont2, EncodeDeviceFont(id, name, bold, italic));
    return true;
}

bool DescriptionParser::ParseButton(const Line& line, Timeline& timeline) {
    ArgReader head(line, 1);
    uint16_t id = 0;
    Button button;
    if (!head.Require(1, "button <id> [menu]") || !CheckId(line, head, id)) return FailArgs(head);
    button.trackAsMenu = head.Flag("menu");
    if (!head.Finish()) return FailArgs(head);

    for (;;) {
        const Line* l = NextLine(line);
        if (!l) return false;
        const Token& k = l->tokens[0];
        if (k.IsWord("end")) break;
        ArgReader args(*l, 1);
        if (k.IsWord("state")) {
            ButtonRecord r;
            const Arg* states = args.Positional(0);
            if (!states || !args.Require(2, "state <up,over,down,hit> <character> depth=<n> ...")) {
                return Fail(*l, "usage: state <up,over,down,hit> <character> depth=<n> ...");
            }
            for (const Token& s : states->values) {
                uint8_t bit = s.IsWord("up")     ? kButtonUp
                              : s.IsWord("over") ? kButtonOver
                              : s.IsWord("down") ? kButtonDown
                              : s.IsWord("hit")  ? kButtonHitTest
                                                 : 0;
                if (!bit) return Fail(*l, s.column, "button states are up, over, down and hit");
                r.states |= bit;
            }
            int64_t v = 0;
            if (!args.Int(args.Positional(1), 1, 65535, v)) return FailArgs(args);
            r.characterId = static_cast<uint16_t>(v);
            if (!args.Has("depth")) return Fail(*l, "'state' needs depth=<n>");
            if (!args.IntOption("depth", 1, 65535, v)) return FailArgs(args);
            r.depth = static_cast<uint16_t>(v);
            std::optional<Matrix> m;
            std::optional<ColorTransform> cx;
            if (!ReadTransformOptions(args, m, cx) || !args.Finish()) return FailArgs(args);
            if (m) r.matrix = *m;
            if (cx) r.colorTransform = *cx;
            button.records.push_back(r);
        } else if (k.IsWord("on")) {
            ButtonAction action;
            const Arg* events = args.Positional(0);
            if (!events) return Fail(*l, "usage: on <condition>[,<condition>...] [key=<code>]");
            for (const Token& e : events->values) {
                if (e.IsWord("keyPress")) continue;  // the key= option carries it
                std::optional<uint16_t> c = ButtonConditionByName(e.text);
                if (!c) return Fail(*l, e.column, "unknown button condition '" + e.text + "'");
                action.conditions |= *c;
            }
            if (args.Has("key")) {
                int64_t key = 0;
                if (!args.IntOption("key", 1, 127, key)) return FailArgs(args);
                action.conditions |= ButtonKeyCondition(static_cast<uint8_t>(key));
            }
            if (!args.Finish()) return FailArgs(args);
            if (action.conditions == 0) return Fail(*l, "the handler has no condition");
            if (!ParseActionBlock(*l, action.actions)) return false;
            button.actions.push_back(std::move(action));
        } else {
            return Fail(*l, k.column, "a button holds 'state' lines and 'on' blocks");
        }
    }
    std::string error;
    std::optional<Bytes> body = EncodeDefineButton2(id, button, &error);
    if (!body) return Fail(line, error);
    timeline.AddTag(kTagDefineButton2, std::move(*body));
    return true;
}

}  // namespace swf
