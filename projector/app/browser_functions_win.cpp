#include "projector/app/browser_functions_win.h"

#include <windows.h>

#include <cstdlib>

#include "common/callback_guard.h"
#include "projector/app/plugin_instance_win.h"

namespace kestrel::projector {

const char kUserAgent[] =
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.8.0.3) Gecko/20060426 Larkspur/1.0.0.0";

namespace {

// Every entry that does work runs under GuardedCall: no C++ exception may
// unwind into the plug-in. The fallbacks answer failure in the entry's own
// terms (an NPError, a null pointer, nothing). Entries that only answer a
// constant cannot throw and stand unguarded.

// --- Streams the plug-in would open towards the browser: not offered ---------
// The projector gives no stream of its own and no seekable one, so each of
// these answers that it did nothing rather than claiming success.
NPError NP_TABLE_CALL HostRequestRead(NPStream*, NPByteRange*) {
    return NPERR_STREAM_NOT_SEEKABLE;
}
NPError NP_TABLE_CALL HostNewStream(NPP, NPMIMEType, const char*, NPStream** stream) {
    if (stream) *stream = nullptr;
    return NPERR_GENERIC_ERROR;
}
int32_t NP_TABLE_CALL HostWrite(NPP, NPStream*, int32_t, void*) {
    return -1;
}
NPError NP_TABLE_CALL HostDestroyStream(NPP, NPStream*, NPReason) {
    return NPERR_INVALID_PARAM;
}

// --- Browser chrome ---------------------------------------------------------------
void NP_TABLE_CALL HostStatus(NPP, const char*) {}
const char* NP_TABLE_CALL HostUserAgent(NPP) {
    return kUserAgent;
}
void NP_TABLE_CALL HostReloadPlugins(NPBool) {}
void* NP_TABLE_CALL HostGetJavaEnv() {
    return nullptr;
}
void* NP_TABLE_CALL HostGetJavaPeer(NPP) {
    return nullptr;
}

// --- Memory: the plug-in frees with NPN_MemFree what NPN_MemAlloc gave it ---------
void* NP_TABLE_CALL HostMemAlloc(uint32_t size) {
    return std::malloc(size);
}
void NP_TABLE_CALL HostMemFree(void* pointer) {
    std::free(pointer);
}
uint32_t NP_TABLE_CALL HostMemFlush(uint32_t) {
    return 0;
}

// --- Values -------------------------------------------------------------------------
// Fallback: NPERR_GENERIC_ERROR, nothing written.
NPError NP_TABLE_CALL HostGetValue(NPP npp, NPNVariable variable, void* value) {
    return GuardedCall<NPError>(NPERR_GENERIC_ERROR, [&] {
        if (!value) return NPERR_INVALID_PARAM;
        switch (variable) {
            case NPNVnetscapeWindow: {
                PluginInstance* instance = PluginInstance::FromNpp(npp);
                if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
                *static_cast<HWND*>(value) = instance->windowHandle();
                return NPERR_NO_ERROR;
            }
            case NPNVWindowNPObject: {
                NPObject* window = HostWindowScriptObject(npp);
                if (!window) return NPERR_GENERIC_ERROR;
                *static_cast<NPObject**>(value) = window;
                return NPERR_NO_ERROR;
            }
            default:
                // What the projector does not know is left as the plug-in set it:
                // the plug-in keeps its own default.
                return NPERR_NO_ERROR;
        }
    });
}

// The plug-in's settings (windowless, transparent) ask for what the projector
// does for every instance anyway.
NPError NP_TABLE_CALL HostSetValue(NPP, NPPVariable, void*) {
    return NPERR_NO_ERROR;
}

// --- Painting -------------------------------------------------------------------------
// Fallback: nothing painted.
void NP_TABLE_CALL HostInvalidateRect(NPP npp, NPRect* rect) {
    GuardedCall([&] {
        PluginInstance* instance = PluginInstance::FromNpp(npp);
        if (instance && rect) instance->repaint(*rect);
    });
}
void NP_TABLE_CALL HostInvalidateRegion(NPP, NPRegion) {}
void NP_TABLE_CALL HostForceRedraw(NPP) {}

NPNetscapeFuncs MakeTable() {
    NPNetscapeFuncs table{};
    table.size = sizeof(NPNetscapeFuncs);  // 164 in the 32-bit build
    table.version = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;
    // Streams and URLs
    table.geturl = HostGetURL;
    table.posturl = HostPostURL;
    table.requestread = HostRequestRead;
    table.newstream = HostNewStream;
    table.write = HostWrite;
    table.destroystream = HostDestroyStream;
    // Browser chrome and memory
    table.status = HostStatus;
    table.uagent = HostUserAgent;
    table.memalloc = HostMemAlloc;
    table.memfree = HostMemFree;
    table.memflush = HostMemFlush;
    table.reloadplugins = HostReloadPlugins;
    table.getJavaEnv = HostGetJavaEnv;
    table.getJavaPeer = HostGetJavaPeer;
    table.geturlnotify = HostGetURLNotify;
    table.posturlnotify = HostPostURLNotify;
    // Values and painting
    table.getvalue = HostGetValue;
    table.setvalue = HostSetValue;
    table.invalidaterect = HostInvalidateRect;
    table.invalidateregion = HostInvalidateRegion;
    table.forceredraw = HostForceRedraw;
    // Scripting
    table.getstringidentifier = HostGetStringIdentifier;
    table.getstringidentifiers = HostGetStringIdentifiers;
    table.getintidentifier = HostGetIntIdentifier;
    table.identifierisstring = HostIdentifierIsString;
    table.utf8fromidentifier = HostUTF8FromIdentifier;
    table.intfromidentifier = HostIntFromIdentifier;
    table.createobject = HostCreateObject;
    table.retainobject = HostRetainObject;
    table.releaseobject = HostReleaseObject;
    table.invoke = HostInvoke;
    table.invokeDefault = HostInvokeDefault;
    table.evaluate = HostEvaluate;
    table.getproperty = HostGetProperty;
    table.setproperty = HostSetProperty;
    table.removeproperty = HostRemoveProperty;
    table.hasproperty = HostHasProperty;
    table.hasmethod = HostHasMethod;
    table.releasevariantvalue = HostReleaseVariantValue;
    table.setexception = HostSetException;
    return table;
}

}  // namespace

NPNetscapeFuncs* BrowserFunctionTable() {
    static NPNetscapeFuncs table = MakeTable();
    return &table;
}

}  // namespace kestrel::projector
