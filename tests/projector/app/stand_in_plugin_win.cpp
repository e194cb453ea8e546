// A stand-in for npfp.dll that skylet tests put into a projector in place of
// the real player: it refuses the movie's stream, writes what the projector
// asked of it to the file named by KESTREL_STAND_IN_LOG (one line each), and
// fails a loading step when KESTREL_STAND_IN_FAULT names it ("entry points",
// "initialize"). With "oversized request" it asks the projector, from inside
// NPP_New, for a request with more arguments than memory could hold, so that
// the projector's entry has to survive a throw of its own.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/callback_guard.h"
#include "common/npapi/npapi_abi.h"

namespace {

NPNetscapeFuncs* g_browser = nullptr;  // not owned: the projector's table

std::string Environment(const char* name) {
    char value[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

// Called from every entry, so it never lets an exception out.
void Log(const std::string& line) noexcept {
    kestrel::GuardedCall([&] {
        const std::string path = Environment("KESTREL_STAND_IN_LOG");
        if (path.empty()) return;
        if (std::FILE* file = std::fopen(path.c_str(), "ab")) {
            std::fputs((line + "\n").c_str(), file);
            std::fclose(file);
        }
    });
}

bool Fault(const char* step) {
    return Environment("KESTREL_STAND_IN_FAULT") == step;
}

// The scriptable object: every call into the movie is logged by name.
bool NP_TABLE_CALL Invoke(NPObject*, NPIdentifier name, const NPVariant*, uint32_t,
                          NPVariant* result) {
    return kestrel::GuardedCall(false, [&] {
        NPUTF8* text = g_browser->utf8fromidentifier(name);
        Log(std::string("invoke ") + (text ? text : "?"));
        if (text) g_browser->memfree(text);
        result->type = NPVariantType_Void;
        return true;
    });
}

NPClass MakeScriptableClass() {
    NPClass scriptable{};
    scriptable.structVersion = NP_CLASS_STRUCT_VERSION;
    scriptable.invoke = Invoke;
    return scriptable;
}
NPClass g_scriptableClass = MakeScriptableClass();

void AskForAnOversizedRequest(NPP npp) {
    NPObject* window = nullptr;
    if (g_browser->getvalue(npp, NPNVWindowNPObject, &window) != NPERR_NO_ERROR || !window) return;
    NPVariant name;
    name.type = NPVariantType_String;
    name.value.stringValue.UTF8Characters = "f";
    name.value.stringValue.UTF8Length = 1;
    NPVariant result;
    result.type = NPVariantType_Void;
    // Only the first argument exists: the count alone is too large to build.
    const bool answered =
        g_browser->invoke(npp, window, g_browser->getstringidentifier("__flash__request"), &name,
                          0xFFFFFFFFu, &result);
    Log(answered ? "oversized request answered" : "oversized request failed");
    if (answered) g_browser->releasevariantvalue(&result);
    g_browser->releaseobject(window);
}

NPError NP_TABLE_CALL New(NPMIMEType, NPP npp, uint16_t, int16_t, char**, char**, NPSavedData*) {
    return kestrel::GuardedCall<NPError>(NPERR_GENERIC_ERROR, [&] {
        Log("new");
        if (Fault("oversized request")) AskForAnOversizedRequest(npp);
        return NPERR_NO_ERROR;
    });
}
NPError NP_TABLE_CALL Destroy(NPP, NPSavedData**) {
    Log("destroy");
    return NPERR_NO_ERROR;
}
NPError NP_TABLE_CALL SetWindow(NPP, NPWindow*) {
    return NPERR_NO_ERROR;
}
NPError NP_TABLE_CALL NewStream(NPP, NPMIMEType type, NPStream*, NPBool, uint16_t*) {
    kestrel::GuardedCall([&] { Log(std::string("refused stream ") + type); });
    return NPERR_GENERIC_ERROR;
}
NPError NP_TABLE_CALL DestroyStream(NPP, NPStream*, NPReason) {
    Log("destroystream");
    return NPERR_NO_ERROR;
}
void NP_TABLE_CALL StreamAsFile(NPP, NPStream*, const char*) {}
int32_t NP_TABLE_CALL WriteReady(NPP, NPStream*) {
    return 0;
}
int32_t NP_TABLE_CALL Write(NPP, NPStream*, int32_t, int32_t, void*) {
    return -1;
}
void NP_TABLE_CALL Print(NPP, NPPrint*) {}
int16_t NP_TABLE_CALL HandleEvent(NPP, void*) {
    return 0;
}
void NP_TABLE_CALL UrlNotify(NPP, const char*, NPReason, void*) {}
NPError NP_TABLE_CALL GetValue(NPP npp, NPPVariable variable, void* value) {
    if (variable != NPPVpluginScriptableNPObject || !value) return NPERR_GENERIC_ERROR;
    *static_cast<NPObject**>(value) = g_browser->createobject(npp, &g_scriptableClass);
    return NPERR_NO_ERROR;
}
NPError NP_TABLE_CALL SetValue(NPP, NPNVariable, void*) {
    return NPERR_GENERIC_ERROR;
}

}  // namespace

extern "C" {

void NP_ENTRY_CALL Flash_DisableLocalSecurity(void) {}

NPError NP_ENTRY_CALL NP_GetEntryPoints(NPPluginFuncs* functions) {
    if (!functions || kestrel::GuardedCall(true, [] { return Fault("entry points"); }))
        return NPERR_GENERIC_ERROR;
    functions->version = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;
    functions->newp = New;
    functions->destroy = Destroy;
    functions->setwindow = SetWindow;
    functions->newstream = NewStream;
    functions->destroystream = DestroyStream;
    functions->asfile = StreamAsFile;
    functions->writeready = WriteReady;
    functions->write = Write;
    functions->print = Print;
    functions->event = HandleEvent;
    functions->urlnotify = UrlNotify;
    functions->getvalue = GetValue;
    functions->setvalue = SetValue;
    return NPERR_NO_ERROR;
}

NPError NP_ENTRY_CALL NP_Initialize(NPNetscapeFuncs* browser) {
    if (!browser || kestrel::GuardedCall(true, [] { return Fault("initialize"); }))
        return NPERR_GENERIC_ERROR;
    g_browser = browser;
    return NPERR_NO_ERROR;
}

NPError NP_ENTRY_CALL NP_Shutdown(void) {
    g_browser = nullptr;
    return NPERR_NO_ERROR;
}

}  // extern "C"
