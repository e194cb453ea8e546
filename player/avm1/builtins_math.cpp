// Math.
#include <cmath>
#include <limits>
#include <memory>

#include "player/avm1/builtins.h"
#include "player/avm1/object.h"

namespace kestrel::avm1 {

namespace {

using Unary = double (*)(double);

void defineUnary(Vm& vm, Object* math, const char* name, Unary f) {
    vm.defineMethod(math, name, [f](NativeCall& c) {
        if (c.args.empty()) return Value(std::nan(""));
        return Value(f(c.vm.toNumber(c.args[0])));
    });
}

// A small deterministic generator: reproducible movies make reproducible tests.
struct RandomState {
    uint64_t s = 0x9E3779B97F4A7C15ull;
    double next() {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return static_cast<double>(s >> 11) / 9007199254740992.0;
    }
};

}  // namespace

void installMathBuiltins(Vm& vm) {
    Object* math = vm.newObject();
    vm.global()->define("Math", Value(math), kDontEnum);
    const uint8_t constant = kDontEnum | kDontDelete | kReadOnly;
    math->define("E", Value(2.718281828459045), constant);
    math->define("LN10", Value(2.302585092994046), constant);
    math->define("LN2", Value(0.6931471805599453), constant);
    math->define("LOG10E", Value(0.4342944819032518), constant);
    math->define("LOG2E", Value(1.4426950408889634), constant);
    math->define("PI", Value(3.141592653589793), constant);
    math->define("SQRT1_2", Value(0.7071067811865476), constant);
    math->define("SQRT2", Value(1.4142135623730951), constant);
    defineUnary(vm, math, "abs", [](double x) { return std::fabs(x); });
    defineUnary(vm, math, "acos", [](double x) { return std::acos(x); });
    defineUnary(vm, math, "asin", [](double x) { return std::asin(x); });
    defineUnary(vm, math, "atan", [](double x) { return std::atan(x); });
    defineUnary(vm, math, "ceil", [](double x) { return std::ceil(x); });
    defineUnary(vm, math, "cos", [](double x) { return std::cos(x); });
    defineUnary(vm, math, "exp", [](double x) { return std::exp(x); });
    defineUnary(vm, math, "floor", [](double x) { return std::floor(x); });
    defineUnary(vm, math, "log", [](double x) { return std::log(x); });
    defineUnary(vm, math, "round", [](double x) { return std::floor(x + 0.5); });
    defineUnary(vm, math, "sin", [](double x) { return std::sin(x); });
    defineUnary(vm, math, "sqrt", [](double x) { return std::sqrt(x); });
    defineUnary(vm, math, "tan", [](double x) { return std::tan(x); });
    vm.defineMethod(math, "atan2", [](NativeCall& c) {
        return Value(std::atan2(c.vm.toNumber(c.arg(0)), c.vm.toNumber(c.arg(1))));
    });
    vm.defineMethod(math, "pow", [](NativeCall& c) {
        return Value(std::pow(c.vm.toNumber(c.arg(0)), c.vm.toNumber(c.arg(1))));
    });
    // min and max compare exactly two arguments; a missing second one is undefined.
    vm.defineMethod(math, "min", [](NativeCall& c) {
        if (c.args.empty()) return Value(std::numeric_limits<double>::infinity());
        double a = c.vm.toNumber(c.args[0]), b = c.vm.toNumber(c.arg(1));
        if (std::isnan(a) || std::isnan(b)) return Value(std::nan(""));
        return Value(b < a ? b : a);
    });
    vm.defineMethod(math, "max", [](NativeCall& c) {
        if (c.args.empty()) return Value(-std::numeric_limits<double>::infinity());
        double a = c.vm.toNumber(c.args[0]), b = c.vm.toNumber(c.arg(1));
        if (std::isnan(a) || std::isnan(b)) return Value(std::nan(""));
        return Value(b > a ? b : a);
    });
    auto state = std::make_shared<RandomState>();
    vm.defineMethod(math, "random", [state](NativeCall&) { return Value(state->next()); });
}

}  // namespace kestrel::avm1
