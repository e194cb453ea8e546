#include "player/avm1/host.h"

#include "player/avm1/vm.h"

namespace kestrel::avm1 {

const char* clipPropertyName(int index) {
    static const char* const kNames[] = {
        "_x",           "_y",           "_xscale",       "_yscale",       "_currentframe",
        "_totalframes", "_alpha",       "_visible",      "_width",        "_height",
        "_rotation",    "_target",      "_framesloaded", "_name",         "_droptarget",
        "_url",         "_highquality", "_focusrect",    "_soundbuftime", "_quality",
        "_xmouse",      "_ymouse"};
    if (index < 0 || index >= static_cast<int>(sizeof kNames / sizeof kNames[0])) return nullptr;
    return kNames[index];
}

Value Host::getProperty(Vm& vm, Object* clip, int index) {
    const char* name = clipPropertyName(index);
    if (!clip || !name) return Value();
    return vm.getMember(Value(clip), name);
}

void Host::setProperty(Vm& vm, Object* clip, int index, const Value& value) {
    const char* name = clipPropertyName(index);
    if (!clip || !name) return;
    vm.setMember(Value(clip), name, value);
}

}  // namespace kestrel::avm1
