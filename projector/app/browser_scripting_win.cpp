// Scripting entries of the browser table: identifiers and NPObject reference
// counting follow the NPAPI rules; evaluation and the window object belong to
// the script bridge and answer "nothing" until it is connected.
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <string>

#include "projector/app/browser_functions_win.h"

namespace kestrel::projector {
namespace {

// One identifier per distinct name or number, alive for the whole run; the
// NPIdentifier handed out is the record's address.
struct IdentifierRecord {
    bool isString;
    std::string text;
    int32_t number;
};

std::deque<IdentifierRecord> g_identifiers;  // deque: addresses stay stable
std::map<std::string, IdentifierRecord*> g_stringIdentifiers;
std::map<int32_t, IdentifierRecord*> g_intIdentifiers;

const IdentifierRecord* RecordOf(NPIdentifier identifier) {
    return static_cast<const IdentifierRecord*>(identifier);
}

}  // namespace

NPIdentifier NP_TABLE_CALL HostGetStringIdentifier(const NPUTF8* name) {
    if (!name) return nullptr;
    auto found = g_stringIdentifiers.find(name);
    if (found != g_stringIdentifiers.end()) return found->second;
    g_identifiers.push_back(IdentifierRecord{true, name, 0});
    IdentifierRecord* record = &g_identifiers.back();
    g_stringIdentifiers.emplace(name, record);
    return record;
}

void NP_TABLE_CALL HostGetStringIdentifiers(const NPUTF8** names, int32_t count, NPIdentifier* identifiers) {
    if (!names || !identifiers) return;
    for (int32_t i = 0; i < count; ++i) identifiers[i] = HostGetStringIdentifier(names[i]);
}

NPIdentifier NP_TABLE_CALL HostGetIntIdentifier(int32_t number) {
    auto found = g_intIdentifiers.find(number);
    if (found != g_intIdentifiers.end()) return found->second;
    g_identifiers.push_back(IdentifierRecord{false, std::string(), number});
    IdentifierRecord* record = &g_identifiers.back();
    g_intIdentifiers.emplace(number, record);
    return record;
}

bool NP_TABLE_CALL HostIdentifierIsString(NPIdentifier identifier) {
    return identifier && RecordOf(identifier)->isString;
}

NPUTF8* NP_TABLE_CALL HostUTF8FromIdentifier(NPIdentifier identifier) {
    // The caller frees the copy with NPN_MemFree (free).
    if (!identifier || !RecordOf(identifier)->isString) return nullptr;
    const std::string& text = RecordOf(identifier)->text;
    auto* copy = static_cast<NPUTF8*>(std::malloc(text.size() + 1));
    if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

int32_t NP_TABLE_CALL HostIntFromIdentifier(NPIdentifier identifier) {
    if (!identifier || RecordOf(identifier)->isString) return 0;
    return RecordOf(identifier)->number;
}

NPObject* NP_TABLE_CALL HostCreateObject(NPP npp, NPClass* objectClass) {
    if (!objectClass) return nullptr;
    NPObject* object = objectClass->allocate ? objectClass->allocate(npp, objectClass)
                                             : static_cast<NPObject*>(std::malloc(sizeof(NPObject)));
    if (!object) return nullptr;
    object->_class = objectClass;
    object->referenceCount = 1;
    return object;
}

NPObject* NP_TABLE_CALL HostRetainObject(NPObject* object) {
    if (object) ++object->referenceCount;
    return object;
}

void NP_TABLE_CALL HostReleaseObject(NPObject* object) {
    if (!object || object->referenceCount == 0) return;
    if (--object->referenceCount > 0) return;
    if (object->_class && object->_class->deallocate)
        object->_class->deallocate(object);
    else
        std::free(object);
}

bool NP_TABLE_CALL HostInvoke(NPP, NPObject*, NPIdentifier, const NPVariant*, uint32_t, NPVariant*) { return false; }
bool NP_TABLE_CALL HostInvokeDefault(NPP, NPObject*, const NPVariant*, uint32_t, NPVariant*) { return false; }
bool NP_TABLE_CALL HostEvaluate(NPP, NPObject*, NPString*, NPVariant*) { return false; }
bool NP_TABLE_CALL HostGetProperty(NPP, NPObject*, NPIdentifier, NPVariant*) { return false; }
bool NP_TABLE_CALL HostSetProperty(NPP, NPObject*, NPIdentifier, const NPVariant*) { return false; }
bool NP_TABLE_CALL HostRemoveProperty(NPP, NPObject*, NPIdentifier) { return false; }
bool NP_TABLE_CALL HostHasProperty(NPP, NPObject*, NPIdentifier) { return false; }
bool NP_TABLE_CALL HostHasMethod(NPP, NPObject*, NPIdentifier) { return false; }

void NP_TABLE_CALL HostReleaseVariantValue(NPVariant* variant) {
    if (!variant) return;
    if (variant->type == NPVariantType_String) {
        std::free(const_cast<NPUTF8*>(variant->value.stringValue.UTF8Characters));
    } else if (variant->type == NPVariantType_Object) {
        HostReleaseObject(variant->value.objectValue);
    }
    variant->type = NPVariantType_Void;
    variant->value.objectValue = nullptr;
}

void NP_TABLE_CALL HostSetException(NPObject*, const NPUTF8*) {}

NPObject* HostWindowScriptObject(NPP) { return nullptr; }

}  // namespace kestrel::projector
