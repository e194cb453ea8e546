// The browser's function table as NP_Initialize handed it to us, and the few
// scripting calls the player makes through it. Each helper checks that the
// browser offers the entry before calling it.
#pragma once

#include <optional>
#include <string>

#include "common/npapi/npapi_abi.h"

namespace kestrel::shell {

const NPNetscapeFuncs& Browser();
// Copies the table (only as much as the browser says it has); null clears it.
void SetBrowserFunctions(const NPNetscapeFuncs* functions);

// A script value the browser gave us; released (NPN_ReleaseVariantValue) when it goes.
class BrowserVariant {
  public:
    BrowserVariant() { value.type = NPVariantType_Void; }
    ~BrowserVariant();
    BrowserVariant(const BrowserVariant&) = delete;
    BrowserVariant& operator=(const BrowserVariant&) = delete;

    // The text of a string value; none for other types.
    std::optional<std::string> text() const;
    // Gives the value away (the caller now owns what it holds).
    NPVariant release();

    NPVariant value;
};

// The page's window object (NPN_GetValue variable 15), retained for us; released on destruction.
class WindowObject {
  public:
    explicit WindowObject(NPP npp);
    ~WindowObject();
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;
    NPObject* get() const { return object_; }

  private:
    NPObject* object_ = nullptr;
};

// NPN_Evaluate of `script` on the window object; false when the browser fails it.
bool EvaluateScript(NPP npp, const std::string& script, BrowserVariant* result);

// A string variant holding a copy made with NPN_MemAlloc (the receiver frees it).
NPVariant BrowserString(const std::string& text);

}  // namespace kestrel::shell
