// _focusrect and _soundbuftime: settings of the whole player, reachable from every
// timeline like _quality.
#include <cmath>

#include "player/avm1/conversions.h"
#include "player/core/display_object.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"

namespace kestrel::runtime {

using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

// Movies before SWF 6 read the flag as a number, later ones as a Boolean.
Value FocusRectValue(Vm& vm, bool on) {
    if (vm.swfVersion() < 6) return Value(on ? 1 : 0);
    return Value(on);
}

// From SWF 6 a clip or button has its own _focusrect, null until set; a level and
// older movies reach the player's.
DisplayObjectData* OwnFocusRectOf(Vm& vm, Object& self, bool isLevel) {
    if (isLevel || vm.swfVersion() < 6) return nullptr;
    return displayDataOf(self);
}

}  // namespace

void InstallPlayerProperties(MoviePlayer& player, Object* object, player::DisplayObject& display) {
    MoviePlayer* p = &player;
    const bool isLevel = display.container() == nullptr;
    object->defineNative(
        "_focusrect",
        [p, isLevel](Vm& vm, Object& self) -> Value {
            if (DisplayObjectData* data = OwnFocusRectOf(vm, self, isLevel))
                return data->focusRect ? Value(*data->focusRect) : Value::null();
            return FocusRectValue(vm, p->stageSettings().focusRect);
        },
        [p, isLevel](Vm& vm, Object& self, const Value& v) {
            if (DisplayObjectData* data = OwnFocusRectOf(vm, self, isLevel)) {
                // Undefined or null gives the choice back to the player.
                if (v.isNullish())
                    data->focusRect.reset();
                else
                    data->focusRect = vm.toBoolean(v);
                return;
            }
            p->stageSettings().focusRect = vm.toBoolean(v);
        });
    object->defineNative(
        "_soundbuftime",
        [p](Vm&, Object&) -> Value { return Value(p->stageSettings().soundBufferTime); },
        [p](Vm& vm, Object&, const Value& v) {
            // Kept as a whole number of seconds, as the bit operations convert.
            p->stageSettings().soundBufferTime = avm1::toInt32(vm.toNumber(v));
        });
}

}  // namespace kestrel::runtime
