// The library's exports and its NPP_ table. Each entry checks its arguments,
// finds the instance and hands over; no exception leaves these functions.
#include <windows.h>

#include <new>
#include <string>
#include <utility>
#include <vector>

#include "common/callback_guard.h"
#include "common/npapi/npapi_abi.h"
#include "player/shell/browser_table.h"
#include "player/shell/shell_instance_win.h"

using kestrel::GuardedCall;
using kestrel::shell::ShellInstance;

namespace {

ShellInstance* InstanceOf(NPP npp) {
    return npp ? static_cast<ShellInstance*>(npp->pdata) : nullptr;
}

NPError NP_TABLE_CALL ShellNew(NPMIMEType /*type*/, NPP npp, uint16_t /*mode*/, int16_t argc,
                               char* argn[], char* argv[], NPSavedData* /*saved*/) {
    if (!npp) return NPERR_INVALID_INSTANCE_ERROR;
    return GuardedCall<NPError>(NPERR_OUT_OF_MEMORY_ERROR, [&] {
        std::vector<std::pair<std::string, std::string>> parameters;
        for (int16_t i = 0; i < argc && argn && argv; ++i)
            parameters.emplace_back(argn[i] ? argn[i] : "", argv[i] ? argv[i] : "");
        npp->pdata = new ShellInstance(npp, std::move(parameters));
        return NPERR_NO_ERROR;
    });
}

NPError NP_TABLE_CALL ShellDestroy(NPP npp, NPSavedData** save) {
    if (save) *save = nullptr;
    ShellInstance* instance = InstanceOf(npp);
    if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
    npp->pdata = nullptr;
    return GuardedCall<NPError>(NPERR_GENERIC_ERROR, [&] {
        ShellInstance::Destroy(instance);
        return NPERR_NO_ERROR;
    });
}

NPError NP_TABLE_CALL ShellSetWindow(NPP npp, NPWindow* window) {
    ShellInstance* instance = InstanceOf(npp);
    if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
    ShellInstance::CallScope scope(*instance);
    return GuardedCall<NPError>(NPERR_GENERIC_ERROR, [&] { return instance->setWindow(window); });
}

NPError NP_TABLE_CALL ShellNewStream(NPP npp, NPMIMEType /*type*/, NPStream* stream,
                                     NPBool /*seekable*/, uint16_t* streamType) {
    ShellInstance* instance = InstanceOf(npp);
    if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
    ShellInstance::CallScope scope(*instance);
    return GuardedCall<NPError>(NPERR_OUT_OF_MEMORY_ERROR,
                                [&] { return instance->newStream(stream, streamType); });
}

NPError NP_TABLE_CALL ShellDestroyStream(NPP npp, NPStream* stream, NPReason reason) {
    ShellInstance* instance = InstanceOf(npp);
    if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
    ShellInstance::CallScope scope(*instance);
    return GuardedCall<NPError>(NPERR_OUT_OF_MEMORY_ERROR,
                                [&] { return instance->destroyStream(stream, reason); });
}

void NP_TABLE_CALL ShellStreamAsFile(NPP npp, NPStream* stream, const char* fileName) {
    ShellInstance* instance = InstanceOf(npp);
    if (!instance) return;
    ShellInstance::CallScope scope(*instance);
    GuardedCall([&] { instance->streamAsFile(stream, fileName); });
}

int32_t NP_TABLE_CALL ShellWriteReady(NPP npp, NPStream* stream) {
    ShellInstance* instance = InstanceOf(npp);
    if (!instance) return -1;
    return GuardedCall<int32_t>(-1, [&] { return instance->writeReady(stream); });
}

int32_t NP_TABLE_CALL ShellWrite(NPP npp, NPStream* stream, int32_t offset, int32_t length,
                                 void* buffer) {
    ShellInstance* instance = InstanceOf(npp);
    if (!instance) return -1;
    ShellInstance::CallScope scope(*instance);
    // -1 on failure (out of memory): the host ends the stream.
    return GuardedCall<int32_t>(-1,
                                [&] { return instance->write(stream, offset, length, buffer); });
}

void NP_TABLE_CALL ShellPrint(NPP /*npp*/, NPPrint* /*print*/) {}

int16_t NP_TABLE_CALL ShellHandleEvent(NPP npp, void* event) {
    ShellInstance* instance = InstanceOf(npp);
    if (!instance || !event) return 0;
    ShellInstance::CallScope scope(*instance);
    return GuardedCall<int16_t>(
        0, [&] { return instance->handleEvent(*static_cast<const NPEvent*>(event)); });
}

void NP_TABLE_CALL ShellUrlNotify(NPP npp, const char* /*url*/, NPReason reason, void* notifyData) {
    ShellInstance* instance = InstanceOf(npp);
    if (!instance) return;
    ShellInstance::CallScope scope(*instance);
    GuardedCall([&] { instance->urlNotify(notifyData, reason); });
}

NPError NP_TABLE_CALL ShellGetValue(NPP npp, NPPVariable variable, void* value) {
    if (!value) return NPERR_INVALID_PARAM;
    switch (variable) {
        case NPPVpluginNameString:
            *static_cast<const char**>(value) = "Kestrel Player";
            return NPERR_NO_ERROR;
        case NPPVpluginDescriptionString:
            *static_cast<const char**>(value) = "Plays SWF movies for Kestrel projectors";
            return NPERR_NO_ERROR;
        case NPPVpluginScriptableNPObject: {
            ShellInstance* instance = InstanceOf(npp);
            if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
            NPObject* object =
                GuardedCall<NPObject*>(nullptr, [&] { return instance->scriptableObject(); });
            if (!object) return NPERR_GENERIC_ERROR;
            *static_cast<NPObject**>(value) = object;
            return NPERR_NO_ERROR;
        }
        default:
            return NPERR_GENERIC_ERROR;
    }
}

NPError NP_TABLE_CALL ShellSetValue(NPP /*npp*/, NPNVariable /*variable*/, void* /*value*/) {
    return NPERR_GENERIC_ERROR;
}

}  // namespace

