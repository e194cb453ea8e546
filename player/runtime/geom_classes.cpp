// flash.geom.Matrix and flash.geom.Rectangle: plain script objects whose members scripts
// read and write directly, with the methods movies call on them.
#include <algorithm>
#include <cmath>
#include <string>

#include "player/runtime/script_classes.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

constexpr const char* kMatrixMembers[] = {"a", "b", "c", "d", "tx", "ty"};

double Number(Vm& vm, Object* o, const char* name) {
    return vm.toNumber(vm.getMember(Value(o), name));
}

void StoreMatrix(Vm& vm, Object* o, const player::Matrix& m) {
    const double values[] = {m.a, m.b, m.c, m.d, m.tx, m.ty};
    for (size_t i = 0; i < 6; ++i) vm.setMember(Value(o), kMatrixMembers[i], Value(values[i]));
}

// A new object of the same class as `self` (its prototype), for clone().
Object* Sibling(Vm& vm, Object* self) {
    return vm.newObject(self->proto());
}

// clone(): a new object of the same class with the members' values.
template <size_t N>
Value CloneMembers(NativeCall& call, const char* const (&members)[N]) {
    Object* self = call.thisObject();
    if (!self) return Value();
    Object* copy = Sibling(call.vm, self);
    for (const char* name : members)
        call.vm.setMember(Value(copy), name, call.vm.getMember(Value(self), name));
    return Value(copy);
}

std::string Field(Vm& vm, Object* o, const char* label, const char* name) {
    return std::string(label) + "=" + vm.toString(vm.getMember(Value(o), name));
}

Value MatrixConstruct(NativeCall& call) {
    Object* self = call.thisObject();
    if (!self) return Value();
    if (call.args.empty()) {
        StoreMatrix(call.vm, self, player::Matrix{});
        return Value();
    }
    for (size_t i = 0; i < 6; ++i) call.vm.setMember(Value(self), kMatrixMembers[i], call.arg(i));
    return Value();
}

void InstallMatrix(Vm& vm, Object* package) {
    Object* proto = vm.newObject();
    Object* ctor = vm.newNativeFunction(MatrixConstruct, MatrixConstruct);
    ctor->define("prototype", Value(proto), avm1::kDontEnum | avm1::kDontDelete);
    proto->define("constructor", Value(ctor), avm1::kDontEnum);
    package->define("Matrix", Value(ctor), 0);
    // Methods that combine this matrix with another transformation (applied after it).
    auto after = [&vm, proto](const char* name, player::Matrix (*make)(Vm&, NativeCall&)) {
        vm.defineMethod(proto, name, [make](NativeCall& call) -> Value {
            Object* self = call.thisObject();
            if (!self) return Value();
            StoreMatrix(call.vm, self,
                        make(call.vm, call).multiply(MatrixOfValue(call.vm, Value(self))));
            return Value();
        });
    };
    after("translate", [](Vm& vm, NativeCall& call) {
        return player::Matrix::translation(vm.toNumber(call.arg(0)), vm.toNumber(call.arg(1)));
    });
    after("scale", [](Vm& vm, NativeCall& call) {
        return player::Matrix{vm.toNumber(call.arg(0)), 0, 0, vm.toNumber(call.arg(1)), 0, 0};
    });
    after("rotate", [](Vm& vm, NativeCall& call) {
        double angle = vm.toNumber(call.arg(0));
        double cos = std::cos(angle), sin = std::sin(angle);
        return player::Matrix{cos, sin, -sin, cos, 0, 0};
    });
    after("concat", [](Vm& vm, NativeCall& call) { return MatrixOfValue(vm, call.arg(0)); });
    vm.defineMethod(proto, "identity", [](NativeCall& call) -> Value {
        if (Object* self = call.thisObject()) StoreMatrix(call.vm, self, player::Matrix{});
        return Value();
    });
    vm.defineMethod(proto, "invert", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value();
        player::Matrix inverse;
        if (!MatrixOfValue(call.vm, Value(self)).invert(inverse))
            inverse = player::Matrix{0, 0, 0, 0, 0, 0};  // no inverse: nothing is left
        StoreMatrix(call.vm, self, inverse);
        return Value();
    });
    vm.defineMethod(proto, "clone",
                    [](NativeCall& call) -> Value { return CloneMembers(call, kMatrixMembers); });
    vm.defineMethod(proto, "toString", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value();
        Vm& vm = call.vm;
        return Value("(" + Field(vm, self, "a", "a") + ", " + Field(vm, self, "b", "b") + ", " +
                     Field(vm, self, "c", "c") + ", " + Field(vm, self, "d", "d") + ", " +
                     Field(vm, self, "tx", "tx") + ", " + Field(vm, self, "ty", "ty") + ")");
    });
}

constexpr const char* kRectangleMembers[] = {"x", "y", "width", "height"};

Value RectangleConstruct(NativeCall& call) {
    Object* self = call.thisObject();
    if (!self) return Value();
    for (size_t i = 0; i < 4; ++i)
        call.vm.setMember(Value(self), kRectangleMembers[i],
                          call.args.empty() ? Value(0) : call.arg(i));
    return Value();
}

void InstallRectangle(Vm& vm, Object* package) {
    Object* proto = vm.newObject();
    Object* ctor = vm.newNativeFunction(RectangleConstruct, RectangleConstruct);
    ctor->define("prototype", Value(proto), avm1::kDontEnum | avm1::kDontDelete);
    proto->define("constructor", Value(ctor), avm1::kDontEnum);
    package->define("Rectangle", Value(ctor), 0);
    vm.defineMethod(proto, "isEmpty", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value();
        return Value(!(Number(call.vm, self, "width") > 0) ||
                     !(Number(call.vm, self, "height") > 0));
    });
    vm.defineMethod(proto, "clone", [](NativeCall& call) -> Value {
        return CloneMembers(call, kRectangleMembers);
    });
    vm.defineMethod(proto, "toString", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value();
        Vm& vm = call.vm;
        return Value("(" + Field(vm, self, "x", "x") + ", " + Field(vm, self, "y", "y") + ", " +
                     Field(vm, self, "w", "width") + ", " + Field(vm, self, "h", "height") + ")");
    });
}

}  // namespace

player::Matrix MatrixOfValue(Vm& vm, const Value& value) {
    Object* o = value.asObject();
    if (!o) return player::Matrix{};
    return player::Matrix{Number(vm, o, "a"), Number(vm, o, "b"),  Number(vm, o, "c"),
                          Number(vm, o, "d"), Number(vm, o, "tx"), Number(vm, o, "ty")};
}

std::optional<PixelRect> PixelRectOfValue(Vm& vm, const Value& value) {
    Object* o = value.asObject();
    if (!o) return std::nullopt;
    // Whole pixels; numbers past any bitmap's size are held at a size no bitmap reaches.
    auto whole = [&](const char* name) {
        double n = std::round(Number(vm, o, name));
        if (std::isnan(n)) return 0;
        return static_cast<int>(std::clamp(n, -1e8, 1e8));
    };
    return PixelRect{whole("x"), whole("y"), whole("width"), whole("height")};
}

void InstallGeomClasses(Vm& vm, Object* package) {
    InstallMatrix(vm, package);
    InstallRectangle(vm, package);
}

}  // namespace kestrel::runtime
