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
    // replaceText(begin, end, text): the range is in characters and clamped to the text.
    defineVersionedMethod(vm_, p, "replaceText", 7, [player = &player_](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        player::EditText* f = self ? textFieldOfSelf(*self) : nullptr;
        if (!f || call.args.size() < 3) return Value();
        std::u32string chars = avm1::decodeUtf8(f->text());
        auto clamp = [&](const Value& v) {
            double n = call.vm.toNumber(v);
            if (std::isnan(n) || n < 0) return size_t{0};
            return static_cast<size_t>(std::min<double>(n, static_cast<double>(chars.size())));
        };
        size_t begin = clamp(call.arg(0)), end = clamp(call.arg(1));
        if (end < begin) return Value();
        std::u32string with = avm1::decodeUtf8(call.vm.toString(call.arg(2)));
        chars.replace(begin, end - begin, with);
        f->setText(avm1::encodeUtf8(chars));
        ApplyAutoSize(*f);
        player->textFieldChanged(*f);
        return Value();
    });
    // Formatting is drawn from the field's own settings; TextFormat objects are accepted.
    for (const char* getName : {"getTextFormat", "getNewTextFormat"})
        vm_.defineMethod(p, getName, [](NativeCall& call) -> Value {
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
