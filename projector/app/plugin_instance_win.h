// One plug-in instance per projector window: its parameters, the NPAPI
// instance, and every NPP_ call made for it.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "common/npapi/npapi_abi.h"
#include "projector/app/placeholder_hook_win.h"

namespace kestrel {
class ScriptHost;
}

namespace kestrel::projector {

class HostSurface;

class PluginInstance {
  public:
    // `plugin` and `surface` outlive the instance.
    PluginInstance(const NPPluginFuncs& plugin, HostSurface& surface);
    ~PluginInstance();  // releases the scriptable object and ends the instance
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // The instance behind an NPP the plug-in hands back; null for a foreign one.
    static PluginInstance* FromNpp(NPP npp);
    // Whether `instance` is alive (it is never dereferenced).
    static bool IsLive(const PluginInstance* instance);

    // Replaces the value of a parameter of the same name (any case), else appends.
    void setParameter(const std::string& name, const std::string& value);
    // The value of the named parameter (any case), or null.
    const std::string* parameter(const std::string& name) const;
    const std::vector<std::pair<std::string, std::string>>& parameters() const {
        return parameters_;
    }

    // Creates the plug-in instance and streams the movie named by "src".
    bool start();
    bool isStarted() const { return started_; }

    // NPP_HandleEvent with a Windows event; 0 when not started.
    int16_t deliverEvent(UINT message, WPARAM wParam, LPARAM lParam);

    // Lets the plug-in redraw `rect` (clamped to the surface) and shows it.
    void repaint(const NPRect& rect);
    void repaintAll();

    // Follows the window's new client size: new surface, new window structure.
    void resize(int width, int height);

    HWND windowHandle() const;
    NPP npp() { return &npp_; }
    const NPPluginFuncs& plugin() const { return plugin_; }
    const std::string& movieLocation() const { return movieLocation_; }

    // The plug-in's scriptable object (not retained for the caller), or null.
    NPObject* scriptableObject() const { return scriptableObject_; }

    NPError setWindow();

    // Where the script bridge sends this instance's calls and URL requests.
    void setScriptHost(ScriptHost* host) { scriptHost_ = host; }
    ScriptHost* scriptHost() const { return scriptHost_; }

  private:
    bool streamMovie();

    const NPPluginFuncs& plugin_;
    HostSurface& surface_;
    NPP_t npp_{};
    std::vector<std::pair<std::string, std::string>> parameters_;
    bool started_ = false;
    NPObject* scriptableObject_ = nullptr;  // one reference held
    std::string movieLocation_ = "empty";
    ScriptHost* scriptHost_ = nullptr;  // not owned: the window's
    PlaceholderHook placeholderHook_;
};

}  // namespace kestrel::projector