extern "C" {

// Exported by plain name through npfp.def.
void NP_ENTRY_CALL Flash_DisableLocalSecurity(void) {
    // Local files are always readable here; nothing to switch off.
}

NPError NP_ENTRY_CALL NP_GetEntryPoints(NPPluginFuncs* functions) {
    if (!functions) return NPERR_INVALID_FUNCTABLE_ERROR;
    // The caller says how much room it has; never write past it.
    if (functions->size < offsetof(NPPluginFuncs, setvalue) + sizeof(void*))
        return NPERR_INVALID_FUNCTABLE_ERROR;
    functions->version = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;
    functions->newp = ShellNew;
    functions->destroy = ShellDestroy;
    functions->setwindow = ShellSetWindow;
    functions->newstream = ShellNewStream;
    functions->destroystream = ShellDestroyStream;
    functions->asfile = ShellStreamAsFile;
    functions->writeready = ShellWriteReady;
    functions->write = ShellWrite;
    functions->print = ShellPrint;
    functions->event = ShellHandleEvent;
    functions->urlnotify = ShellUrlNotify;
    functions->javaClass = nullptr;
    functions->getvalue = ShellGetValue;
    functions->setvalue = ShellSetValue;
    return NPERR_NO_ERROR;
}

NPError NP_ENTRY_CALL NP_Initialize(NPNetscapeFuncs* browser) {
    if (!browser) return NPERR_INVALID_FUNCTABLE_ERROR;
    if ((browser->version >> 8) > NP_VERSION_MAJOR) return NPERR_INCOMPATIBLE_VERSION_ERROR;
    kestrel::shell::SetBrowserFunctions(browser);
    return NPERR_NO_ERROR;
}

NPError NP_ENTRY_CALL NP_Shutdown(void) {
    return kestrel::GuardedCall<NPError>(NPERR_GENERIC_ERROR, [] {
        kestrel::shell::ShutdownShell();
        return NPERR_NO_ERROR;
    });
}

}  // extern "C"
