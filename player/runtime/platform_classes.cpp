// The rest of the player's global classes and objects. Movies test for them by name
// (`if (System.capabilities)`, `new LocalConnection()`), so each exists with the version
// that introduced it, even where this player has nothing behind it.
#include <cstdio>
#include <initializer_list>
#include <string>

#include "player/avm1/object.h"
#include "player/core/movie_definition.h"
#include "player/core/player_version.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

// A constructor with an empty prototype, as a member of `owner`.
Object* DefineStubClass(Vm& vm, Object* owner, const char* name, uint16_t flags) {
    Object* proto = vm.newObject();
    Object* ctor = vm.newNativeFunction([](NativeCall&) { return Value(); }, nullptr);
    ctor->define("prototype", Value(proto), avm1::kDontEnum | avm1::kDontDelete);
    proto->define("constructor", Value(ctor), avm1::kDontEnum);
    owner->define(name, Value(ctor), flags);
    return ctor;
}

Object* DefinePackage(Vm& vm, Object* owner, const char* name, uint16_t flags) {
    Object* package = vm.newObject();
    owner->define(name, Value(package), flags);
    return package;
}

// AsBroadcaster.initialize copies the broadcaster's own methods onto the object, so a
// movie that replaces AsBroadcaster.addListener changes what later objects get.
void InstallAsBroadcaster(Vm& vm) {
    Object* proto = vm.newObject();
    Object* broadcaster = makeClass(vm, "AsBroadcaster", proto, nullptr);
    vm.defineMethod(broadcaster, "addListener", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value(true);
        removeListener(call.vm, self, call.arg(0));
        addListener(call.vm, self, call.arg(0));
        return Value(true);
    });
    vm.defineMethod(broadcaster, "removeListener", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        return Value(self && removeListener(call.vm, self, call.arg(0)));
    });
    vm.defineMethod(broadcaster, "broadcastMessage", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self || call.args.empty()) return Value();
        Value list = call.vm.getMember(Value(self), "_listeners");
        if (!list.isObject() || list.asObject()->elements().empty()) return Value();
        std::string method = call.vm.toString(call.args[0]);
        broadcast(call.vm, self, method, {call.args.begin() + 1, call.args.end()});
        return Value(true);
    });
    vm.defineMethod(broadcaster, "initialize", [broadcaster](NativeCall& call) -> Value {
        Object* target = call.arg(0).asObject();
        if (!target) return Value();
        for (const char* name : {"broadcastMessage", "addListener", "removeListener"})
            target->define(name, call.vm.getMember(Value(broadcaster), name), avm1::kDontEnum);
        target->define("_listeners", Value(call.vm.newArray()), avm1::kDontEnum);
        return Value();
    });
}

// The listener methods of AsBroadcaster, shared by the classes that broadcast events.
void DefineListenerMethods(Vm& vm, Object* proto) {
    Value broadcaster = vm.getMember(Value(vm.global()), "AsBroadcaster");
    for (const char* name : {"broadcastMessage", "addListener", "removeListener"})
        proto->define(name, vm.getMember(broadcaster, name), avm1::kDontEnum);
}

// A MovieClipLoader is its own first listener.
void InstallMovieClipLoader(Vm& vm) {
    Object* proto = vm.newObject();
    Object* ctor = makeClass(vm, "MovieClipLoader", proto, [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value();
        self->define("_listeners", Value(call.vm.newArray({Value(self)})), avm1::kDontEnum);
        return Value();
    });
    DefineListenerMethods(vm, proto);
    for (const char* name : {"loadClip", "unloadClip"})
        vm.defineMethod(proto, name, [](NativeCall&) { return Value(false); });
    vm.defineMethod(proto, "getProgress", [](NativeCall&) { return Value(); });
    (void)ctor;
}

// Error: a message and a name, shown by toString.
void InstallError(Vm& vm) {
    Object* proto = vm.newObject();
    auto construct = [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (self && !call.arg(0).isUndefined()) self->define("message", call.arg(0));
        return Value();
    };
    makeClass(vm, "Error", proto, construct);
    proto->define("message", Value("Error"), avm1::kDontEnum);
    proto->define("name", Value("Error"), avm1::kDontEnum);
    vm.defineMethod(proto, "toString", [](NativeCall& call) -> Value {
        return Value(call.vm.toString(call.vm.getMember(call.thisValue, "message")));
    });
}

