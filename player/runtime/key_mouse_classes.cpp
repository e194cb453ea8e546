// Key and Mouse: key state, the last key, cursor visibility and listener lists.
#include "player/avm1/conversions.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;

void ScriptClasses::installKeyAndMouse() {
    MoviePlayer* player = &player_;
    key_ = vm_.newObject();
    static const std::pair<const char*, int> kKeys[] = {
        {"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46}, {"DOWN", 40},
        {"END", 35},      {"ENTER", 13},    {"ESCAPE", 27},  {"HOME", 36},      {"INSERT", 45},
        {"LEFT", 37},     {"PGDN", 34},     {"PGUP", 33},    {"RIGHT", 39},     {"SHIFT", 16},
        {"SPACE", 32},    {"TAB", 9},       {"UP", 38},      {"ALT", 18}};
    for (const auto& [name, code] : kKeys)
        key_->define(name, Value(code), avm1::kDontEnum | avm1::kDontDelete | avm1::kReadOnly);
    vm_.defineMethod(key_, "isDown", [player](NativeCall& call) -> Value {
        return Value(player->keyIsDown(avm1::toInt32(call.vm.toNumber(call.arg(0)))));
    });
    vm_.defineMethod(key_, "getCode",
                     [player](NativeCall&) -> Value { return Value(player->lastKeyCode()); });
    vm_.defineMethod(key_, "getAscii",
                     [player](NativeCall&) -> Value { return Value(player->lastCharCode()); });
    vm_.defineMethod(key_, "isToggled", [](NativeCall&) -> Value { return Value(false); });

    mouse_ = vm_.newObject();
    vm_.defineMethod(mouse_, "show", [player](NativeCall&) -> Value {
        bool wasHidden = player->mouseHidden();
        player->setMouseHidden(false);
        return Value(wasHidden ? 0 : 1);
    });
    vm_.defineMethod(mouse_, "hide", [player](NativeCall&) -> Value {
        bool wasHidden = player->mouseHidden();
        player->setMouseHidden(true);
        return Value(wasHidden ? 0 : 1);
    });

    for (Object* broadcaster : {key_, mouse_}) {
        makeBroadcaster(vm_, broadcaster);
        vm_.defineMethod(broadcaster, "addListener", [broadcaster](NativeCall& call) -> Value {
            addListener(call.vm, broadcaster, call.arg(0));
            return Value(true);
        });
        vm_.defineMethod(broadcaster, "removeListener", [broadcaster](NativeCall& call) -> Value {
            return Value(removeListener(call.vm, broadcaster, call.arg(0)));
        });
    }
    vm_.global()->define("Key", Value(key_), avm1::kDontEnum);
    vm_.global()->define("Mouse", Value(mouse_), avm1::kDontEnum);
}

}  // namespace kestrel::runtime
