// Our declarations of the Netscape plug-in interface (NPAPI) as it is laid out
// on Windows: the structures, codes and function tables that cross between the
// projector (the browser side) and npfp.dll (the plug-in side).
//
// Calling conventions on Windows: the three library entry points
// (NP_GetEntryPoints, NP_Initialize, NP_Shutdown) are WINAPI (__stdcall); every
// function reached through the two tables uses the C default (__cdecl).
// Both tables begin with a 16-bit size and a 16-bit version; the browser table
// is 164 bytes and the plug-in table 60 bytes in the 32-bit build.
#pragma once

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define NP_ENTRY_CALL __stdcall
#else
#define NP_ENTRY_CALL
#endif
// Table functions: the platform's default C convention.
#define NP_TABLE_CALL

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned char NPBool;
typedef int16_t NPError;
typedef int16_t NPReason;
typedef char* NPMIMEType;
typedef char NPUTF8;
typedef void* NPIdentifier;
typedef void* NPRegion;  // HRGN on Windows

// --- Error, reason, mode and stream-type codes --------------------------------
enum {
    NPERR_NO_ERROR = 0,
    NPERR_GENERIC_ERROR = 1,
    NPERR_INVALID_INSTANCE_ERROR = 2,
    NPERR_INVALID_FUNCTABLE_ERROR = 3,
    NPERR_MODULE_LOAD_FAILED_ERROR = 4,
    NPERR_OUT_OF_MEMORY_ERROR = 5,
    NPERR_INVALID_PLUGIN_ERROR = 6,
    NPERR_INVALID_PLUGIN_DIR_ERROR = 7,
    NPERR_INCOMPATIBLE_VERSION_ERROR = 8,
    NPERR_INVALID_PARAM = 9,
    NPERR_INVALID_URL = 10,
    NPERR_FILE_NOT_FOUND = 11,
    NPERR_NO_DATA = 12,
    NPERR_STREAM_NOT_SEEKABLE = 13
};

enum { NPRES_DONE = 0, NPRES_NETWORK_ERR = 1, NPRES_USER_BREAK = 2 };

enum { NP_EMBED = 1, NP_FULL = 2 };

enum { NP_NORMAL = 1, NP_SEEK = 2, NP_ASFILE = 3, NP_ASFILEONLY = 4 };

// Version 14 is the one whose tables end with NPN_SetException.
enum { NP_VERSION_MAJOR = 0, NP_VERSION_MINOR = 14 };

// --- Variables asked of the plug-in (NPP_GetValue / NPN_SetValue) --------------
typedef enum {
    NPPVpluginNameString = 1,
    NPPVpluginDescriptionString = 2,
    NPPVpluginWindowBool = 3,
    NPPVpluginTransparentBool = 4,
    NPPVjavaClass = 5,
    NPPVpluginWindowSize = 6,
    NPPVpluginTimerInterval = 7,
    NPPVpluginScriptableInstance = 10,
    NPPVpluginScriptableIID = 11,
    NPPVjavascriptPushCallerBool = 12,
    NPPVpluginKeepLibraryInMemory = 13,
    NPPVpluginNeedsXEmbed = 14,
    NPPVpluginScriptableNPObject = 15
} NPPVariable;

// --- Variables asked of the browser (NPN_GetValue / NPP_SetValue) --------------
typedef enum {
    NPNVxDisplay = 1,
    NPNVxtAppContext = 2,
    NPNVnetscapeWindow = 3,
    NPNVjavascriptEnabledBool = 4,
    NPNVasdEnabledBool = 5,
    NPNVisOfflineBool = 6,
    NPNVserviceManager = 10,
    NPNVDOMElement = 11,
    NPNVDOMWindow = 12,
    NPNVToolkit = 13,
    NPNVSupportsXEmbedBool = 14,
    NPNVWindowNPObject = 15,
    NPNVPluginElementNPObject = 16
} NPNVariable;

// --- Instance, streams, windows, events -----------------------------------------
typedef struct _NPP {
    void* pdata;  // the plug-in's own instance data
    void* ndata;  // the browser's instance data
} NPP_t;
typedef NPP_t* NPP;

typedef struct _NPStream {
    void* pdata;  // plug-in's
    void* ndata;  // browser's
    const char* url;
    uint32_t end;  // byte count, 0 when unknown
    uint32_t lastmodified;
    void* notifyData;
    const char* headers;
} NPStream;

typedef struct _NPByteRange {
    int32_t offset;
    uint32_t length;
    struct _NPByteRange* next;
} NPByteRange;

