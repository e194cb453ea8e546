// The browser side of the plug-in interface: the one function table handed
// to NP_Initialize. The entries live in three files by role:
//   browser_functions_win.cpp    streams, memory, values, painting
//   browser_url_requests_win.cpp URL requests (NPN_GetURL, ...Notify)
//   browser_scripting_win.cpp    identifiers, objects, invoke, evaluate
#pragma once

#include "common/npapi/npapi_abi.h"

namespace kestrel::projector {

// Size 164 and version 14 in the 32-bit build; every entry is set.
NPNetscapeFuncs* BrowserFunctionTable();

// The fixed user-agent text.
extern const char kUserAgent[];

// URL requests.
NPError NP_TABLE_CALL HostGetURL(NPP instance, const char* url, const char* target);
NPError NP_TABLE_CALL HostPostURL(NPP instance, const char* url, const char* target,
                                  uint32_t length, const char* buffer, NPBool isFile);
NPError NP_TABLE_CALL HostGetURLNotify(NPP instance, const char* url, const char* target,
                                       void* notifyData);
NPError NP_TABLE_CALL HostPostURLNotify(NPP instance, const char* url, const char* target,
                                        uint32_t length, const char* buffer, NPBool isFile,
                                        void* notifyData);

// Scripting.
NPIdentifier NP_TABLE_CALL HostGetStringIdentifier(const NPUTF8* name);
void NP_TABLE_CALL HostGetStringIdentifiers(const NPUTF8** names, int32_t count,
                                            NPIdentifier* identifiers);
NPIdentifier NP_TABLE_CALL HostGetIntIdentifier(int32_t number);
bool NP_TABLE_CALL HostIdentifierIsString(NPIdentifier identifier);
NPUTF8* NP_TABLE_CALL HostUTF8FromIdentifier(NPIdentifier identifier);
int32_t NP_TABLE_CALL HostIntFromIdentifier(NPIdentifier identifier);
NPObject* NP_TABLE_CALL HostCreateObject(NPP instance, NPClass* objectClass);
NPObject* NP_TABLE_CALL HostRetainObject(NPObject* object);
void NP_TABLE_CALL HostReleaseObject(NPObject* object);
bool NP_TABLE_CALL HostInvoke(NPP instance, NPObject* object, NPIdentifier method,
                              const NPVariant* args, uint32_t argCount, NPVariant* result);
bool NP_TABLE_CALL HostInvokeDefault(NPP instance, NPObject* object, const NPVariant* args,
                                     uint32_t argCount, NPVariant* result);
bool NP_TABLE_CALL HostEvaluate(NPP instance, NPObject* object, NPString* script,
                                NPVariant* result);
bool NP_TABLE_CALL HostGetProperty(NPP instance, NPObject* object, NPIdentifier name,
                                   NPVariant* result);
bool NP_TABLE_CALL HostSetProperty(NPP instance, NPObject* object, NPIdentifier name,
                                   const NPVariant* value);
bool NP_TABLE_CALL HostRemoveProperty(NPP instance, NPObject* object, NPIdentifier name);
bool NP_TABLE_CALL HostHasProperty(NPP instance, NPObject* object, NPIdentifier name);
bool NP_TABLE_CALL HostHasMethod(NPP instance, NPObject* object, NPIdentifier name);
void NP_TABLE_CALL HostReleaseVariantValue(NPVariant* variant);
void NP_TABLE_CALL HostSetException(NPObject* object, const NPUTF8* message);

// The window script object handed out for NPNVWindowNPObject, retained for
// the caller; null while there is none.
NPObject* HostWindowScriptObject(NPP instance);

}  // namespace kestrel::projector
