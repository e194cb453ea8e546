// TextField: the class and its methods; the properties are in text_field_properties.cpp.
#include <cmath>

#include "player/avm1/conversions.h"
#include "player/avm1/utf8.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"
#include "player/runtime/text_metrics.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

// A method that movies older than `minVersion` do not see; assigning to it there makes an
// ordinary member.
void defineVersionedMethod(Vm& vm, Object* proto, const char* name, int minVersion,
                           avm1::NativeFunction fn) {
    Value method(vm.newNativeFunction(std::move(fn)));
    std::string key = name;
    proto->defineNative(
        name,
        [method, minVersion](Vm& vm, Object&) -> Value {
            return vm.swfVersion() >= minVersion ? method : Value();
        },
        [key](Vm&, Object& self, const Value& v) { self.define(key, v); }, avm1::kDontEnum);
}

}  // namespace

void ScriptClasses::installTextField() {
    textField_ = vm_.newObject();
    makeClass(vm_, "TextField", textField_, nullptr);
    installTextFieldProperties();
    Object* p = textField_;
    vm_.defineMethod(p, "getDepth", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        player::DisplayObject* d = self ? displayOf(*self) : nullptr;
        return d ? Value(d->depth()) : Value();
    });
    vm_.defineMethod(p, "removeTextField", [this](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        player::DisplayObject* d = self ? displayOf(*self) : nullptr;
        if (d && d->parent()) d->parent()->removeChildByScript(*d);
        focusMayHaveGone();
        return Value();
    });
    MoviePlayer* player = &player_;
    // replaceSel: the text replaces the selection (or goes in at the caret) in the new-text
    // format, and the caret follows it.
    vm_.defineMethod(p, "replaceSel", [player](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        player::EditText* f = self ? textFieldOfSelf(*self) : nullptr;
        if (!f) return Value();
        TextFieldSettings& s = *textFieldSettingsOf(*self);
        RichText& content = FieldContent(*f, s);
        size_t begin = std::min(s.selectionBegin, content.Length());
        size_t end = std::min(std::max(begin, s.selectionEnd), content.Length());
        std::string text = call.vm.toString(call.arg(0));
        size_t before = content.Length() - (end - begin);
        content.Replace(begin, end, text, s.newTextFormat);
        s.selectionBegin = s.selectionEnd = begin + (content.Length() - before);
        StoreFieldContent(*f, s);
        player->textFieldChanged(*f);
        return Value();
    });
    // replaceText(begin, end, text): the range is in characters and clamped to the text; the
    // new text takes the format of the first character it replaces.
    defineVersionedMethod(vm_, p, "replaceText", 7, [player](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        player::EditText* f = self ? textFieldOfSelf(*self) : nullptr;
        if (!f || call.args.size() < 3) return Value();
        TextFieldSettings& s = *textFieldSettingsOf(*self);
        RichText& content = FieldContent(*f, s);
        auto index = [&](const Value& v) {
            double n = call.vm.toNumber(v);
            if (std::isnan(n) || n < 0) return size_t{0};
            return static_cast<size_t>(std::min<double>(n, static_cast<double>(content.Length())));
        };
        size_t begin = index(call.arg(0)), end = index(call.arg(1));
        if (end < begin) return Value();
        TextFormat format = content.Length() ? content.FormatOf(begin, begin) : s.newTextFormat;
        content.Replace(begin, end, call.vm.toString(call.arg(2)), format);
        StoreFieldContent(*f, s);
        player->textFieldChanged(*f);
        return Value();
    });
    // getTextFormat(), (index) or (begin, end): what the characters have in common.
    vm_.defineMethod(p, "getTextFormat", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        player::EditText* f = self ? textFieldOfSelf(*self) : nullptr;
        if (!f) return Value();
        RichText& content = FieldContent(*f, *textFieldSettingsOf(*self));
        size_t length = content.Length();
        auto index = [&](const Value& v, size_t otherwise) {
            if (v.isUndefined()) return otherwise;
            double n = call.vm.toNumber(v);
            if (std::isnan(n) || n < 0) return size_t{0};
            return static_cast<size_t>(std::min<double>(n, static_cast<double>(length)));
        };
        size_t begin = index(call.arg(0), 0);
        size_t end = index(call.arg(1), call.args.empty() ? length : begin + 1);
        return Value(NewTextFormatObject(call.vm, content.FormatOf(begin, end)));
    });
    vm_.defineMethod(p, "getNewTextFormat", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        TextFieldSettings* s = self ? textFieldSettingsOf(*self) : nullptr;
        return s ? Value(NewTextFormatObject(call.vm, s->newTextFormat)) : Value();
    });
    // setTextFormat(format), (index, format) or (begin, end, format).
    vm_.defineMethod(p, "setTextFormat", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        player::EditText* f = self ? textFieldOfSelf(*self) : nullptr;
        if (!f || call.args.empty()) return Value();
        std::optional<TextFormat> format = TextFormatOfValue(call.args.back());
        if (!format) return Value();
        TextFieldSettings& s = *textFieldSettingsOf(*self);
        RichText& content = FieldContent(*f, s);
        size_t length = content.Length();
        auto index = [&](const Value& v) {
            double n = call.vm.toNumber(v);
            if (std::isnan(n) || n < 0) return size_t{0};
            return static_cast<size_t>(std::min<double>(n, static_cast<double>(length)));
        };
        size_t begin = 0, end = length;
        if (call.args.size() == 2) {
            begin = index(call.args[0]);
            end = begin + 1;
        } else if (call.args.size() >= 3) {
            begin = index(call.args[0]);
            end = index(call.args[1]);
        }
        if (end <= begin && length > 0) return Value();
        content.ApplyFormat(begin, end, *format);
        StoreFieldContent(*f, s);
        return Value();
    });
    vm_.defineMethod(p, "setNewTextFormat", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        TextFieldSettings* s = self ? textFieldSettingsOf(*self) : nullptr;
        std::optional<TextFormat> format = TextFormatOfValue(call.arg(0));
        if (s && format) format->MergeInto(s->newTextFormat);
        return Value();
    });
}

}  // namespace kestrel::runtime