// A value of serverString: letters, digits and a few marks as they are, the rest %XX.
std::string EscapedForServer(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
            c == '.' || c == '-' || c == '_') {
            out += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

// What the player can do, as a Windows plug-in without a debugger. serverString sums it up
// for a server: each capability under its short key, in the player's order.
void InstallCapabilities(MoviePlayer& player, Vm& vm, Object* system) {
    Object* capabilities = DefinePackage(vm, system, "capabilities", avm1::kDontEnum);
    struct Flag {
        const char* name;
        const char* key;
        bool value;
    };
    static const Flag kFlags[] = {
        {"hasAudio", "A", true},
        {"hasStreamingAudio", "SA", true},
        {"hasStreamingVideo", "SV", true},
        {"hasEmbeddedVideo", "EV", true},
        {"hasMP3", "MP3", true},
        {"hasAudioEncoder", "AE", true},
        {"hasVideoEncoder", "VE", true},
        {"hasAccessibility", "ACC", true},
        {"hasPrinting", "PR", true},
        {"hasScreenPlayback", "SP", true},
        {"hasScreenBroadcast", "SB", false},
        {"isDebugger", "DEB", false},
    };
    static const Flag kLateFlags[] = {
        {"avHardwareDisable", "AVD", false},
        {"localFileReadDisable", "LFD", false},
        {"hasIME", "IME", true},
    };
    const char* const kManufacturer = "Adobe Windows";
    const char* const kOs = "Windows XP";
    const char* const kLanguage = "en";
    const char* const kPlayerType = "PlugIn";
    constexpr int kScreenDpi = 72;

    for (const Flag& f : kFlags) capabilities->define(f.name, Value(f.value));
    for (const Flag& f : kLateFlags) capabilities->define(f.name, Value(f.value));
    capabilities->define("os", Value(kOs));
    capabilities->define("playerType", Value(kPlayerType));
    capabilities->define("version", Value(player::kPlayerVersion));
    capabilities->define("manufacturer", Value(kManufacturer));
    capabilities->define("language", Value(kLanguage));
    capabilities->define("pixelAspectRatio", Value(1));
    capabilities->define("screenColor", Value("color"));
    capabilities->define("screenDPI", Value(kScreenDpi));
    MoviePlayer* p = &player;
    capabilities->defineNative(
        "screenResolutionX",
        [p](Vm&, Object&) -> Value { return Value(p->stageSettings().screenWidth); }, nullptr, 0);
    capabilities->defineNative(
        "screenResolutionY",
        [p](Vm&, Object&) -> Value { return Value(p->stageSettings().screenHeight); }, nullptr, 0);
    capabilities->defineNative(
        "serverString",
        [=](Vm&, Object&) -> Value {
            std::string text;
            auto add = [&text](const char* key, const std::string& value) {
                if (!text.empty()) text += '&';
                text += key;
                text += '=';
                text += value;
            };
            for (const Flag& f : kFlags) add(f.key, f.value ? "t" : "f");
            add("V", EscapedForServer(player::kPlayerVersion));
            add("M", EscapedForServer(kManufacturer));
            add("R", std::to_string(p->stageSettings().screenWidth) + "x" +
                         std::to_string(p->stageSettings().screenHeight));
            add("DP", std::to_string(kScreenDpi));
            add("COL", "color");
            add("AR", "1.0");
            add("OS", EscapedForServer(kOs));
            add("L", kLanguage);
            add("PT", kPlayerType);
            for (const Flag& f : kLateFlags) add(f.key, f.value ? "t" : "f");
            return Value(text);
        },
        nullptr, 0);
}

// System: capabilities, IME and the security sandbox the movie plays in (local files
// unless its FileAttributes ask for the network).
void InstallSystem(MoviePlayer& player, Vm& vm) {
    Object* system = DefinePackage(vm, vm.global(), "System", avm1::kDontEnum);
    InstallCapabilities(player, vm, system);
    DefinePackage(vm, system, "IME", avm1::kDontEnum);
    Object* security = DefinePackage(vm, system, "security", avm1::kDontEnum);
    security->defineNative(
        "sandboxType",
        [&player](Vm&, Object&) -> Value {
            const player::MovieDefinition* movie = player.movie();
            return Value(movie && movie->useNetwork() ? "localWithNetwork" : "localWithFile");
        },
        nullptr);
    for (const char* name : {"allowDomain", "allowInsecureDomain", "loadPolicyFile"})
        vm.defineMethod(security, name, [](NativeCall&) { return Value(); });
    system->define("useCodepage", Value(false), avm1::kDontEnum);
    vm.defineMethod(system, "setClipboard", [](NativeCall&) { return Value(false); });
    vm.defineMethod(system, "showSettings", [](NativeCall&) { return Value(); });
}

// No file dialog opens in this player: browsing ends as if the user cancelled.
void InstallFileReference(Vm& vm, Object* package) {
    Object* proto = vm.newObject();
    Object* ctor = vm.newNativeFunction([](NativeCall&) { return Value(); },
                                        [](NativeCall& call) -> Value {
                                            if (Object* self = call.thisObject())
                                                makeBroadcaster(call.vm, self);
                                            return Value();
                                        });
    ctor->define("prototype", Value(proto), avm1::kDontEnum | avm1::kDontDelete);
    proto->define("constructor", Value(ctor), avm1::kDontEnum);
    package->define("FileReference", Value(ctor));
    DefineListenerMethods(vm, proto);
    vm.defineMethod(proto, "browse", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value(false);
        broadcast(call.vm, self, "onCancel", {Value(self)});
        return Value(true);
    });
    for (const char* name : {"upload", "download"})
        vm.defineMethod(proto, name, [](NativeCall&) { return Value(false); });
    vm.defineMethod(proto, "cancel", [](NativeCall&) { return Value(); });
}

