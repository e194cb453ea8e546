#include "player/avm1/native_tables.h"

#include "player/avm1/builtins.h"
#include "player/avm1/conversions.h"
#include "player/avm1/interpreter.h"

namespace kestrel::avm1 {

namespace {

// The numbers Flash gives the core classes' methods. An owner is a global name, or a
// global name and ".prototype".
struct BuiltinTable {
    int table;
    const char* owner;
    int firstIndex;
    const char* names;
};

constexpr BuiltinTable kBuiltinTables[] = {
    {200, "Math", 0,
     "abs,min,max,sin,cos,atan2,tan,exp,log,sqrt,round,random,floor,ceil,atan,asin,acos,pow"},
    {103, "Date.prototype", 0,
     "getFullYear,getYear,getMonth,getDate,getDay,getHours,getMinutes,getSeconds,"
     "getMilliseconds,setFullYear,setMonth,setDate,setHours,setMinutes,setSeconds,"
     "setMilliseconds,getTime,setTime,getTimezoneOffset,toString,setYear"},
    {103, "Date.prototype", 128,
     "getUTCFullYear,getUTCYear,getUTCMonth,getUTCDate,getUTCDay,getUTCHours,getUTCMinutes,"
     "getUTCSeconds,getUTCMilliseconds,setUTCFullYear,setUTCMonth,setUTCDate,setUTCHours,"
     "setUTCMinutes,setUTCSeconds,setUTCMilliseconds"},
    {103, "Date", 257, "UTC"},
};

uint16_t VersionFlag(char digit) {
    switch (digit) {
        case '6':
            return kFromVersion6;
        case '7':
            return kFromVersion7;
        case '8':
            return kFromVersion8;
        case '9':
            return kFromVersion9;
        default:
            return 0;
    }
}

Object* OwnerOf(Vm& vm, std::string_view path) {
    Value owner(vm.global());
    while (!path.empty() && owner.isObject()) {
        size_t dot = path.find('.');
        owner = vm.getMember(owner, path.substr(0, dot));
        path = dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
    }
    return owner.asObject();
}

// A number Flash has no function for still gives a function; calling it does nothing.
Object* NativeFunctionFor(Vm& vm, int table, int index) {
    if (Object* f = vm.NativeAt(table, index)) return f;
    return vm.newNativeFunction([](NativeCall&) { return Value(); });
}

void InstallMethod(Vm& vm, Object& target, const NativeName& entry, Object* function) {
    // A member that exists keeps its attributes and its place; only its value changes.
    if (Property* p = target.findOwn(entry.name, vm.caseSensitive()))
        target.define(p->name, Value(function), p->flags);
    else
        target.define(entry.name, Value(function), entry.flags);
}

void InstallAccessor(Vm& vm, Object& target, const NativeName& entry, Object* getter,
                     Object* setter) {
    const Property* existing = target.findOwn(entry.name, vm.caseSensitive());
    Property& p = target.define(existing ? existing->name : entry.name, Value(), entry.flags);
    p.getter = getter;
    p.setter = setter;
}

void SetNatives(Vm& vm, Object& target, int table, int index, std::string_view names,
                bool accessors) {
    for (const NativeName& entry : ParseNativeNames(names)) {
        if (!entry.name.empty()) {
            if (accessors)
                InstallAccessor(vm, target, entry, NativeFunctionFor(vm, table, index),
                                NativeFunctionFor(vm, table, index + 1));
            else
                InstallMethod(vm, target, entry, NativeFunctionFor(vm, table, index));
        }
        index += accessors ? 2 : 1;
    }
}

// ASSetNative(object, table, names[, firstIndex]) and ASSetNativeAccessor.
Value SetNativesFromScript(NativeCall& c, bool accessors) {
    Vm& vm = c.vm;
    Object* target = c.arg(0).asObject();
    if (!target) {
        // Flash's accessor installer answers a function when called with nothing at all.
        return accessors && c.args.empty() ? Value(c.callee) : Value();
    }
    int table = toInt32(vm.toNumber(c.arg(1)));
    std::string names = vm.toString(c.arg(2));
    int index = c.args.size() > 3 ? toInt32(vm.toNumber(c.args[3])) : 0;
    if (vm.interpreter().hasPending()) return Value();  // a valueOf threw
    SetNatives(vm, *target, table, index, names, accessors);
    return Value();
}

}  // namespace

std::vector<NativeName> ParseNativeNames(std::string_view list) {
    std::vector<NativeName> names;
    size_t pos = 0;
    while (pos < list.size()) {
        size_t comma = list.find(',', pos);
        if (comma == std::string_view::npos) comma = list.size();
        std::string_view item = list.substr(pos, comma - pos);
        NativeName entry;
        if (!item.empty() && item[0] == '1') {
            if (item.size() > 1 && item[1] == '0') {
                entry.flags = kFromVersion10;
                item.remove_prefix(1);
            }
            item.remove_prefix(1);
        } else if (!item.empty() && VersionFlag(item[0])) {
            entry.flags = VersionFlag(item[0]);
            item.remove_prefix(1);
        }
        entry.name = std::string(item);
        names.push_back(std::move(entry));
        pos = comma + 1;
    }
    return names;
}

void RegisterNativeMethods(Vm& vm, Object* owner, int table, int firstIndex,
                           std::string_view names) {
    if (!owner) return;
    int index = firstIndex;
    for (const NativeName& entry : ParseNativeNames(names)) {
        const Property* p = owner->findOwn(entry.name, true);
        if (p && p->value.isObject() && p->value.asObject()->function())
            vm.RegisterNative(table, index, p->value.asObject());
        ++index;
    }
}

void SetNativeMethods(Vm& vm, Object& target, int table, int firstIndex, std::string_view names) {
    SetNatives(vm, target, table, firstIndex, names, false);
}

void SetNativeAccessors(Vm& vm, Object& target, int table, int firstIndex, std::string_view names) {
    SetNatives(vm, target, table, firstIndex, names, true);
}

void installNativeTables(Vm& vm) {
    for (const BuiltinTable& t : kBuiltinTables)
        RegisterNativeMethods(vm, OwnerOf(vm, t.owner), t.table, t.firstIndex, t.names);
    Object* g = vm.global();
    vm.defineMethod(g, "ASnative", [](NativeCall& c) -> Value {
        int table = toInt32(c.vm.toNumber(c.arg(0)));
        return Value(NativeFunctionFor(c.vm, table, toInt32(c.vm.toNumber(c.arg(1)))));
    });
    vm.defineMethod(g, "ASSetNative", [](NativeCall& c) { return SetNativesFromScript(c, false); });
    vm.defineMethod(g, "ASSetNativeAccessor",
                    [](NativeCall& c) { return SetNativesFromScript(c, true); });
}

}  // namespace kestrel::avm1