typedef struct _NPSavedData {
    int32_t len;
    void* buf;
} NPSavedData;

typedef struct _NPRect {
    uint16_t top;
    uint16_t left;
    uint16_t bottom;
    uint16_t right;
} NPRect;

typedef enum { NPWindowTypeWindow = 1, NPWindowTypeDrawable = 2 } NPWindowType;

typedef struct _NPWindow {
    void* window;  // HWND for a window, HDC for a drawable
    int32_t x;
    int32_t y;
    uint32_t width;
    uint32_t height;
    NPRect clipRect;  // top, left, bottom, right
    NPWindowType type;
} NPWindow;

// Windows events: a window message with its two parameters.
typedef struct _NPEvent {
    uint16_t event;
    uintptr_t wParam;
    intptr_t lParam;
} NPEvent;

typedef struct _NPFullPrint {
    NPBool pluginPrinted;
    NPBool printOne;
    void* platformPrint;
} NPFullPrint;

typedef struct _NPEmbedPrint {
    NPWindow window;
    void* platformPrint;
} NPEmbedPrint;

typedef struct _NPPrint {
    uint16_t mode;
    union {
        NPFullPrint fullPrint;
        NPEmbedPrint embedPrint;
    } print;
} NPPrint;

// --- Scripting values and objects -------------------------------------------------
typedef struct _NPString {
    const NPUTF8* UTF8Characters;
    uint32_t UTF8Length;  // bytes, no terminating zero counted
} NPString;

typedef enum {
    NPVariantType_Void = 0,
    NPVariantType_Null = 1,
    NPVariantType_Bool = 2,
    NPVariantType_Int32 = 3,
    NPVariantType_Double = 4,
    NPVariantType_String = 5,
    NPVariantType_Object = 6
} NPVariantType;

struct NPObject;

typedef struct _NPVariant {
    NPVariantType type;
    union {
        bool boolValue;
        int32_t intValue;
        double doubleValue;
        NPString stringValue;
        struct NPObject* objectValue;
    } value;
} NPVariant;

typedef struct NPObject* (*NPAllocateFunctionPtr)(NPP npp, struct NPClass* aClass);
typedef void (*NPDeallocateFunctionPtr)(struct NPObject* npobj);
typedef void (*NPInvalidateFunctionPtr)(struct NPObject* npobj);
typedef bool (*NPHasMethodFunctionPtr)(struct NPObject* npobj, NPIdentifier name);
typedef bool (*NPInvokeFunctionPtr)(struct NPObject* npobj, NPIdentifier name,
                                    const NPVariant* args, uint32_t argCount, NPVariant* result);
typedef bool (*NPInvokeDefaultFunctionPtr)(struct NPObject* npobj, const NPVariant* args,
                                           uint32_t argCount, NPVariant* result);
typedef bool (*NPHasPropertyFunctionPtr)(struct NPObject* npobj, NPIdentifier name);
typedef bool (*NPGetPropertyFunctionPtr)(struct NPObject* npobj, NPIdentifier name,
                                         NPVariant* result);
typedef bool (*NPSetPropertyFunctionPtr)(struct NPObject* npobj, NPIdentifier name,
                                         const NPVariant* value);
typedef bool (*NPRemovePropertyFunctionPtr)(struct NPObject* npobj, NPIdentifier name);
typedef bool (*NPEnumerationFunctionPtr)(struct NPObject* npobj, NPIdentifier** value,
                                         uint32_t* count);
typedef bool (*NPConstructFunctionPtr)(struct NPObject* npobj, const NPVariant* args,
                                       uint32_t argCount, NPVariant* result);

enum { NP_CLASS_STRUCT_VERSION = 3 };

typedef struct NPClass {
    uint32_t structVersion;
    NPAllocateFunctionPtr allocate;
    NPDeallocateFunctionPtr deallocate;
    NPInvalidateFunctionPtr invalidate;
    NPHasMethodFunctionPtr hasMethod;
    NPInvokeFunctionPtr invoke;
    NPInvokeDefaultFunctionPtr invokeDefault;
    NPHasPropertyFunctionPtr hasProperty;
    NPGetPropertyFunctionPtr getProperty;
    NPSetPropertyFunctionPtr setProperty;
    NPRemovePropertyFunctionPtr removeProperty;
    NPEnumerationFunctionPtr enumerate;
    NPConstructFunctionPtr construct;
} NPClass;

typedef struct NPObject {
    NPClass* _class;
    uint32_t referenceCount;
} NPObject;

