#include "projector/bridge/script_bridge.h"

#include <cstdlib>
#include <cstring>

#include "projector/bridge/identifier_table.h"
#include "projector/bridge/invoke_request.h"
#include "projector/bridge/script_text.h"

namespace kestrel {
namespace {

ScriptHostLookup g_hostLookup = nullptr;

// The browser's objects are never freed: when a count drops to zero the
// class's deallocate runs, and it does nothing.
void KeepBrowserObject(NPObject*) {}

NPClass MakeBrowserClass() {
    NPClass objectClass{};
    objectClass.structVersion = NP_CLASS_STRUCT_VERSION;
    objectClass.deallocate = KeepBrowserObject;
    return objectClass;
}

NPClass g_browserClass = MakeBrowserClass();
NPObject g_windowObject{&g_browserClass, 1};
NPObject g_topObject{&g_browserClass, 1};
NPObject g_windowLocationObject{&g_browserClass, 1};
NPObject g_topLocationObject{&g_browserClass, 1};

// Answers that look odd but are what the plug-in needs (docs/script-protocol.md,
// "Why these values"):
//
// "location" of the window: the plug-in only checks that the page can be
// scripted at all (no answer switches the movie's external interface off);
// the page's address comes from the location objects below. So the value is
// a fixed word that no one can mistake for an address.
constexpr char kLocationValue[] = "zeze";
// The top page's address decides what the plug-in lets the page and the movie
// do to each other. A projector has no page; a "chrome:" address is the
// browser's own user interface (here the console of the Gecko release the
// user agent text names), which the plug-in trusts as the browser itself
// rather than judging it as a web page of some domain.
constexpr char kTopLocationText[] = "chrome://global/content/console.xul";

NPIdentifier ToNp(ScriptIdentifier id) {
    return reinterpret_cast<NPIdentifier>(static_cast<std::uintptr_t>(id));
}

ScriptIdentifier FromNp(NPIdentifier identifier) {
    auto value = reinterpret_cast<std::uintptr_t>(identifier);
    // Anything beyond 32 bits was not made here (the -1 of GetIntIdentifier).
    return value > 0xFFFFFFFFu ? kNoIdentifier : static_cast<ScriptIdentifier>(value);
}

bool NameIs(NPIdentifier identifier, std::string_view name) {
    auto known = ProcessIdentifiers().NameOf(FromNp(identifier));
    return known && *known == name;
}

void SetVoid(NPVariant* result) {
    result->type = NPVariantType_Void;
    result->value.objectValue = nullptr;
}

void SetObject(NPVariant* result, NPObject* object) {
    BridgeRetainObject(object);
    result->type = NPVariantType_Object;
    result->value.objectValue = object;
}

std::string_view TextOf(const NPVariant& value) {
    return std::string_view(
        value.value.stringValue.UTF8Characters,
        value.value.stringValue.UTF8Characters ? value.value.stringValue.UTF8Length : 0);
}

bool BuildRequest(const NPVariant* arguments, uint32_t count, NPVariant* result) {
    if (count < 1 || !arguments || arguments[0].type != NPVariantType_String) return false;
    std::vector<RequestArgument> further(count - 1);
    for (uint32_t i = 1; i < count; ++i) {
        const NPVariant& value = arguments[i];
        RequestArgument& argument = further[i - 1];
        switch (value.type) {
            case NPVariantType_Null:
                argument.type = RequestArgument::Type::Null;
                break;
            case NPVariantType_Bool:
                argument.type = RequestArgument::Type::Boolean;
                argument.boolean = value.value.boolValue;
                break;
            case NPVariantType_Int32:
                argument.type = RequestArgument::Type::Int32;
                argument.integer = value.value.intValue;
                break;
            case NPVariantType_Double:
                argument.type = RequestArgument::Type::Double;
                argument.real = value.value.doubleValue;
                break;
            case NPVariantType_String:
                argument.type = RequestArgument::Type::String;
                argument.text = TextOf(value);
                break;
            case NPVariantType_Object:
                argument.type = RequestArgument::Type::Object;
                break;
            default:
                argument.type = RequestArgument::Type::Void;
                break;
        }
    }
    *result =
        MakeStringVariant(BuildInvokeRequest(TextOf(arguments[0]), further.data(), further.size()));
    return true;
}

// fscommand(command, args) from the movie: the host serves what it knows ("quit").
bool ServeFsCommand(NPP instance, const NPVariant* arguments, uint32_t count, NPVariant* result) {
    if (count < 1 || !arguments || arguments[0].type != NPVariantType_String) return false;
    ScriptHost* host = g_hostLookup ? g_hostLookup(instance) : nullptr;
    if (!host) return false;
    const std::string_view texts[2] = {TextOf(arguments[0]),
                                       count > 1 && arguments[1].type == NPVariantType_String
                                           ? TextOf(arguments[1])
                                           : std::string_view()};
    if (!host->CallHost(":fsCommand", texts, 2)) return false;
    SetVoid(result);
    return true;
}

std::string LocationWithSlashes(NPP instance) {
    ScriptHost* host = g_hostLookup ? g_hostLookup(instance) : nullptr;
    std::string location = host ? host->MovieLocation() : "empty";
    for (char& c : location) {
        if (c == '\\') c = '/';
    }
    return location;
}

}  // namespace

void SetScriptHostLookup(ScriptHostLookup lookup) {
    g_hostLookup = lookup;
}

NPVariant MakeStringVariant(std::string_view text) {
    NPVariant value;
    // One byte more so that an empty text is still a valid pointer.
    auto* copy = static_cast<NPUTF8*>(std::malloc(text.size() + 1));
    if (!copy) {
        SetVoid(&value);
        return value;
    }
    if (!text.empty()) std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    value.type = NPVariantType_String;
    value.value.stringValue.UTF8Characters = copy;
    value.value.stringValue.UTF8Length = static_cast<uint32_t>(text.size());
    return value;
}

NPIdentifier BridgeGetStringIdentifier(const NPUTF8* name) {
    if (!name) return nullptr;
    return ToNp(ProcessIdentifiers().GetStringIdentifier(name));
}

NPIdentifier BridgeGetIntIdentifier(int32_t) {
    return reinterpret_cast<NPIdentifier>(static_cast<std::intptr_t>(-1));
}

bool BridgeIdentifierIsString(NPIdentifier identifier) {
    return ProcessIdentifiers().IsString(FromNp(identifier));
}

NPUTF8* BridgeUTF8FromIdentifier(NPIdentifier identifier) {
    auto name = ProcessIdentifiers().NameOf(FromNp(identifier));
    if (!name) return nullptr;
    auto* copy = static_cast<NPUTF8*>(std::malloc(name->size() + 1));
    if (copy) std::memcpy(copy, name->c_str(), name->size() + 1);
    return copy;
}

int32_t BridgeIntFromIdentifier(NPIdentifier) {
    return 0;
}

NPObject* BridgeCreateObject(NPP instance, NPClass* objectClass) {
    if (!objectClass) return nullptr;
    NPObject* object = objectClass->allocate
                           ? objectClass->allocate(instance, objectClass)
                           : static_cast<NPObject*>(std::malloc(sizeof(NPObject)));
    if (!object) return nullptr;
    object->_class = objectClass;
    object->referenceCount = 1;
    return object;
}

NPObject* BridgeRetainObject(NPObject* object) {
    if (object) ++object->referenceCount;
    return object;
}

void BridgeReleaseObject(NPObject* object) {
    if (!object || object->referenceCount == 0) return;
    if (--object->referenceCount > 0) return;
    NPClass* objectClass = object->_class;
    if (objectClass && objectClass->deallocate) {
        objectClass->deallocate(object);
        return;
    }
    if (objectClass && objectClass->invalidate) objectClass->invalidate(object);
    std::free(object);
}

void BridgeReleaseVariantValue(NPVariant* value) {
    if (!value) return;
    if (value->type == NPVariantType_String) {
        std::free(const_cast<NPUTF8*>(value->value.stringValue.UTF8Characters));
    } else if (value->type == NPVariantType_Object) {
        BridgeReleaseObject(value->value.objectValue);
    }
    SetVoid(value);
}

bool IsBrowserObject(const NPObject* object) {
    return object == &g_windowObject || object == &g_topObject ||
           object == &g_windowLocationObject || object == &g_topLocationObject;
}

NPObject* BridgeWindowObject() {
    return BridgeRetainObject(&g_windowObject);
}

bool BridgeGetProperty(NPP, NPObject* object, NPIdentifier name, NPVariant* result) {
    if (!result || object != &g_windowObject) return false;
    if (NameIs(name, "location")) {
        *result = MakeStringVariant(kLocationValue);
        return true;
    }
    if (NameIs(name, "top")) {
        SetObject(result, &g_topObject);
        return true;
    }
    if (NameIs(name, "__flash_getWindowLocation")) {
        *result = MakeStringVariant("");
        return true;
    }
    return false;
}

bool BridgeInvoke(NPP instance, NPObject* object, NPIdentifier method, const NPVariant* arguments,
                  uint32_t count, NPVariant* result) {
    if (!result) return false;
    if (object == &g_windowLocationObject || object == &g_topLocationObject) {
        if (NameIs(method, "toString")) {
            *result = MakeStringVariant(object == &g_windowLocationObject
                                            ? LocationWithSlashes(instance)
                                            : std::string(kTopLocationText));
        } else {
            SetVoid(result);
        }
        return true;
    }
    if (FromNp(method) == kFlashRequestIdentifier) return BuildRequest(arguments, count, result);
    if (FromNp(method) == kDoFSCommandIdentifier)
        return ServeFsCommand(instance, arguments, count, result);
    if (NameIs(method, "__flash_getWindowLocation")) {
        SetObject(result, &g_windowLocationObject);
        return true;
    }
    if (NameIs(method, "__flash_getTopLocation")) {
        SetObject(result, &g_topLocationObject);
        return true;
    }
    return false;
}

bool BridgeEvaluate(NPP instance, NPObject*, NPString* script, NPVariant* result) {
    if (!script || !result) return false;
    std::string_view text(script->UTF8Characters, script->UTF8Characters ? script->UTF8Length : 0);
    ParsedScript parsed = ParseScript(text);
    switch (parsed.kind) {
        case ParsedScript::Kind::MovieCall: {
            ScriptHost* host = g_hostLookup ? g_hostLookup(instance) : nullptr;
            if (!host) return false;
            std::optional<std::string> answer = host->CallHost(
                parsed.call.function, parsed.call.arguments.data(), parsed.call.arguments.size());
            if (!answer) return false;
            *result = MakeStringVariant(*answer);
            return result->type == NPVariantType_String;
        }
        case ParsedScript::Kind::ReturnedString:
            *result = MakeStringVariant(parsed.returnedText);
            return result->type == NPVariantType_String;
        case ParsedScript::Kind::Other:
            SetVoid(result);
            return true;
        case ParsedScript::Kind::Failed:
            break;
    }
    return false;
}

std::optional<std::string> CallMovie(NPObject* scriptable, std::string_view name,
                                     const NPVariant* arguments, uint32_t count) {
    if (!scriptable || !scriptable->_class || !scriptable->_class->invoke) return std::nullopt;
    NPIdentifier id = ToNp(ProcessIdentifiers().RegisteredIdentifier(name));
    // The movie may end its instance from inside the call; keep the object alive.
    BridgeRetainObject(scriptable);
    NPVariant answer;
    SetVoid(&answer);
    bool ok = scriptable->_class->invoke(scriptable, id, arguments, count, &answer);
    std::optional<std::string> text;
    if (ok && answer.type == NPVariantType_String) text = std::string(TextOf(answer));
    BridgeReleaseVariantValue(&answer);
    BridgeReleaseObject(scriptable);
    return text;
}

bool CallMovieWithTexts(NPObject* scriptable, std::string_view name,
                        const std::vector<std::string>& texts) {
    // The strings stay ours: the plug-in only reads its arguments.
    std::vector<NPVariant> arguments(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        arguments[i].type = NPVariantType_String;
        arguments[i].value.stringValue.UTF8Characters = texts[i].c_str();
        arguments[i].value.stringValue.UTF8Length = static_cast<uint32_t>(texts[i].size());
    }
    return CallMovie(scriptable, name, arguments.data(), static_cast<uint32_t>(arguments.size()))
        .has_value();
}

}  // namespace kestrel
