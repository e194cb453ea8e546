// Helpers shared by the runtime's script classes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "player/avm1/vm.h"
#include "player/core/display_object.h"
#include "player/core/movie_clip.h"

namespace kestrel::runtime {

// The live display object behind a script object (null when removed or none).
player::DisplayObject* displayOf(avm1::Object& self);
player::MovieClip* clipOfSelf(avm1::Object& self);
player::EditText* textFieldOfSelf(avm1::Object& self);

// Creates a global constructor `name` with the given prototype.
avm1::Object* makeClass(avm1::Vm& vm, const char* name, avm1::Object* proto,
                        avm1::NativeFunction construct);

// Listener lists of Key and Mouse (kept in a hidden "_listeners" array of the object). Any
// value can be a listener, once; listeners compare strictly (===).
void makeBroadcaster(avm1::Vm& vm, avm1::Object* broadcaster);
void addListener(avm1::Vm& vm, avm1::Object* broadcaster, const avm1::Value& listener);
bool removeListener(avm1::Vm& vm, avm1::Object* broadcaster, const avm1::Value& listener);
void broadcast(avm1::Vm& vm, avm1::Object* broadcaster, std::string_view method,
               const std::vector<avm1::Value>& args = {});

// Reads loaded text into the object that asked for it (name=value pairs, an XML document).
using LoadedTextReader = void (*)(avm1::Vm& vm, avm1::Object* target, const std::string& text);

// The tail of a loading class's prototype (LoadVars, XML): request headers and byte counts
// accepted and unused, a default onData that reads what arrived with `read`, marks the object
// "loaded" (with `loadedFlags`) and reports to onLoad, and an empty onLoad.
void defineLoadingMethods(avm1::Vm& vm, avm1::Object* proto, LoadedTextReader read,
                          uint8_t loadedFlags);

}  // namespace kestrel::runtime