// --- Plug-in side: the table filled by NP_GetEntryPoints ------------------------------
typedef NPError(NP_TABLE_CALL* NPP_NewProcPtr)(NPMIMEType pluginType, NPP instance, uint16_t mode,
                                               int16_t argc, char* argn[], char* argv[],
                                               NPSavedData* saved);
typedef NPError(NP_TABLE_CALL* NPP_DestroyProcPtr)(NPP instance, NPSavedData** save);
typedef NPError(NP_TABLE_CALL* NPP_SetWindowProcPtr)(NPP instance, NPWindow* window);
typedef NPError(NP_TABLE_CALL* NPP_NewStreamProcPtr)(NPP instance, NPMIMEType type,
                                                     NPStream* stream, NPBool seekable,
                                                     uint16_t* stype);
typedef NPError(NP_TABLE_CALL* NPP_DestroyStreamProcPtr)(NPP instance, NPStream* stream,
                                                         NPReason reason);
typedef void(NP_TABLE_CALL* NPP_StreamAsFileProcPtr)(NPP instance, NPStream* stream,
                                                     const char* fname);
typedef int32_t(NP_TABLE_CALL* NPP_WriteReadyProcPtr)(NPP instance, NPStream* stream);
typedef int32_t(NP_TABLE_CALL* NPP_WriteProcPtr)(NPP instance, NPStream* stream, int32_t offset,
                                                 int32_t len, void* buffer);
typedef void(NP_TABLE_CALL* NPP_PrintProcPtr)(NPP instance, NPPrint* platformPrint);
typedef int16_t(NP_TABLE_CALL* NPP_HandleEventProcPtr)(NPP instance, void* event);
typedef void(NP_TABLE_CALL* NPP_URLNotifyProcPtr)(NPP instance, const char* url, NPReason reason,
                                                  void* notifyData);
typedef NPError(NP_TABLE_CALL* NPP_GetValueProcPtr)(NPP instance, NPPVariable variable,
                                                    void* value);
typedef NPError(NP_TABLE_CALL* NPP_SetValueProcPtr)(NPP instance, NPNVariable variable,
                                                    void* value);

typedef struct _NPPluginFuncs {
    uint16_t size;
    uint16_t version;
    NPP_NewProcPtr newp;
    NPP_DestroyProcPtr destroy;
    NPP_SetWindowProcPtr setwindow;
    NPP_NewStreamProcPtr newstream;
    NPP_DestroyStreamProcPtr destroystream;
    NPP_StreamAsFileProcPtr asfile;
    NPP_WriteReadyProcPtr writeready;
    NPP_WriteProcPtr write;
    NPP_PrintProcPtr print;
    NPP_HandleEventProcPtr event;
    NPP_URLNotifyProcPtr urlnotify;
    void* javaClass;
    NPP_GetValueProcPtr getvalue;
    NPP_SetValueProcPtr setvalue;
} NPPluginFuncs;

// --- Browser side: the table handed to NP_Initialize ------------------------------
typedef NPError(NP_TABLE_CALL* NPN_GetURLProcPtr)(NPP instance, const char* url,
                                                  const char* window);
typedef NPError(NP_TABLE_CALL* NPN_PostURLProcPtr)(NPP instance, const char* url,
                                                   const char* window, uint32_t len,
                                                   const char* buf, NPBool file);
typedef NPError(NP_TABLE_CALL* NPN_RequestReadProcPtr)(NPStream* stream, NPByteRange* rangeList);
typedef NPError(NP_TABLE_CALL* NPN_NewStreamProcPtr)(NPP instance, NPMIMEType type,
                                                     const char* window, NPStream** stream);
typedef int32_t(NP_TABLE_CALL* NPN_WriteProcPtr)(NPP instance, NPStream* stream, int32_t len,
                                                 void* buffer);
typedef NPError(NP_TABLE_CALL* NPN_DestroyStreamProcPtr)(NPP instance, NPStream* stream,
                                                         NPReason reason);
typedef void(NP_TABLE_CALL* NPN_StatusProcPtr)(NPP instance, const char* message);
typedef const char*(NP_TABLE_CALL* NPN_UserAgentProcPtr)(NPP instance);
typedef void*(NP_TABLE_CALL* NPN_MemAllocProcPtr)(uint32_t size);
typedef void(NP_TABLE_CALL* NPN_MemFreeProcPtr)(void* ptr);
typedef uint32_t(NP_TABLE_CALL* NPN_MemFlushProcPtr)(uint32_t size);
typedef void(NP_TABLE_CALL* NPN_ReloadPluginsProcPtr)(NPBool reloadPages);
typedef void*(NP_TABLE_CALL* NPN_GetJavaEnvProcPtr)(void);
typedef void*(NP_TABLE_CALL* NPN_GetJavaPeerProcPtr)(NPP instance);
typedef NPError(NP_TABLE_CALL* NPN_GetURLNotifyProcPtr)(NPP instance, const char* url,
                                                        const char* window, void* notifyData);
