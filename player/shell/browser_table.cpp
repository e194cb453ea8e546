#include "player/shell/browser_table.h"

#include <cstring>

namespace kestrel::shell {
namespace {

NPNetscapeFuncs g_browser{};

}  // namespace

const NPNetscapeFuncs& Browser() {
    return g_browser;
}

void SetBrowserFunctions(const NPNetscapeFuncs* functions) {
    std::memset(&g_browser, 0, sizeof g_browser);
    if (!functions) return;
    // An older browser hands a shorter table: copy only what it has.
    const size_t size = functions->size < sizeof g_browser ? functions->size : sizeof g_browser;
    std::memcpy(&g_browser, functions, size);
}

BrowserVariant::~BrowserVariant() {
    if (value.type != NPVariantType_Void && g_browser.releasevariantvalue)
        g_browser.releasevariantvalue(&value);
}

std::optional<std::string> BrowserVariant::text() const {
    if (value.type != NPVariantType_String) return std::nullopt;
    const NPString& s = value.value.stringValue;
    if (!s.UTF8Characters) return std::string();
    return std::string(s.UTF8Characters, s.UTF8Length);
}

NPVariant BrowserVariant::release() {
    NPVariant out = value;
    value.type = NPVariantType_Void;
    return out;
}

WindowObject::WindowObject(NPP npp) {
    if (!npp || !g_browser.getvalue) return;
    NPObject* object = nullptr;
    if (g_browser.getvalue(npp, NPNVWindowNPObject, &object) == NPERR_NO_ERROR) object_ = object;
}

WindowObject::~WindowObject() {
    if (object_ && g_browser.releaseobject) g_browser.releaseobject(object_);
}

bool EvaluateScript(NPP npp, const std::string& script, BrowserVariant* result) {
    if (!npp || !g_browser.evaluate) return false;
    WindowObject window(npp);
    if (!window.get()) return false;
    NPString text{script.c_str(), static_cast<uint32_t>(script.size())};
    return g_browser.evaluate(npp, window.get(), &text, &result->value);
}

NPVariant BrowserString(const std::string& text) {
    NPVariant variant;
    variant.type = NPVariantType_Void;
    if (!g_browser.memalloc) return variant;
    auto* copy = static_cast<char*>(g_browser.memalloc(static_cast<uint32_t>(text.size() + 1)));
    if (!copy) return variant;
    std::memcpy(copy, text.c_str(), text.size() + 1);
    variant.type = NPVariantType_String;
    variant.value.stringValue.UTF8Characters = copy;
    variant.value.stringValue.UTF8Length = static_cast<uint32_t>(text.size());
    return variant;
}

}  // namespace kestrel::shell
