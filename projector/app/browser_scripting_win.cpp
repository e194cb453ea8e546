// Scripting entries of the browser table: the script bridge answers them
// (identifiers, objects, the window object model, invoke and evaluate).
// Each runs under GuardedCall with the fallback named beside it: the bridge
// allocates, and calls back into the projector's API.
#include "common/callback_guard.h"
#include "projector/app/browser_functions_win.h"
#include "projector/bridge/script_bridge.h"

namespace kestrel::projector {

// Fallback: no identifier (null).
NPIdentifier NP_TABLE_CALL HostGetStringIdentifier(const NPUTF8* name) {
    return GuardedCall<NPIdentifier>(nullptr, [&] { return BridgeGetStringIdentifier(name); });
}

// Fallback: the identifiers not yet made stay null.
void NP_TABLE_CALL HostGetStringIdentifiers(const NPUTF8** names, int32_t count,
                                            NPIdentifier* identifiers) {
    if (!names || !identifiers) return;
    for (int32_t i = 0; i < count; ++i) identifiers[i] = nullptr;
    GuardedCall([&] {
        for (int32_t i = 0; i < count; ++i) identifiers[i] = BridgeGetStringIdentifier(names[i]);
    });
}

NPIdentifier NP_TABLE_CALL HostGetIntIdentifier(int32_t number) {
    return BridgeGetIntIdentifier(number);
}

// Fallback: false.
bool NP_TABLE_CALL HostIdentifierIsString(NPIdentifier identifier) {
    return GuardedCall(false, [&] { return BridgeIdentifierIsString(identifier); });
}

// Fallback: no name (null).
NPUTF8* NP_TABLE_CALL HostUTF8FromIdentifier(NPIdentifier identifier) {
    return GuardedCall<NPUTF8*>(nullptr, [&] { return BridgeUTF8FromIdentifier(identifier); });
}

int32_t NP_TABLE_CALL HostIntFromIdentifier(NPIdentifier identifier) {
    return BridgeIntFromIdentifier(identifier);
}

// Fallback: no object (null).
NPObject* NP_TABLE_CALL HostCreateObject(NPP npp, NPClass* objectClass) {
    return GuardedCall<NPObject*>(nullptr, [&] { return BridgeCreateObject(npp, objectClass); });
}

NPObject* NP_TABLE_CALL HostRetainObject(NPObject* object) {
    return BridgeRetainObject(object);
}

// Fallback: nothing more (a deallocate that threw keeps whatever it left).
void NP_TABLE_CALL HostReleaseObject(NPObject* object) {
    GuardedCall([&] { BridgeReleaseObject(object); });
}

// Fallback: false, the call failed.
bool NP_TABLE_CALL HostInvoke(NPP npp, NPObject* object, NPIdentifier method, const NPVariant* args,
                              uint32_t argCount, NPVariant* result) {
    return GuardedCall(false,
                       [&] { return BridgeInvoke(npp, object, method, args, argCount, result); });
}

bool NP_TABLE_CALL HostInvokeDefault(NPP, NPObject*, const NPVariant*, uint32_t, NPVariant*) {
    return false;
}

// Fallback: false, the evaluation failed (the movie's call gets no value).
bool NP_TABLE_CALL HostEvaluate(NPP npp, NPObject* object, NPString* script, NPVariant* result) {
    return GuardedCall(false, [&] { return BridgeEvaluate(npp, object, script, result); });
}

// Fallback: false, no such property.
bool NP_TABLE_CALL HostGetProperty(NPP npp, NPObject* object, NPIdentifier name,
                                   NPVariant* result) {
    return GuardedCall(false, [&] { return BridgeGetProperty(npp, object, name, result); });
}

bool NP_TABLE_CALL HostSetProperty(NPP, NPObject*, NPIdentifier, const NPVariant*) {
    return false;
}
bool NP_TABLE_CALL HostRemoveProperty(NPP, NPObject*, NPIdentifier) {
    return false;
}
bool NP_TABLE_CALL HostHasProperty(NPP, NPObject*, NPIdentifier) {
    return false;
}
bool NP_TABLE_CALL HostHasMethod(NPP, NPObject*, NPIdentifier) {
    return false;
}

// Fallback: nothing more (an object's deallocate that threw keeps what it left).
void NP_TABLE_CALL HostReleaseVariantValue(NPVariant* variant) {
    GuardedCall([&] { BridgeReleaseVariantValue(variant); });
}

void NP_TABLE_CALL HostSetException(NPObject*, const NPUTF8*) {}

NPObject* HostWindowScriptObject(NPP) {
    return BridgeWindowObject();
}

}  // namespace kestrel::projector