typedef NPError(NP_TABLE_CALL* NPN_PostURLNotifyProcPtr)(NPP instance, const char* url,
                                                         const char* window, uint32_t len,
                                                         const char* buf, NPBool file,
                                                         void* notifyData);
typedef NPError(NP_TABLE_CALL* NPN_GetValueProcPtr)(NPP instance, NPNVariable variable,
                                                    void* value);
typedef NPError(NP_TABLE_CALL* NPN_SetValueProcPtr)(NPP instance, NPPVariable variable,
                                                    void* value);
typedef void(NP_TABLE_CALL* NPN_InvalidateRectProcPtr)(NPP instance, NPRect* rect);
typedef void(NP_TABLE_CALL* NPN_InvalidateRegionProcPtr)(NPP instance, NPRegion region);
typedef void(NP_TABLE_CALL* NPN_ForceRedrawProcPtr)(NPP instance);
typedef NPIdentifier(NP_TABLE_CALL* NPN_GetStringIdentifierProcPtr)(const NPUTF8* name);
typedef void(NP_TABLE_CALL* NPN_GetStringIdentifiersProcPtr)(const NPUTF8** names,
                                                             int32_t nameCount,
                                                             NPIdentifier* identifiers);
typedef NPIdentifier(NP_TABLE_CALL* NPN_GetIntIdentifierProcPtr)(int32_t intid);
typedef bool(NP_TABLE_CALL* NPN_IdentifierIsStringProcPtr)(NPIdentifier identifier);
typedef NPUTF8*(NP_TABLE_CALL* NPN_UTF8FromIdentifierProcPtr)(NPIdentifier identifier);
typedef int32_t(NP_TABLE_CALL* NPN_IntFromIdentifierProcPtr)(NPIdentifier identifier);
typedef NPObject*(NP_TABLE_CALL* NPN_CreateObjectProcPtr)(NPP npp, NPClass* aClass);
typedef NPObject*(NP_TABLE_CALL* NPN_RetainObjectProcPtr)(NPObject* obj);
typedef void(NP_TABLE_CALL* NPN_ReleaseObjectProcPtr)(NPObject* obj);
typedef bool(NP_TABLE_CALL* NPN_InvokeProcPtr)(NPP npp, NPObject* obj, NPIdentifier methodName,
                                               const NPVariant* args, uint32_t argCount,
                                               NPVariant* result);
typedef bool(NP_TABLE_CALL* NPN_InvokeDefaultProcPtr)(NPP npp, NPObject* obj, const NPVariant* args,
                                                      uint32_t argCount, NPVariant* result);
typedef bool(NP_TABLE_CALL* NPN_EvaluateProcPtr)(NPP npp, NPObject* obj, NPString* script,
                                                 NPVariant* result);
typedef bool(NP_TABLE_CALL* NPN_GetPropertyProcPtr)(NPP npp, NPObject* obj,
                                                    NPIdentifier propertyName, NPVariant* result);
typedef bool(NP_TABLE_CALL* NPN_SetPropertyProcPtr)(NPP npp, NPObject* obj,
                                                    NPIdentifier propertyName,
                                                    const NPVariant* value);
typedef bool(NP_TABLE_CALL* NPN_RemovePropertyProcPtr)(NPP npp, NPObject* obj,
                                                       NPIdentifier propertyName);
typedef bool(NP_TABLE_CALL* NPN_HasPropertyProcPtr)(NPP npp, NPObject* obj,
                                                    NPIdentifier propertyName);
typedef bool(NP_TABLE_CALL* NPN_HasMethodProcPtr)(NPP npp, NPObject* obj, NPIdentifier methodName);
typedef void(NP_TABLE_CALL* NPN_ReleaseVariantValueProcPtr)(NPVariant* variant);
typedef void(NP_TABLE_CALL* NPN_SetExceptionProcPtr)(NPObject* obj, const NPUTF8* message);

