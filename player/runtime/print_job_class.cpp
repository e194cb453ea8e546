// PrintJob: there is no printer behind the player, so a job never starts (start() answers
// false) and its page measures read 0. Those measures are enumerable and read-only.
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

void installPrintJobClass(Vm& vm) {
    Object* proto = vm.newObject();
    makeClass(vm, "PrintJob", proto, nullptr);
    vm.defineMethod(proto, "start", [](NativeCall&) { return Value(false); });
    vm.defineMethod(proto, "addPage", [](NativeCall&) { return Value(false); });
    vm.defineMethod(proto, "send", [](NativeCall&) { return Value(); });
    // Defined in reverse so that for..in (newest first) lists them in the player's order.
    for (const char* name : {"paperHeight", "paperWidth", "pageHeight", "pageWidth", "orientation"})
        proto->defineNative(
            name, [](Vm&, Object&) { return Value(0); }, nullptr, 0);
}

}  // namespace kestrel::runtime
