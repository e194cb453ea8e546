// Scripting entries of the browser table: the script bridge answers them
// (identifiers, objects, the window object model, invoke and evaluate).
#include "projector/app/browser_functions_win.h"
#include "projector/bridge/script_bridge.h"

namespace kestrel::projector {

NPIdentifier NP_TABLE_CALL HostGetStringIdentifier(const NPUTF8* name) { return BridgeGetStringIdentifier(name); }

void NP_TABLE_CALL HostGetStringIdentifiers(const NPUTF8** names, int32_t count, NPIdentifier* identifiers) {
    if (!names || !identifiers) return;
    for (int32_t i = 0; i < count; ++i) identifiers[i] = BridgeGetStringIdentifier(names[i]);
}

NPIdentifier NP_TABLE_CALL HostGetIntIdentifier(int32_t number) { return BridgeGetIntIdentifier(number); }

bool NP_TABLE_CALL HostIdentifierIsString(NPIdentifier identifier) { return BridgeIdentifierIsString(identifier); }

NPUTF8* NP_TABLE_CALL HostUTF8FromIdentifier(NPIdentifier identifier) { return BridgeUTF8FromIdentifier(identifier); }

int32_t NP_TABLE_CALL HostIntFromIdentifier(NPIdentifier identifier) { return BridgeIntFromIdentifier(identifier); }

NPObject* NP_TABLE_CALL HostCreateObject(NPP npp, NPClass* objectClass) { return BridgeCreateObject(npp, objectClass); }

NPObject* NP_TABLE_CALL HostRetainObject(NPObject* object) { return BridgeRetainObject(object); }

void NP_TABLE_CALL HostReleaseObject(NPObject* object) { BridgeReleaseObject(object); }

bool NP_TABLE_CALL HostInvoke(NPP npp, NPObject* object, NPIdentifier method, const NPVariant* args, uint32_t argCount,
                              NPVariant* result) {
    return BridgeInvoke(npp, object, method, args, argCount, result);
}

bool NP_TABLE_CALL HostInvokeDefault(NPP, NPObject*, const NPVariant*, uint32_t, NPVariant*) { return false; }

bool NP_TABLE_CALL HostEvaluate(NPP npp, NPObject* object, NPString* script, NPVariant* result) {
    return BridgeEvaluate(npp, object, script, result);
}

bool NP_TABLE_CALL HostGetProperty(NPP npp, NPObject* object, NPIdentifier name, NPVariant* result) {
    return BridgeGetProperty(npp, object, name, result);
}

bool NP_TABLE_CALL HostSetProperty(NPP, NPObject*, NPIdentifier, const NPVariant*) { return false; }
bool NP_TABLE_CALL HostRemoveProperty(NPP, NPObject*, NPIdentifier) { return false; }
bool NP_TABLE_CALL HostHasProperty(NPP, NPObject*, NPIdentifier) { return false; }
bool NP_TABLE_CALL HostHasMethod(NPP, NPObject*, NPIdentifier) { return false; }

void NP_TABLE_CALL HostReleaseVariantValue(NPVariant* variant) { BridgeReleaseVariantValue(variant); }

void NP_TABLE_CALL HostSetException(NPObject*, const NPUTF8*) {}

NPObject* HostWindowScriptObject(NPP) { return BridgeWindowObject(); }

}  // namespace kestrel::projector
