#include "projector/app/plugin_library_win.h"

namespace kestrel::projector {
namespace {

template <typename Function>
Function LookUp(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

bool PluginLibrary::load(const std::string& path, NPNetscapeFuncs* browserFunctions,
                         std::string* errorText) {
    unload();
    module_.reset(LoadLibraryA(path.c_str()));
    if (!module_) {
        *errorText = "Unable to load Flash player library";
        return false;
    }
    auto disableLocalSecurity =
        LookUp<Flash_DisableLocalSecurityFunc>(module_.get(), "Flash_DisableLocalSecurity");
    auto getEntryPoints = LookUp<NP_GetEntryPointsFunc>(module_.get(), "NP_GetEntryPoints");
    auto initialize = LookUp<NP_InitializeFunc>(module_.get(), "NP_Initialize");
    shutdown_ = LookUp<NP_ShutdownFunc>(module_.get(), "NP_Shutdown");
    if (!disableLocalSecurity || !getEntryPoints || !initialize) {
        *errorText = "Unable to retrieve Flash player init symbols";
        return false;
    }
    disableLocalSecurity();

    functions_ = NPPluginFuncs{};
    functions_.size = sizeof(NPPluginFuncs);  // 60 in the 32-bit build
    if (getEntryPoints(&functions_) != NPERR_NO_ERROR) {
        *errorText = "Unable to retrieve Flash player function table";
        return false;
    }
    if (initialize(browserFunctions) != NPERR_NO_ERROR) {
        *errorText = "Unable to initialize Flash player";
        return false;
    }
    initialized_ = true;
    return true;
}

void PluginLibrary::unload() {
    if (!module_) return;
    // NP_Shutdown pairs with a successful NP_Initialize only.
    if (shutdown_ && initialized_) shutdown_();
    module_.reset();
    shutdown_ = nullptr;
    initialized_ = false;
    functions_ = NPPluginFuncs{};
}

}  // namespace kestrel::projector
