// flash.filters.ConvolutionFilter: its settings, read and written through the accessors of
// Flash's native table 1109 (getter 2n+1, setter 2n+2 for the n-th setting), as the
// player's own class is built from them.
#include <algorithm>
#include <cmath>
#include <vector>

#include "player/avm1/conversions.h"
#include "player/avm1/native_tables.h"
#include "player/runtime/script_classes.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

constexpr int kConvolutionTable = 1109;
constexpr int kMaxMatrixSide = 15;

struct ConvolutionSettings {
    int matrixX = 0;
    int matrixY = 0;
    std::vector<double> matrix;
    double divisor = 1;
    double bias = 0;
    bool preserveAlpha = true;
    bool clamp = true;
    uint32_t color = 0;
    double alpha = 0;
};

struct ConvolutionFilterData : avm1::NativeData {
    ConvolutionSettings settings;
};

ConvolutionSettings* SettingsOf(const Value& self) {
    Object* o = self.asObject();
    auto* data = o ? dynamic_cast<ConvolutionFilterData*>(o->nativeData()) : nullptr;
    return data ? &data->settings : nullptr;
}

int MatrixSide(Vm& vm, const Value& v) {
    double n = vm.toNumber(v);
    if (std::isnan(n)) return 0;
    return static_cast<int>(std::clamp(n, 0.0, static_cast<double>(kMaxMatrixSide)));
}

double Alpha(Vm& vm, const Value& v) {
    double n = vm.toNumber(v);
    return std::isnan(n) ? 0 : std::clamp(n, 0.0, 1.0);
}

// The matrix always holds matrixX * matrixY numbers: missing ones are zero.
void FitMatrix(ConvolutionSettings& s) {
    s.matrix.resize(static_cast<size_t>(s.matrixX) * static_cast<size_t>(s.matrixY), 0.0);
}

void AssignMatrix(Vm& vm, ConvolutionSettings& s, const Value& v) {
    Object* list = v.asObject();
    if (!list || list->kind() != avm1::ObjectKind::Array) return;
    s.matrix.clear();
    size_t wanted = static_cast<size_t>(s.matrixX) * static_cast<size_t>(s.matrixY);
    for (size_t i = 0; i < list->elements().size() && i < wanted; ++i)
        s.matrix.push_back(vm.toNumber(list->elements()[i]));
    FitMatrix(s);
}

struct Setting {
    Value (*get)(Vm&, const ConvolutionSettings&);
    void (*set)(Vm&, ConvolutionSettings&, const Value&);
};

// In table order: setting n is read by number 2n+1 and written by 2n+2.
const char kSettingNames[] = "matrixX,matrixY,matrix,divisor,bias,preserveAlpha,clamp,color,alpha";
const Setting kSettings[] = {
    {[](Vm&, const ConvolutionSettings& s) { return Value(s.matrixX); },
     [](Vm& vm, ConvolutionSettings& s, const Value& v) {
         s.matrixX = MatrixSide(vm, v);
         FitMatrix(s);
     }},
    {[](Vm&, const ConvolutionSettings& s) { return Value(s.matrixY); },
     [](Vm& vm, ConvolutionSettings& s, const Value& v) {
         s.matrixY = MatrixSide(vm, v);
         FitMatrix(s);
     }},
    {[](Vm& vm, const ConvolutionSettings& s) {
         std::vector<Value> items(s.matrix.begin(), s.matrix.end());
         return Value(vm.newArray(std::move(items)));
     },
     AssignMatrix},
    {[](Vm&, const ConvolutionSettings& s) { return Value(s.divisor); },
     [](Vm& vm, ConvolutionSettings& s, const Value& v) { s.divisor = vm.toNumber(v); }},
    {[](Vm&, const ConvolutionSettings& s) { return Value(s.bias); },
     [](Vm& vm, ConvolutionSettings& s, const Value& v) { s.bias = vm.toNumber(v); }},
    {[](Vm&, const ConvolutionSettings& s) { return Value(s.preserveAlpha); },
     [](Vm& vm, ConvolutionSettings& s, const Value& v) { s.preserveAlpha = vm.toBoolean(v); }},
    {[](Vm&, const ConvolutionSettings& s) { return Value(s.clamp); },
     [](Vm& vm, ConvolutionSettings& s, const Value& v) { s.clamp = vm.toBoolean(v); }},
    {[](Vm&, const ConvolutionSettings& s) { return Value(static_cast<double>(s.color)); },
     [](Vm& vm, ConvolutionSettings& s, const Value& v) {
         s.color = avm1::toUint32(vm.toNumber(v)) & 0xFFFFFF;
     }},
    {[](Vm&, const ConvolutionSettings& s) { return Value(s.alpha); },
     [](Vm& vm, ConvolutionSettings& s, const Value& v) { s.alpha = Alpha(vm, v); }},
};

Object* NewFilter(Vm& vm, Object* proto, const ConvolutionSettings& settings) {
    auto data = std::make_unique<ConvolutionFilterData>();
    data->settings = settings;
    return vm.newHostObject(proto, std::move(data));
}

}  // namespace

void InstallConvolutionFilterClass(Vm& vm, Object* package) {
    Object* proto = vm.newObject();
    auto construct = [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value();
        auto data = std::make_unique<ConvolutionFilterData>();
        // Arguments in the order of the settings; the ones left out keep their defaults.
        for (size_t i = 0; i < call.args.size() && i < std::size(kSettings); ++i)
            kSettings[i].set(call.vm, data->settings, call.args[i]);
        self->setNativeData(std::move(data));
        return Value();
    };
    Object* ctor = vm.newNativeFunction([](NativeCall&) { return Value(); }, construct);
    ctor->define("prototype", Value(proto), avm1::kDontEnum | avm1::kDontDelete);
    proto->define("constructor", Value(ctor), avm1::kDontEnum);
    package->define("ConvolutionFilter", Value(ctor));

    for (size_t i = 0; i < std::size(kSettings); ++i) {
        const Setting setting = kSettings[i];
        int getter = static_cast<int>(2 * i + 1);
        vm.RegisterNative(kConvolutionTable, getter,
                          vm.newNativeFunction([setting](NativeCall& call) -> Value {
                              ConvolutionSettings* s = SettingsOf(call.thisValue);
                              return s ? setting.get(call.vm, *s) : Value();
                          }));
        vm.RegisterNative(kConvolutionTable, getter + 1,
                          vm.newNativeFunction([setting](NativeCall& call) -> Value {
                              if (ConvolutionSettings* s = SettingsOf(call.thisValue))
                                  setting.set(call.vm, *s, call.arg(0));
                              return Value();
                          }));
    }
    avm1::SetNativeAccessors(vm, *proto, kConvolutionTable, 1, kSettingNames);
    for (avm1::Property& p : proto->properties()) p.flags |= avm1::kDontEnum | avm1::kDontDelete;
    vm.defineMethod(proto, "clone", [proto](NativeCall& call) -> Value {
        ConvolutionSettings* s = SettingsOf(call.thisValue);
        return s ? Value(NewFilter(call.vm, proto, *s)) : Value();
    });
}

}  // namespace kestrel::runtime
