// The browser's script engine as far as the plug-in's external interface
// needs one: the scripting entries of the browser function table
// (identifiers, objects, invoke, evaluate, properties) and the calls the
// projector makes into a movie.
//
// Script objects of the browser: the window object (what the plug-in gets
// for the browser window), its top object, and the two location objects.
// They live for the whole process; their reference counts only count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/npapi/npapi_abi.h"

namespace kestrel {

// The projector side of one plug-in instance (its window).
class ScriptHost {
  public:
    virtual ~ScriptHost() = default;
    // A call out of the movie, or one of the internal ":getURL", ":postData"
    // and ":post" requests. Nothing when there is no answer.
    virtual std::optional<std::string> CallHost(std::string_view name,
                                                const std::string_view* arguments,
                                                std::size_t count) = 0;
    // The movie's full path, or "empty" when the window has no movie.
    virtual std::string MovieLocation() const = 0;
};

// How the bridge finds the host of an instance; the application sets it once.
// Returning null means the instance has no host (its evaluations fail).
using ScriptHostLookup = ScriptHost* (*)(NPP instance);
void SetScriptHostLookup(ScriptHostLookup lookup);

// --- Scripting entries of the browser function table -------------------------
NPIdentifier BridgeGetStringIdentifier(const NPUTF8* name);
NPIdentifier BridgeGetIntIdentifier(int32_t number);  // always -1
bool BridgeIdentifierIsString(NPIdentifier identifier);
NPUTF8* BridgeUTF8FromIdentifier(NPIdentifier identifier);  // malloc'ed copy or null
int32_t BridgeIntFromIdentifier(NPIdentifier identifier);   // always 0
NPObject* BridgeCreateObject(NPP instance, NPClass* objectClass);
NPObject* BridgeRetainObject(NPObject* object);
void BridgeReleaseObject(NPObject* object);
void BridgeReleaseVariantValue(NPVariant* value);
bool BridgeGetProperty(NPP instance, NPObject* object, NPIdentifier name, NPVariant* result);
bool BridgeInvoke(NPP instance, NPObject* object, NPIdentifier method, const NPVariant* arguments,
                  uint32_t count, NPVariant* result);
bool BridgeEvaluate(NPP instance, NPObject* object, NPString* script, NPVariant* result);

// The window object with its count increased (NPN_GetValue, variable 15).
NPObject* BridgeWindowObject();

// True for the four objects of the browser.
bool IsBrowserObject(const NPObject* object);

// --- Calls into the movie -------------------------------------------------
// Invokes the movie's callback `name` on the plug-in's scriptable object with
// the name's registered identifier (0 when not registered). The answer
// string, if any, is copied and the answer released. Nothing happens without
// a scriptable object.
std::optional<std::string> CallMovie(NPObject* scriptable, std::string_view name,
                                     const NPVariant* arguments, uint32_t count);
// The same with every argument a string; true when the movie answered.
bool CallMovieWithTexts(NPObject* scriptable, std::string_view name,
                        const std::vector<std::string>& texts);

// A string value holding a malloc'ed copy of `text` (freed by its receiver).
NPVariant MakeStringVariant(std::string_view text);

}  // namespace kestrel
