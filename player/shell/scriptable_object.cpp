#include "player/shell/scriptable_object.h"

#include <new>

#include "common/callback_guard.h"
#include "player/shell/browser_table.h"
#include "player/shell/shell_instance_win.h"

namespace kestrel::shell {
namespace {

ShellInstance* OwnerOf(NPObject* object) {
    return object ? reinterpret_cast<ScriptableObject*>(object)->owner : nullptr;
}

NPObject* Allocate(NPP, NPClass*) {
    auto* object = new (std::nothrow) ScriptableObject();
    return object ? &object->header : nullptr;
}

void Deallocate(NPObject* object) {
    delete reinterpret_cast<ScriptableObject*>(object);
}

void Invalidate(NPObject* object) {
    if (object) reinterpret_cast<ScriptableObject*>(object)->owner = nullptr;
}

bool HasMethod(NPObject* object, NPIdentifier name) {
    ShellInstance* owner = OwnerOf(object);
    if (!owner) return false;
    ShellInstance::CallScope scope(*owner);
    return GuardedCall<bool>(false, [&] { return owner->hasCallback(name); });
}

bool Invoke(NPObject* object, NPIdentifier name, const NPVariant* args, uint32_t count,
            NPVariant* result) {
    ShellInstance* owner = OwnerOf(object);
    if (!owner || (count && !args)) return false;
    ShellInstance::CallScope scope(*owner);
    // Out of memory: the call fails, nothing else.
    return GuardedCall<bool>(false, [&] { return owner->invoke(name, args, count, result); });
}

bool NoDefault(NPObject*, const NPVariant*, uint32_t, NPVariant*) {
    return false;
}
bool NoProperty(NPObject*, NPIdentifier) {
    return false;
}
bool NoGet(NPObject*, NPIdentifier, NPVariant*) {
    return false;
}
bool NoSet(NPObject*, NPIdentifier, const NPVariant*) {
    return false;
}

NPClass g_class = {
    NP_CLASS_STRUCT_VERSION,
    Allocate,
    Deallocate,
    Invalidate,
    HasMethod,
    Invoke,
    NoDefault,
    NoProperty,
    NoGet,
    NoSet,
    NoProperty,
    nullptr,
    nullptr,
};

}  // namespace

NPClass* ScriptableObjectClass() {
    return &g_class;
}

ScriptableObject* CreateScriptableObject(NPP npp, ShellInstance* owner) {
    const NPNetscapeFuncs& browser = Browser();
    if (!browser.createobject) return nullptr;
    NPObject* object = browser.createobject(npp, &g_class);
    // A browser that ignores our allocate made a bare record we cannot use.
    if (!object || object->_class != &g_class) return nullptr;
    auto* scriptable = reinterpret_cast<ScriptableObject*>(object);
    scriptable->owner = owner;
    return scriptable;
}

}  // namespace kestrel::shell