// The flash.* packages of SWF 8.
void InstallFlashPackages(Vm& vm) {
    Value existing = vm.getMember(Value(vm.global()), "flash");
    Object* flash = existing.asObject();
    if (!flash) flash = DefinePackage(vm, vm.global(), "flash", avm1::kDontEnum);
    if (avm1::Property* p = vm.global()->findOwn("flash", true)) p->flags |= avm1::kFromVersion8;
    struct Package {
        const char* name;
        std::initializer_list<const char*> classes;
    };
    const Package packages[] = {
        {"display", {"BitmapData"}},
        {"filters",
         {"BevelFilter", "BitmapFilter", "BlurFilter", "ColorMatrixFilter", "ConvolutionFilter",
          "DisplacementMapFilter", "DropShadowFilter", "GlowFilter", "GradientBevelFilter",
          "GradientGlowFilter"}},
        {"geom", {"ColorTransform", "Matrix", "Point", "Rectangle", "Transform"}},
        {"net", {"FileReference", "FileReferenceList"}},
        {"text", {"TextRenderer"}},
    };
    InstallFileReference(vm, DefinePackage(vm, flash, "net", 0));
    for (const Package& p : packages) {
        Value member = vm.getMember(Value(flash), p.name);
        Object* package = member.asObject();
        if (!package) package = DefinePackage(vm, flash, p.name, 0);
        if (std::string_view(p.name) == "display") InstallBitmapDataClass(vm, package);
        if (std::string_view(p.name) == "geom") InstallGeomClasses(vm, package);
        if (std::string_view(p.name) == "filters") InstallConvolutionFilterClass(vm, package);
        for (const char* name : p.classes)
            if (vm.getMember(Value(package), name).isUndefined())
                DefineStubClass(vm, package, name, 0);
    }
}

}  // namespace

void installPlatformClasses(MoviePlayer& player, Vm& vm) {
    InstallAsBroadcaster(vm);
    InstallMovieClipLoader(vm);
    InstallError(vm);
    InstallSystem(player, vm);
    DefinePackage(vm, vm.global(), "Accessibility", avm1::kDontEnum);
    for (const char* name :
         {"Camera", "Color", "ContextMenu", "ContextMenuItem", "LocalConnection", "Microphone",
          "NetConnection", "NetStream", "SharedObject", "Video", "XMLSocket"})
        if (vm.getMember(Value(vm.global()), name).isUndefined())
            DefineStubClass(vm, vm.global(), name, avm1::kDontEnum);
    Value textField = vm.getMember(Value(vm.global()), "TextField");
    if (Object* tf = textField.asObject())
        DefineStubClass(vm, tf, "StyleSheet", avm1::kDontEnum | avm1::kFromVersion7);
    InstallFlashPackages(vm);
}

}  // namespace kestrel::runtime
