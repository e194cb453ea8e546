// The plug-in library: loaded once at start-up, shut down at the end.
#pragma once

#include <windows.h>

#include <string>

#include "common/npapi/npapi_abi.h"
#include "common/win_handles.h"

namespace kestrel::projector {

class PluginLibrary {
  public:
    PluginLibrary() = default;
    ~PluginLibrary() { unload(); }
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // Loads the library, switches off its local-file security and exchanges
    // the function tables. On failure `errorText` says which step failed; the
    // library stays loaded until unload().
    bool load(const std::string& path, NPNetscapeFuncs* browserFunctions, std::string* errorText);

    // Calls NP_Shutdown (when the library has it) and frees the library.
    void unload();

    bool isLoaded() const { return static_cast<bool>(module_); }
    const NPPluginFuncs& functions() const { return functions_; }

  private:
    LoadedModule module_;
    NP_ShutdownFunc shutdown_ = nullptr;
    bool initialized_ = false;
    NPPluginFuncs functions_{};
};

}  // namespace kestrel::projector
