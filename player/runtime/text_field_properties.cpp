// TextField's properties: accessors on TextField.prototype, as the player defines them, so
// they are inherited by every field, listed by for..in and answer undefined on objects that
// are not text fields (new TextField()).
#include <algorithm>
#include <cmath>

#include "player/avm1/conversions.h"
#include "player/avm1/utf8.h"
#include "player/runtime/field_layout.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"
#include "player/runtime/tab_order.h"
#include "player/runtime/text_field_content.h"

namespace kestrel::runtime {

using avm1::Object;
using avm1::Value;
using avm1::Vm;
using player::EditText;
using player::TextAutoSize;

namespace {

TextFieldSettings* settingsOf(Object& self) {
    return textFieldSettingsOf(self);
}

// The field with its runs in step with its content, to be laid out.
EditText& Synced(EditText& f, TextFieldSettings& s) {
    FieldContent(f, s);
    return f;
}

Value colorValue(const player::Rgba& c) {
    return Value(static_cast<double>((c.r << 16) | (c.g << 8) | c.b));
}

player::Rgba colorFrom(Vm& vm, const Value& v) {
    auto rgb = static_cast<uint32_t>(avm1::toInt32(vm.toNumber(v)));
    return {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
            static_cast<uint8_t>(rgb), 255};
}

const char* autoSizeName(TextAutoSize a) {
    switch (a) {
        case TextAutoSize::Left:
            return "left";
        case TextAutoSize::Center:
            return "center";
        case TextAutoSize::Right:
            return "right";
        case TextAutoSize::None:
            break;
    }
    return "none";
}

// true means "left", false and unknown words "none".
TextAutoSize autoSizeFrom(Vm& vm, const Value& v) {
    if (v.isBoolean()) return v.asBoolean() ? TextAutoSize::Left : TextAutoSize::None;
    std::string s = vm.toString(v);
    if (s == "left") return TextAutoSize::Left;
    if (s == "center") return TextAutoSize::Center;
    if (s == "right") return TextAutoSize::Right;
    return TextAutoSize::None;
}

using FieldGetter = Value (*)(Vm&, Object&, EditText&);
using FieldSetter = void (*)(Vm&, Object&, EditText&, const Value&);

struct FieldProperty {
    const char* name;
    FieldGetter get;
    FieldSetter set;  // null: read-only
    int minVersion;   // older movies see a plain slot: undefined until assigned
};

Value getText(Vm&, Object&, EditText& f) {
    return Value(f.text());
}

Value number(double n) {
    return Value(n);
}

#define FLAG(field)                                                             \
    [](Vm&, Object&, EditText& f) -> Value { return Value(f.format().field); }, \
        [](Vm& vm, Object&, EditText& f, const Value& v) { f.format().field = vm.toBoolean(v); }

#define SETTING(member, toValue, fromValue)                                                  \
    [](Vm&, Object& self, EditText&) -> Value { return toValue(settingsOf(self)->member); }, \
        [](Vm& vm, Object& self, EditText&, const Value& v) {                                \
            settingsOf(self)->member = fromValue;                                            \
        }

// Listed in the order the player adds them; for..in shows the last added first.
const FieldProperty kFieldProperties[] = {
    {"gridFitType", SETTING(gridFitType, Value, vm.toString(v)), 8},
    {"antiAliasType", SETTING(antiAliasType, Value, vm.toString(v)), 8},
    {"thickness", SETTING(thickness, number, vm.toNumber(v)), 8},
    {"sharpness", SETTING(sharpness, number, vm.toNumber(v)), 8},
    {"filters",
     [](Vm& vm, Object& self, EditText&) -> Value {
         return Value(vm.newArray(settingsOf(self)->filters));
     },
     [](Vm&, Object& self, EditText&, const Value& v) {
         auto& filters = settingsOf(self)->filters;
         filters.clear();
         if (v.isObject()) filters = v.asObject()->elements();
     },
     8},
    {"scroll",
     [](Vm&, Object& self, EditText& f) -> Value {
         TextFieldSettings& s = *settingsOf(self);
         return Value(ScrollLines(Synced(f, s), s.scroll).scroll);
     },
     [](Vm& vm, Object& self, EditText& f, const Value& v) {
         TextFieldSettings& s = *settingsOf(self);
         s.scroll = ScrollLines(Synced(f, s), WantedScrollLine(vm.toNumber(v))).scroll;
         f.SetScroll(s.scroll);
     },
     0},
    {"maxscroll",
     [](Vm&, Object& self, EditText& f) -> Value {
         TextFieldSettings& s = *settingsOf(self);
         return Value(ScrollLines(Synced(f, s), s.scroll).maxScroll);
     },
     nullptr, 0},
    {"borderColor", [](Vm&, Object&, EditText& f) { return colorValue(f.format().borderColor); },
     [](Vm& vm, Object&, EditText& f, const Value& v) {
         f.format().borderColor = colorFrom(vm, v);
     },
     0},
    {"backgroundColor",
     [](Vm&, Object&, EditText& f) { return colorValue(f.format().backgroundColor); },
     [](Vm& vm, Object&, EditText& f, const Value& v) {
         f.format().backgroundColor = colorFrom(vm, v);
     },
     0},
    {"textColor", [](Vm&, Object&, EditText& f) { return colorValue(f.format().textColor); },
     [](Vm& vm, Object& self, EditText& f, const Value& v) {
         player::Rgba c = colorFrom(vm, v);
         f.format().textColor = c;
         TextFieldSettings* s = settingsOf(self);
         if (!s) return;
         // The colour goes to all of the text and to the text scripts put in later.
         TextFormat colour;
         colour.color = (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
         RichText& content = FieldContent(f, *s);
         if (content.Length() > 0) {
             content.ApplyFormat(0, content.Length(), colour);
             StoreFieldContent(f, *s);
         }
         s->newTextFormat.color = colour.color;
     },
     0},
    {"tabIndex", nullptr, nullptr, 0},  // shared with buttons and clips, below
    {"autoSize",
     [](Vm&, Object&, EditText& f) -> Value { return Value(autoSizeName(f.format().autoSize)); },
     [](Vm& vm, Object& self, EditText& f, const Value& v) {
         f.format().autoSize = autoSizeFrom(vm, v);
         ApplyAutoSize(Synced(f, *settingsOf(self)));
     },
     0},
    {"text", getText, nullptr, 0},  // setters that reach the player are added below
    {"type",
     [](Vm&, Object&, EditText& f) -> Value {
         return Value(f.format().readOnly ? "dynamic" : "input");
     },
     [](Vm& vm, Object&, EditText& f, const Value& v) {
         std::string s = vm.toString(v);
         if (s == "input" || s == "dynamic") f.format().readOnly = s == "dynamic";
     },
     0},
    {"htmlText", getText, nullptr, 0},
    {"variable", nullptr, nullptr, 0},
    {"hscroll", [](Vm&, Object&, EditText&) -> Value { return Value(0); },
     [](Vm&, Object&, EditText&, const Value&) {}, 0},
    {"maxhscroll", [](Vm&, Object&, EditText&) -> Value { return Value(0); }, nullptr, 0},
    {"maxChars",
     [](Vm&, Object&, EditText& f) -> Value {
         return f.format().maxLength > 0 ? Value(f.format().maxLength) : Value::null();
     },
     [](Vm& vm, Object&, EditText& f, const Value& v) {
         f.format().maxLength = v.isNullish() ? 0 : std::max(0, avm1::toInt32(vm.toNumber(v)));
     },
     0},
    {"embedFonts", FLAG(useOutlines), 0},
    {"html", FLAG(html), 0},
    {"border", FLAG(border), 0},
    {"background", FLAG(background), 0},
    {"wordWrap", FLAG(wordWrap), 0},
    {"password", FLAG(password), 0},
    {"multiline", FLAG(multiline), 0},
    {"selectable", FLAG(selectable), 0},
    {"length",
     [](Vm&, Object&, EditText& f) -> Value {
         return Value(static_cast<double>(avm1::utf8Length(f.text())));
     },
     nullptr, 0},
    {"bottomScroll",
     [](Vm&, Object& self, EditText& f) -> Value {
         TextFieldSettings& s = *settingsOf(self);
         return Value(ScrollLines(Synced(f, s), s.scroll).bottomScroll);
     },
     nullptr, 0},
    {"textWidth",
     [](Vm&, Object& self, EditText& f) -> Value {
         return Value(MeasureText(Synced(f, *settingsOf(self))).textWidth);
     },
     nullptr, 0},
    {"textHeight",
     [](Vm&, Object& self, EditText& f) -> Value {
         return Value(MeasureText(Synced(f, *settingsOf(self))).textHeight);
     },
     nullptr, 0},
    {"restrict",
     [](Vm&, Object& self, EditText&) -> Value {
         TextFieldSettings* s = settingsOf(self);
         return s->hasRestrict ? Value(s->restrict) : Value::null();
     },
     [](Vm& vm, Object& self, EditText&, const Value& v) {
         TextFieldSettings* s = settingsOf(self);
         s->hasRestrict = !v.isNullish();
         s->restrict = s->hasRestrict ? vm.toString(v) : std::string();
     },
     0},
    {"condenseWhite", SETTING(condenseWhite, Value, vm.toBoolean(v)), 0},
    {"mouseWheelEnabled", SETTING(mouseWheelEnabled, Value, vm.toBoolean(v)), 0},
    {"styleSheet", SETTING(styleSheet, Value, v), 0},
};

#undef FLAG
#undef SETTING

}  // namespace

void ScriptClasses::installTextFieldProperties() {
    MoviePlayer* player = &player_;
    for (const FieldProperty& p : kFieldProperties) {
        std::string name = p.name;
        int minVersion = p.minVersion;
        avm1::NativeGetter getter = [get = p.get, minVersion](Vm& vm, Object& self) -> Value {
            if (vm.swfVersion() < minVersion) return Value();
            EditText* f = textFieldOfSelf(self);
            return f && get ? get(vm, self, *f) : Value();
        };
        avm1::NativeSetter setter = [set = p.set, minVersion, name](Vm& vm, Object& self,
                                                                    const Value& v) {
            if (vm.swfVersion() < minVersion) {
                self.define(name, v);
                return;
            }
            if (EditText* f = textFieldOfSelf(self); f && set) set(vm, self, *f, v);
        };
        if (name == "text" || name == "htmlText") {
            bool html = name == "htmlText";
            // htmlText reads and writes markup only in html fields.
            setter = [player, html](Vm& vm, Object& self, const Value& v) {
                EditText* f = textFieldOfSelf(self);
                if (!f) return;
                TextFieldSettings& s = *settingsOf(self);
                RichText& content = FieldContent(*f, s);
                if (html && f->format().html)
                    ReadFieldHtml(*f, s, vm.toString(v), s.condenseWhite);
                else
                    content.SetPlainText(vm.toString(v), s.newTextFormat);
                StoreFieldContent(*f, s);
                player->textFieldChanged(*f);
            };
            getter = [player, html](Vm&, Object& self) -> Value {
                EditText* f = textFieldOfSelf(self);
                if (!f) return Value();
                player->syncBoundTextField(*f);
                if (html && f->format().html)
                    return Value(FieldContent(*f, *settingsOf(self)).ToHtml());
                return Value(f->text());
            };
        } else if (name == "tabIndex") {
            getter = TabIndexGetter();
            setter = TabIndexSetter(FieldTabIndex, minVersion);
        } else if (name == "variable") {
            getter = [](Vm&, Object& self) -> Value {
                EditText* f = textFieldOfSelf(self);
                if (!f) return Value();
                return f->variableName().empty() ? Value::null() : Value(f->variableName());
            };
            setter = [player](Vm& vm, Object& self, const Value& v) {
                EditText* f = textFieldOfSelf(self);
                if (!f) return;
                f->setVariableName(v.isNullish() ? std::string() : vm.toString(v));
                player->textFieldRebound(*f);
            };
        }
        textField_->defineNative(name, std::move(getter), std::move(setter), 0);
    }
}

}  // namespace kestrel::runtime
