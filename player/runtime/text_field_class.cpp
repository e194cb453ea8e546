// TextField: the text property, variable binding and the format flags scripts set.
#include <cmath>

#include "player/avm1/conversions.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

using BoolField = bool player::EditTextDefinition::*;

// Rough metrics of the device font: enough for scripts that size fields to their text.
double approximateTextWidth(const player::EditText& field) {
    double em = field.format().fontHeight / player::kTwipsPerPixel;
    double widest = 0, line = 0;
    for (char c : field.text()) {
        if (c == '\r' || c == '\n') {
            widest = std::max(widest, line);
            line = 0;
        } else {
            line += em * 0.55;
        }
    }
    return std::floor(std::max(widest, line));
}

}  // namespace

void ScriptClasses::installTextProperties(Object* object, player::DisplayObject&) {
    MoviePlayer* player = &player_;
    auto textProperty = [](Vm&, Object& self) -> Value {
        player::EditText* f = textFieldOfSelf(self);
        return f ? Value(f->text()) : Value();
    };
    auto setText = [player](Vm& vm, Object& self, const Value& v) {
        player::EditText* f = textFieldOfSelf(self);
        if (!f) return;
        f->setText(vm.toString(v));
        player->textFieldChanged(*f);
    };
    object->defineNative("text", textProperty, setText);
    object->defineNative("htmlText", textProperty, setText);
    object->defineNative(
        "variable",
        [](Vm&, Object& self) -> Value {
            player::EditText* f = textFieldOfSelf(self);
            if (!f || f->variableName().empty()) return Value::null();
            return Value(f->variableName());
        },
        [player](Vm& vm, Object& self, const Value& v) {
            player::EditText* f = textFieldOfSelf(self);
            if (!f) return;
            f->setVariableName(v.isNullish() ? std::string() : vm.toString(v));
            player->refreshBoundTextFields();
        });
    object->defineNative(
        "length",
        [](Vm&, Object& self) -> Value {
            player::EditText* f = textFieldOfSelf(self);
            return f ? Value(static_cast<double>(f->text().size())) : Value();
        },
        nullptr);
    object->defineNative(
        "textWidth",
        [](Vm&, Object& self) -> Value {
            player::EditText* f = textFieldOfSelf(self);
            return f ? Value(approximateTextWidth(*f)) : Value();
        },
        nullptr);
    object->defineNative(
        "textHeight",
        [](Vm&, Object& self) -> Value {
            player::EditText* f = textFieldOfSelf(self);
            return f ? Value(f->format().fontHeight / player::kTwipsPerPixel) : Value();
        },
        nullptr);
    object->defineNative(
        "textColor",
        [](Vm&, Object& self) -> Value {
            player::EditText* f = textFieldOfSelf(self);
            if (!f) return Value();
            const player::Rgba& c = f->format().textColor;
            return Value(static_cast<double>((c.r << 16) | (c.g << 8) | c.b));
        },
        [](Vm& vm, Object& self, const Value& v) {
            player::EditText* f = textFieldOfSelf(self);
            if (!f) return;
            uint32_t rgb = static_cast<uint32_t>(avm1::toInt32(vm.toNumber(v)));
            f->format().textColor = {static_cast<uint8_t>(rgb >> 16),
                                     static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb),
                                     255};
        });
    auto flag = [&](const char* name, BoolField field) {
        object->defineNative(
            name,
            [field](Vm&, Object& self) -> Value {
                player::EditText* f = textFieldOfSelf(self);
                return f ? Value(f->format().*field) : Value();
            },
            [field](Vm& vm, Object& self, const Value& v) {
                if (player::EditText* f = textFieldOfSelf(self))
                    f->format().*field = vm.toBoolean(v);
            });
    };
    flag("border", &player::EditTextDefinition::border);
    flag("multiline", &player::EditTextDefinition::multiline);
    flag("wordWrap", &player::EditTextDefinition::wordWrap);
    flag("selectable", &player::EditTextDefinition::selectable);
    flag("html", &player::EditTextDefinition::html);
    flag("password", &player::EditTextDefinition::password);
    object->defineNative(
        "type",
        [](Vm&, Object& self) -> Value {
            player::EditText* f = textFieldOfSelf(self);
            if (!f) return Value();
            return Value(f->format().readOnly ? "dynamic" : "input");
        },
        [](Vm& vm, Object& self, const Value& v) {
            if (player::EditText* f = textFieldOfSelf(self))
                f->format().readOnly = vm.toString(v) != "input";
        });
    object->defineNative(
        "autoSize",
        [](Vm&, Object& self) -> Value {
            player::EditText* f = textFieldOfSelf(self);
            if (!f) return Value();
            return Value(f->format().autoSize ? "left" : "none");
        },
        [](Vm& vm, Object& self, const Value& v) {
            player::EditText* f = textFieldOfSelf(self);
            if (!f) return;
            std::string s = v.isBoolean() ? (v.asBoolean() ? "left" : "none") : vm.toString(v);
            f->format().autoSize = s != "none" && s != "false";
        });
    object->defineNative(
        "maxChars",
        [](Vm&, Object& self) -> Value {
            player::EditText* f = textFieldOfSelf(self);
            if (!f) return Value();
            return f->format().maxLength > 0 ? Value(f->format().maxLength) : Value::null();
        },
        [](Vm& vm, Object& self, const Value& v) {
            if (player::EditText* f = textFieldOfSelf(self))
                f->format().maxLength = v.isNullish() ? 0 : avm1::toInt32(vm.toNumber(v));
        });
    for (const char* name : {"scroll", "maxscroll", "hscroll", "maxhscroll", "bottomScroll"})
        object->defineNative(
            name, [](Vm&, Object&) -> Value { return Value(1); }, nullptr);
}