typedef struct _NPNetscapeFuncs {
    uint16_t size;
    uint16_t version;
    NPN_GetURLProcPtr geturl;
    NPN_PostURLProcPtr posturl;
    NPN_RequestReadProcPtr requestread;
    NPN_NewStreamProcPtr newstream;
    NPN_WriteProcPtr write;
    NPN_DestroyStreamProcPtr destroystream;
    NPN_StatusProcPtr status;
    NPN_UserAgentProcPtr uagent;
    NPN_MemAllocProcPtr memalloc;
    NPN_MemFreeProcPtr memfree;
    NPN_MemFlushProcPtr memflush;
    NPN_ReloadPluginsProcPtr reloadplugins;
    NPN_GetJavaEnvProcPtr getJavaEnv;
    NPN_GetJavaPeerProcPtr getJavaPeer;
    NPN_GetURLNotifyProcPtr geturlnotify;
    NPN_PostURLNotifyProcPtr posturlnotify;
    NPN_GetValueProcPtr getvalue;
    NPN_SetValueProcPtr setvalue;
    NPN_InvalidateRectProcPtr invalidaterect;
    NPN_InvalidateRegionProcPtr invalidateregion;
    NPN_ForceRedrawProcPtr forceredraw;
    NPN_GetStringIdentifierProcPtr getstringidentifier;
    NPN_GetStringIdentifiersProcPtr getstringidentifiers;
    NPN_GetIntIdentifierProcPtr getintidentifier;
    NPN_IdentifierIsStringProcPtr identifierisstring;
    NPN_UTF8FromIdentifierProcPtr utf8fromidentifier;
    NPN_IntFromIdentifierProcPtr intfromidentifier;
    NPN_CreateObjectProcPtr createobject;
    NPN_RetainObjectProcPtr retainobject;
    NPN_ReleaseObjectProcPtr releaseobject;
    NPN_InvokeProcPtr invoke;
    NPN_InvokeDefaultProcPtr invokeDefault;
    NPN_EvaluateProcPtr evaluate;
    NPN_GetPropertyProcPtr getproperty;
    NPN_SetPropertyProcPtr setproperty;
    NPN_RemovePropertyProcPtr removeproperty;
    NPN_HasPropertyProcPtr hasproperty;
    NPN_HasMethodProcPtr hasmethod;
    NPN_ReleaseVariantValueProcPtr releasevariantvalue;
    NPN_SetExceptionProcPtr setexception;
} NPNetscapeFuncs;

// --- Library entry points, exported by plain name ------------------------------------
typedef NPError(NP_ENTRY_CALL* NP_GetEntryPointsFunc)(NPPluginFuncs* pluginFuncs);
typedef NPError(NP_ENTRY_CALL* NP_InitializeFunc)(NPNetscapeFuncs* browserFuncs);
typedef NPError(NP_ENTRY_CALL* NP_ShutdownFunc)(void);
typedef void(NP_ENTRY_CALL* Flash_DisableLocalSecurityFunc)(void);

#ifdef __cplusplus
}  // extern "C"
#endif

// The two table sizes the 32-bit ABI fixes: 2 x uint16 then 40 (resp. 14)
// pointers. Elsewhere the size is simply the structure's size.
#define NP_BROWSER_FUNCS_SIZE_32 164
#define NP_PLUGIN_FUNCS_SIZE_32 60
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(NPNetscapeFuncs) == NP_BROWSER_FUNCS_SIZE_32, "browser table layout");
static_assert(sizeof(NPPluginFuncs) == NP_PLUGIN_FUNCS_SIZE_32, "plug-in table layout");
static_assert(sizeof(NPWindow) == 32, "NPWindow layout");
static_assert(sizeof(NPEvent) == 12, "NPEvent layout");
static_assert(sizeof(NPStream) == 28, "NPStream layout");
static_assert(sizeof(NPVariant) == 16, "NPVariant layout");
#elif defined(_WIN64)
// The same structures with 8-byte pointers and natural alignment, as 64-bit
// browsers and plug-ins lay them out.
static_assert(sizeof(NPNetscapeFuncs) == 328, "browser table layout");
static_assert(sizeof(NPPluginFuncs) == 120, "plug-in table layout");
static_assert(sizeof(NPWindow) == 40, "NPWindow layout");
static_assert(sizeof(NPEvent) == 24, "NPEvent layout");
static_assert(sizeof(NPStream) == 48, "NPStream layout");
static_assert(sizeof(NPVariant) == 24, "NPVariant layout");
#endif
static_assert(sizeof(NPNetscapeFuncs) - offsetof(NPNetscapeFuncs, geturl) == 40 * sizeof(void*),
              "browser table has 40 entries");
static_assert(sizeof(NPPluginFuncs) - offsetof(NPPluginFuncs, newp) == 14 * sizeof(void*),
              "plug-in table has 14 entries");
