// The instance's scriptable object as the browser sees it: an NPObject of our own
// class whose invoke runs the movie's registered callbacks.
#pragma once

#include "common/npapi/npapi_abi.h"

namespace kestrel::shell {

class ShellInstance;

struct ScriptableObject {
    NPObject header;                 // first: the browser sees an NPObject
    ShellInstance* owner = nullptr;  // not owned; null once the instance is gone
};

NPClass* ScriptableObjectClass();

// Makes one through the browser (NPN_CreateObject); null when it cannot.
ScriptableObject* CreateScriptableObject(NPP npp, ShellInstance* owner);

}  // namespace kestrel::shell
