// flash.display.BitmapData: a bitmap scripts make, read, paint and draw other bitmaps into.
#include <cmath>
#include <memory>

#include "player/avm1/conversions.h"
#include "player/runtime/bitmap_pixels.h"
#include "player/runtime/script_classes.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

struct BitmapDataData : avm1::NativeData {
    std::optional<BitmapPixels> pixels;  // empty: never valid, or disposed
};

BitmapPixels* PixelsOf(const Value& value) {
    Object* o = value.asObject();
    auto* data = o ? dynamic_cast<BitmapDataData*>(o->nativeData()) : nullptr;
    return data && data->pixels ? &*data->pixels : nullptr;
}

// A coordinate argument: whole pixels toward zero; NaN and huge numbers land outside.
int Coordinate(Vm& vm, const Value& v) {
    double n = std::trunc(vm.toNumber(v));
    return std::isnan(n) || std::fabs(n) > 1e8 ? -1 : static_cast<int>(n);
}

uint32_t Argb(Vm& vm, const Value& v) {
    return static_cast<uint32_t>(avm1::toInt32(vm.toNumber(v)));
}

// A colour as getPixel32 answers it: the 32 bits read as a signed number.
Value Signed(uint32_t argb) {
    return Value(static_cast<double>(static_cast<int32_t>(argb)));
}

player::ColorTransform ColorTransformOf(Vm& vm, Object* o) {
    auto number = [&](const char* name, double otherwise) {
        Value v = vm.getMember(Value(o), name);
        return v.isUndefined() ? otherwise : vm.toNumber(v);
    };
    player::ColorTransform t;
    t.rMul = number("redMultiplier", 1);
    t.gMul = number("greenMultiplier", 1);
    t.bMul = number("blueMultiplier", 1);
    t.aMul = number("alphaMultiplier", 1);
    t.rAdd = number("redOffset", 0);
    t.gAdd = number("greenOffset", 0);
    t.bAdd = number("blueOffset", 0);
    t.aAdd = number("alphaOffset", 0);
    return t;
}

bool Finite(const player::Matrix& m) {
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

// draw(source, matrix, colorTransform, blendMode, clipRect, smoothing). Bitmaps only: a clip
// as the source needs the renderer, which this model has no part of.
Value Draw(NativeCall& call) {
    BitmapPixels* target = PixelsOf(call.thisValue);
    BitmapPixels* source = PixelsOf(call.arg(0));
    if (!target || !source) return Value();
    player::Matrix matrix = MatrixOfValue(call.vm, call.arg(1));
    if (!Finite(matrix)) return Value();
    std::optional<player::ColorTransform> colors;
    if (Object* o = call.arg(2).asObject()) colors = ColorTransformOf(call.vm, o);
    // Drawing a bitmap into itself reads what it was before.
    std::optional<BitmapPixels> copy;
    if (source == target) source = &copy.emplace(*target);
    target->Draw(*source, matrix, colors ? &*colors : nullptr,
                 PixelRectOfValue(call.vm, call.arg(4)));
    return Value();
}

}  // namespace

void InstallBitmapDataClass(Vm& vm, Object* package) {
    Object* proto = vm.newObject();
    auto construct = [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value();
        auto data = std::make_unique<BitmapDataData>();
        bool transparent = call.args.size() < 3 || call.vm.toBoolean(call.arg(2));
        uint32_t fill = call.args.size() < 4 ? 0xFFFFFFFFu : Argb(call.vm, call.arg(3));
        double width = call.vm.toNumber(call.arg(0)), height = call.vm.toNumber(call.arg(1));
        if (width >= 1 && height >= 1 && width <= kMaxBitmapSide && height <= kMaxBitmapSide)
            data->pixels = BitmapPixels::Make(static_cast<int>(width), static_cast<int>(height),
                                              transparent, fill);
        self->setNativeData(std::move(data));
        return Value();
    };
    Object* ctor = vm.newNativeFunction(construct, construct);
    ctor->define("prototype", Value(proto), avm1::kDontEnum | avm1::kDontDelete);
    proto->define("constructor", Value(ctor), avm1::kDontEnum);
    package->define("BitmapData", Value(ctor), 0);

    // A bitmap that is not valid answers -1 for its sizes.
    auto size = [&](const char* name, int (BitmapPixels::*get)() const) {
        proto->defineNative(
            name,
            [get](Vm&, Object& self) -> Value {
                BitmapPixels* p = PixelsOf(Value(&self));
                return Value(p ? static_cast<double>((p->*get)()) : -1.0);
            },
            nullptr, avm1::kDontEnum);
    };
    size("width", &BitmapPixels::Width);
    size("height", &BitmapPixels::Height);
    proto->defineNative(
        "transparent",
        [](Vm&, Object& self) -> Value {
            BitmapPixels* p = PixelsOf(Value(&self));
            return p ? Value(p->Transparent()) : Value(-1);
        },
        nullptr, avm1::kDontEnum);

    vm.defineMethod(proto, "getPixel", [](NativeCall& call) -> Value {
        BitmapPixels* p = PixelsOf(call.thisValue);
        if (!p) return Value(-1);
        uint32_t argb =
            p->Pixel(Coordinate(call.vm, call.arg(0)), Coordinate(call.vm, call.arg(1)));
        return Value(static_cast<double>(argb & 0xFFFFFF));
    });
    vm.defineMethod(proto, "getPixel32", [](NativeCall& call) -> Value {
        BitmapPixels* p = PixelsOf(call.thisValue);
        if (!p) return Value(-1);
        return Signed(p->Pixel(Coordinate(call.vm, call.arg(0)), Coordinate(call.vm, call.arg(1))));
    });
    vm.defineMethod(proto, "setPixel", [](NativeCall& call) -> Value {
        if (BitmapPixels* p = PixelsOf(call.thisValue)) {
            int x = Coordinate(call.vm, call.arg(0)), y = Coordinate(call.vm, call.arg(1));
            uint32_t alpha = p->Pixel(x, y) & 0xFF000000u;
            p->SetPixel(x, y, alpha | (Argb(call.vm, call.arg(2)) & 0xFFFFFF));
        }
        return Value();
    });
    vm.defineMethod(proto, "setPixel32", [](NativeCall& call) -> Value {
        if (BitmapPixels* p = PixelsOf(call.thisValue))
            p->SetPixel(Coordinate(call.vm, call.arg(0)), Coordinate(call.vm, call.arg(1)),
                        Argb(call.vm, call.arg(2)));
        return Value();
    });
    vm.defineMethod(proto, "fillRect", [](NativeCall& call) -> Value {
        BitmapPixels* p = PixelsOf(call.thisValue);
        std::optional<PixelRect> rect = PixelRectOfValue(call.vm, call.arg(0));
        if (p && rect) p->FillRect(*rect, Argb(call.vm, call.arg(1)));
        return Value();
    });
    vm.defineMethod(proto, "draw", Draw);
    vm.defineMethod(proto, "dispose", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (auto* data = self ? dynamic_cast<BitmapDataData*>(self->nativeData()) : nullptr)
            data->pixels.reset();
        return Value();
    });
}

}  // namespace kestrel::runtime
