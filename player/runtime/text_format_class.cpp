// TextFormat: accessors on TextFormat.prototype over a TextFormat held by each instance,
// with the conversions the player applies to what scripts assign.
#include <cmath>

#include "player/avm1/conversions.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

struct TextFormatData : avm1::NativeData {
    TextFormat format;
};

TextFormat* formatOf(Object& self) {
    auto* data = dynamic_cast<TextFormatData*>(self.nativeData());
    return data ? &data->format : nullptr;
}

template <typename T>
Value optionalValue(const std::optional<T>& v) {
    return v ? Value(static_cast<double>(*v)) : Value::null();
}

Value optionalValue(const std::optional<std::string>& v) {
    return v ? Value(*v) : Value::null();
}

Value optionalValue(const std::optional<bool>& v) {
    return v ? Value(*v) : Value::null();
}

// Which integer fields an assignment keeps at zero or above: the margins always, and in
// movies before SWF 8 the indents and the leading too.
enum class Clamp { Never, Always, BeforeSwf8 };

int32_t assignedInteger(Vm& vm, const Value& v, Clamp clamp) {
    double n = vm.toNumber(v);
    bool swf8 = vm.swfVersion() >= 8;
    if (clamp == Clamp::Always || (clamp == Clamp::BeforeSwf8 && !swf8))
        if (std::isnan(n) || n < 0) n = 0;
    return swf8 ? RoundToInt32(n) : TruncateToInt32(n);
}

using IntegerField = std::optional<int32_t> TextFormat::*;
using BoolField = std::optional<bool> TextFormat::*;
using StringField = std::optional<std::string> TextFormat::*;

std::vector<int32_t> tabStopsFrom(Vm& vm, Object* list) {
    std::vector<int32_t> stops;
    Value lengthValue = vm.getMember(Value(list), "length");
    double length = vm.toNumber(lengthValue);
    if (std::isnan(length) || length <= 0) return stops;
    // A length that no list has is cut to something a script could fill.
    size_t n = static_cast<size_t>(std::min(length, 10000.0));
    for (size_t i = 0; i < n; ++i) {
        double v = vm.toNumber(vm.getMember(Value(list), std::to_string(i)));
        stops.push_back(vm.swfVersion() >= 8 ? RoundToInt32(v) : TruncateToInt32(v));
    }
    return stops;
}

}  // namespace

Object* NewTextFormatObject(Vm& vm, const TextFormat& format) {
    Object* proto = vm.prototypeOf("TextFormat");
    auto data = std::make_unique<TextFormatData>();
    data->format = format;
    return vm.newHostObject(proto, std::move(data));
}

std::optional<TextFormat> TextFormatOfValue(const Value& value) {
    Object* o = value.asObject();
    TextFormat* f = o ? formatOf(*o) : nullptr;
    if (!f) return std::nullopt;
    return *f;
}