void ScriptClasses::installTextField() {
    textField_ = vm_.newObject();
    makeClass(vm_, "TextField", textField_, nullptr);
    Object* p = textField_;
    vm_.defineMethod(p, "getDepth", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        player::DisplayObject* d = self ? displayOf(*self) : nullptr;
        return d ? Value(d->depth()) : Value();
    });
    vm_.defineMethod(p, "removeTextField", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        player::DisplayObject* d = self ? displayOf(*self) : nullptr;
        if (d && d->parent()) d->parent()->removeChildByScript(*d);
        return Value();
    });
    vm_.defineMethod(p, "replaceSel", [player = &player_](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        player::EditText* f = self ? textFieldOfSelf(*self) : nullptr;
        if (!f) return Value();
        f->setText(f->text() + call.vm.toString(call.arg(0)));
        player->textFieldChanged(*f);
        return Value();
    });
    // Formatting is drawn from the field's own settings; TextFormat objects are accepted.
    vm_.defineMethod(p, "getTextFormat", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        player::EditText* f = self ? textFieldOfSelf(*self) : nullptr;
        Object* format = call.vm.newObject();
        if (f) {
            const player::Rgba& c = f->format().textColor;
            format->define("color", Value(static_cast<double>((c.r << 16) | (c.g << 8) | c.b)));
            format->define("size", Value(f->format().fontHeight / player::kTwipsPerPixel));
        }
        return Value(format);
    });
    for (const char* name : {"setTextFormat", "setNewTextFormat"})
        vm_.defineMethod(p, name, [](NativeCall& call) -> Value {
            Object* self = call.thisObject();
            player::EditText* f = self ? textFieldOfSelf(*self) : nullptr;
            Value format = call.arg(call.args.size() > 0 ? call.args.size() - 1 : 0);
            if (!f || !format.isObject()) return Value();
            Value color = call.vm.getMember(format, "color");
            if (!color.isNullish()) {
                uint32_t rgb = static_cast<uint32_t>(avm1::toInt32(call.vm.toNumber(color)));
                f->format().textColor = {static_cast<uint8_t>(rgb >> 16),
                                         static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb),
                                         255};
            }
            Value size = call.vm.getMember(format, "size");
            if (!size.isNullish()) {
                double px = call.vm.toNumber(size);
                if (px > 0 && px < 1000)
                    f->format().fontHeight = static_cast<uint16_t>(px * player::kTwipsPerPixel);
            }
            return Value();
        });
    makeClass(vm_, "TextFormat", vm_.newObject(), [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        static const char* const kNames[] = {
            "font",   "size",  "color",      "bold",        "italic", "underline", "url",
            "target", "align", "leftMargin", "rightMargin", "indent", "leading"};
        if (self)
            for (size_t i = 0; i < call.args.size() && i < std::size(kNames); ++i)
                self->define(kNames[i], call.args[i]);
        return Value();
    });
}

}  // namespace kestrel::runtime
