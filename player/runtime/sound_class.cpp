// Sound: the player plays no sound, but movies find the class and its methods, which
// answer as a silent sound does (volume 100, pan 0, nothing loaded). The methods Flash 6
// added are hidden from SWF 5 movies.
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

void installSoundClass(Vm& vm) {
    Object* proto = vm.newObject();
    makeClass(vm, "Sound", proto, nullptr);
    auto nothing = [](NativeCall&) { return Value(); };
    struct Method {
        const char* name;
        avm1::NativeFunction fn;
        bool fromVersion6;
    };
    const Method methods[] = {
        {"getPan", [](NativeCall&) { return Value(0); }, false},
        {"getTransform",
         [](NativeCall& call) {
             Object* t = call.vm.newObject();
             t->define("ll", Value(100));
             t->define("lr", Value(0));
             t->define("rr", Value(100));
             t->define("rl", Value(0));
             return Value(t);
         },
         false},
        {"getVolume", [](NativeCall&) { return Value(100); }, false},
        {"setPan", nothing, false},
        {"setTransform", nothing, false},
        {"setVolume", nothing, false},
        {"stop", nothing, false},
        {"attachSound", nothing, false},
        {"start", nothing, false},
        {"getDuration", nothing, true},
        {"setDuration", nothing, true},
        {"getPosition", nothing, true},
        {"setPosition", nothing, true},
        {"loadSound", nothing, true},
        {"getBytesLoaded", nothing, true},
        {"getBytesTotal", nothing, true},
    };
    for (const Method& m : methods) {
        vm.defineMethod(proto, m.name, m.fn);
        if (m.fromVersion6)
            if (avm1::Property* p = proto->findOwn(m.name, true)) p->flags |= avm1::kFromVersion6;
    }
}

}  // namespace kestrel::runtime