void InstallTextFormatClass(Vm& vm) {
    Object* proto = vm.newObject();
    makeClass(vm, "TextFormat", proto, [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value();
        auto data = std::make_unique<TextFormatData>();
        TextFormat& f = data->format;
        Vm& vm = call.vm;
        auto arg = [&](size_t i) -> const Value* {
            return i < call.args.size() && !call.args[i].isNullish() ? &call.args[i] : nullptr;
        };
        auto integer = [&](size_t i, std::optional<int32_t>& field) {
            if (const Value* v = arg(i)) field = TruncateToInt32(vm.toNumber(*v));
        };
        auto text = [&](size_t i, std::optional<std::string>& field) {
            if (const Value* v = arg(i)) field = vm.toString(*v);
        };
        auto flag = [&](size_t i, std::optional<bool>& field) {
            if (const Value* v = arg(i)) field = vm.toBoolean(*v);
        };
        if (const Value* v = arg(0)) f.font = LimitFontName(vm.toString(*v));
        integer(1, f.size);
        if (const Value* v = arg(2)) f.color = avm1::toUint32(vm.toNumber(*v));
        flag(3, f.bold);
        flag(4, f.italic);
        flag(5, f.underline);
        text(6, f.url);
        text(7, f.target);
        if (const Value* v = arg(8)) f.align = TextAlignFrom(vm.toString(*v));
        integer(9, f.leftMargin);
        integer(10, f.rightMargin);
        integer(11, f.indent);
        integer(12, f.leading);
        self->setNativeData(std::move(data));
        return Value();
    });

    auto define = [&](const char* name, avm1::NativeGetter get, avm1::NativeSetter set) {
        proto->defineNative(
            name,
            [get](Vm& vm, Object& self) -> Value {
                return formatOf(self) ? get(vm, self) : Value();
            },
            [set](Vm& vm, Object& self, const Value& v) {
                if (formatOf(self)) set(vm, self, v);
            },
            0);
    };
    auto integerField = [&](const char* name, IntegerField field, Clamp clamp) {
        define(
            name, [field](Vm&, Object& self) { return optionalValue(formatOf(self)->*field); },
            [field, clamp](Vm& vm, Object& self, const Value& v) {
                auto& slot = formatOf(self)->*field;
                if (v.isNullish())
                    slot.reset();
                else
                    slot = assignedInteger(vm, v, clamp);
            });
    };
    auto boolField = [&](const char* name, BoolField field) {
        define(
            name, [field](Vm&, Object& self) { return optionalValue(formatOf(self)->*field); },
            [field](Vm& vm, Object& self, const Value& v) {
                auto& slot = formatOf(self)->*field;
                if (v.isNullish())
                    slot.reset();
                else
                    slot = vm.toBoolean(v);
            });
    };
    auto stringField = [&](const char* name, StringField field) {
        define(
            name, [field](Vm&, Object& self) { return optionalValue(formatOf(self)->*field); },
            [field](Vm& vm, Object& self, const Value& v) {
                auto& slot = formatOf(self)->*field;
                if (v.isNullish())
                    slot.reset();
                else
                    slot = vm.toString(v);
            });
    };

    define(
        "font", [](Vm&, Object& self) { return optionalValue(formatOf(self)->font); },
        [](Vm& vm, Object& self, const Value& v) {
            auto& font = formatOf(self)->font;
            if (v.isNullish())
                font.reset();
            else
                font = LimitFontName(vm.toString(v));
        });
    integerField("size", &TextFormat::size, Clamp::Never);
    define(
        "color", [](Vm&, Object& self) { return optionalValue(formatOf(self)->color); },
        [](Vm& vm, Object& self, const Value& v) {
            auto& color = formatOf(self)->color;
            if (v.isNullish())
                color.reset();
            else
                color = avm1::toUint32(vm.toNumber(v));
        });
    stringField("url", &TextFormat::url);
    stringField("target", &TextFormat::target);
    boolField("bold", &TextFormat::bold);
    boolField("italic", &TextFormat::italic);
    boolField("underline", &TextFormat::underline);
    // An unknown alignment, null included, leaves the one set before.
    define(
        "align",
        [](Vm&, Object& self) -> Value {
            auto& align = formatOf(self)->align;
            return align ? Value(TextAlignName(*align)) : Value::null();
        },
        [](Vm& vm, Object& self, const Value& v) {
            if (v.isNullish()) return;
            if (auto a = TextAlignFrom(vm.toString(v))) formatOf(self)->align = a;
        });
    integerField("leftMargin", &TextFormat::leftMargin, Clamp::Always);
    integerField("rightMargin", &TextFormat::rightMargin, Clamp::Always);
    integerField("indent", &TextFormat::indent, Clamp::BeforeSwf8);
    integerField("leading", &TextFormat::leading, Clamp::BeforeSwf8);
    integerField("blockIndent", &TextFormat::blockIndent, Clamp::BeforeSwf8);
    define(
        "tabStops",
        [](Vm& vm, Object& self) -> Value {
            auto& stops = formatOf(self)->tabStops;
            if (!stops) return Value::null();
            std::vector<Value> items;
            for (int32_t s : *stops) items.emplace_back(static_cast<double>(s));
            return Value(vm.newArray(std::move(items)));
        },
        [](Vm& vm, Object& self, const Value& v) {
            auto& stops = formatOf(self)->tabStops;
            if (v.isObject())
                stops = tabStopsFrom(vm, v.asObject());
            else
                stops.reset();
        });
    boolField("bullet", &TextFormat::bullet);
    boolField("kerning", &TextFormat::kerning);
    define(
        "letterSpacing",
        [](Vm&, Object& self) { return optionalValue(formatOf(self)->letterSpacing); },
        [](Vm& vm, Object& self, const Value& v) {
            auto& spacing = formatOf(self)->letterSpacing;
            if (v.isNullish())
                spacing.reset();
            else
                spacing = vm.toNumber(v);
        });
    // Anything but the two other words means "block".
    define(
        "display",
        [](Vm&, Object& self) -> Value {
            TextFormat* f = formatOf(self);
            return Value(f->inlineDisplay ? "inline" : f->hiddenDisplay ? "none" : "block");
        },
        [](Vm& vm, Object& self, const Value& v) {
            TextFormat* f = formatOf(self);
            std::string s = v.isString() ? vm.toString(v) : std::string();
            f->inlineDisplay = s == "inline";
            f->hiddenDisplay = s == "none";
        });
}

}  // namespace kestrel::runtime
