#include "projector/app/plugin_instance_win.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "common/ascii_case.h"
#include "projector/app/browser_functions_win.h"
#include "projector/app/host_surface_win.h"
#include "projector/app/plugin_stream_win.h"

namespace kestrel::projector {
namespace {

constexpr char kFlashMimeType[] = "application/x-shockwave-flash";

// Instances alive now; the plug-in may hand back any NPP, so check before use.
std::set<const PluginInstance*> g_liveInstances;

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

std::string FullPathOf(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    if (length == 0 || length >= MAX_PATH) return path;
    return std::string(buffer, length);
}

}  // namespace

PluginInstance::PluginInstance(const NPPluginFuncs& plugin, HostSurface& surface)
    : plugin_(plugin), surface_(surface) {
    npp_.ndata = this;
    g_liveInstances.insert(this);
    // Defaults; the window's settings override some of them.
    parameters_ = {{"type", kFlashMimeType}, {"allowscriptaccess", "always"},
                   {"quality", "high"},      {"wmode", "opaque"},
                   {"salign", "LT"},         {"scale", "exactfit"}};
}

PluginInstance::~PluginInstance() {
    placeholderHook_.remove();  // before the player's window goes with NPP_Destroy
    if (scriptableObject_) HostReleaseObject(scriptableObject_);
    scriptableObject_ = nullptr;
    if (started_ && plugin_.destroy) plugin_.destroy(&npp_, nullptr);
    started_ = false;
    g_liveInstances.erase(this);
}

PluginInstance* PluginInstance::FromNpp(NPP npp) {
    if (!npp) return nullptr;
    auto* instance = static_cast<PluginInstance*>(npp->ndata);
    return g_liveInstances.count(instance) ? instance : nullptr;
}

bool PluginInstance::IsLive(const PluginInstance* instance) {
    return g_liveInstances.count(instance) != 0;
}

void PluginInstance::setParameter(const std::string& name, const std::string& value) {
    for (auto& parameter : parameters_) {
        if (EqualsIgnoringCase(parameter.first, name)) {
            parameter.second = value;
            return;
        }
    }
    parameters_.emplace_back(name, value);
}

const std::string* PluginInstance::parameter(const std::string& name) const {
    for (const auto& parameter : parameters_)
        if (EqualsIgnoringCase(parameter.first, name)) return &parameter.second;
    return nullptr;
}

bool PluginInstance::start() {
    if (started_ || !plugin_.newp) return false;
    const std::string* source = parameter("src");
    movieLocation_ = source ? FullPathOf(*source) : "empty";

    // NPP_New takes mutable arrays; they point into our own copies.
    std::vector<char*> names, values;
    for (auto& parameter : parameters_) {
        names.push_back(&parameter.first[0]);
        values.push_back(&parameter.second[0]);
    }
    std::string mimeType = kFlashMimeType;
    const NPError created =
        plugin_.newp(&mimeType[0], &npp_, NP_EMBED, static_cast<int16_t>(names.size()),
                     names.data(), values.data(), nullptr);
    if (created != NPERR_NO_ERROR) return false;
    started_ = true;

    NPObject* object = nullptr;
    if (plugin_.getvalue &&
        plugin_.getvalue(&npp_, NPPVpluginScriptableNPObject, &object) == NPERR_NO_ERROR)
        scriptableObject_ = object;  // the plug-in retained it for us

    setWindow();
    if (source && !streamMovie()) return false;
    placeholderHook_.install(*this);
    return true;
}

bool PluginInstance::streamMovie() {
    PluginStream stream(*this, movieLocation_, kFlashMimeType, nullptr);
    if (!stream.open()) return false;
    const bool delivered = stream.deliverFile(movieLocation_);
    stream.close(NPRES_DONE);
    return delivered;
}

NPError PluginInstance::setWindow() {
    if (!started_ || !plugin_.setwindow) return NPERR_INVALID_INSTANCE_ERROR;
    return plugin_.setwindow(&npp_, surface_.windowStructure());
}

int16_t PluginInstance::deliverEvent(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!started_ || !plugin_.event) return 0;
    NPEvent event;
    event.event = static_cast<uint16_t>(message);
    event.wParam = wParam;
    event.lParam = lParam;
    return plugin_.event(&npp_, &event);
}

void PluginInstance::repaint(const NPRect& rect) {
    RECT area{rect.left, rect.top, std::min<LONG>(rect.right, surface_.width()),
              std::min<LONG>(rect.bottom, surface_.height())};
    setWindow();
    if (area.right > area.left && area.bottom > area.top) surface_.paint(*this, area);
}

void PluginInstance::repaintAll() {
    const NPRect all{0, 0, static_cast<uint16_t>(std::min(surface_.height(), 0xFFFF)),
                     static_cast<uint16_t>(std::min(surface_.width(), 0xFFFF))};
    repaint(all);
}

void PluginInstance::resize(int width, int height) {
    surface_.setSize(width, height);
    surface_.create();
    if (started_) repaintAll();  // repaint passes the new window structure first
}

HWND PluginInstance::windowHandle() const {
    return surface_.window();
}

}  // namespace kestrel::projector
