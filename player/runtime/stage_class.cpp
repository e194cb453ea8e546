// Stage: the movie's size as scripts see it, the scale mode and alignment that place it in
// the host's display area, the context menu switch and onResize listeners. Also the player's
// version as $version and getVersion().
#include <string>

#include "player/avm1/object.h"
#include "player/core/player_version.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

Object* installStageClass(MoviePlayer& player, Vm& vm) {
    MoviePlayer* p = &player;
    Object* stage = vm.newObject();
    makeBroadcaster(vm, stage);
    vm.defineMethod(stage, "addListener", [stage](NativeCall& call) -> Value {
        addListener(call.vm, stage, call.arg(0));
        return Value(true);
    });
    vm.defineMethod(stage, "removeListener", [stage](NativeCall& call) -> Value {
        return Value(removeListener(call.vm, stage, call.arg(0)));
    });
    // The size is the host's to change: writes are ignored.
    stage->defineNative(
        "width", [p](Vm&, Object&) -> Value { return Value(p->stageWidth()); },
        [](Vm&, Object&, const Value&) {});
    stage->defineNative(
        "height", [p](Vm&, Object&) -> Value { return Value(p->stageHeight()); },
        [](Vm&, Object&, const Value&) {});
    stage->defineNative(
        "scaleMode",
        [p](Vm&, Object&) -> Value {
            return Value(player::scaleModeName(p->stageSettings().scaleMode));
        },
        [p, stage](Vm& vm, Object&, const Value& v) {
            // An unknown mode leaves the current one.
            auto mode = player::scaleModeNamed(vm.toString(v));
            if (!mode) return;
            const int width = p->stageWidth();
            const int height = p->stageHeight();
            p->stageSettings().scaleMode = *mode;
            // Turning to noScale sizes the stage to the display area: that is a resize.
            if (*mode == player::ScaleMode::NoScale &&
                (width != p->stageWidth() || height != p->stageHeight()))
                broadcast(vm, stage, "onResize");
        });
    stage->defineNative(
        "align",
        [p](Vm&, Object&) -> Value {
            return Value(player::stageAlignText(p->stageSettings().align));
        },
        [p](Vm& vm, Object&, const Value& v) {
            p->stageSettings().align = player::parseStageAlign(vm.toString(v));
        });
    stage->defineNative(
        "showMenu", [p](Vm&, Object&) -> Value { return Value(p->stageSettings().showMenu); },
        [p](Vm& vm, Object&, const Value& v) { p->stageSettings().showMenu = vm.toBoolean(v); });
    vm.global()->define("Stage", Value(stage), avm1::kDontEnum);
    // Listeners stay with Stage even when a movie hides the global name.
    vm.addRoot(stage);

    vm.global()->define("$version", Value(player::kPlayerVersion), avm1::kDontEnum);
    vm.defineMethod(vm.global(), "getVersion",
                    [](NativeCall&) -> Value { return Value(player::kPlayerVersion); });
    return stage;
}

}  // namespace kestrel::runtime
