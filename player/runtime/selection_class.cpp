// Selection: which display object has the keyboard focus, and the selection inside the
// focused text field. Focusing a text field selects all of its text.
#include <algorithm>
#include <cmath>

#include "player/runtime/movie_player.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;

player::DisplayObject* ScriptClasses::focusedObject() const {
    auto focus = focus_.lock();
    return focus && !focus->isRemoved() ? focus.get() : nullptr;
}

namespace {

// The script object of the focused object, kept on Selection so it stays alive for the
// notice of its removal.
constexpr const char* kFocusSlot = "__focus";

// Buttons and clips show the keyboard focus as the mouse over them would: they roll over
// each time the focus is given to them, and out when it is taken from them or given again.
bool rollsWithFocus(const player::DisplayObject& d) {
    return d.kind() == player::DisplayObjectKind::Button || d.isClip();
}

}  // namespace

void ScriptClasses::moveFocus(player::DisplayObject* next) {
    player::DisplayObject* previous = focusedObject();
    Object* nextScript = next ? player_.scriptObjectOf(*next) : nullptr;
    focus_ = next ? next->weak_from_this() : std::weak_ptr<player::DisplayObject>();
    selection_->define(kFocusSlot, nextScript ? Value(nextScript) : Value::null(), avm1::kDontEnum);
    if (next && nextScript && next->kind() == player::DisplayObjectKind::EditText) {
        TextFieldSettings& s = *textFieldSettingsOf(*nextScript);
        s.selectionBegin = 0;
        s.selectionEnd = FieldContent(static_cast<player::EditText&>(*next), s).Length();
    }
    if (player::Stage* stage = player_.stage()) {
        if (previous && rollsWithFocus(*previous))
            stage->fire(*previous, player::MouseEvent::RollOut);
        if (next && rollsWithFocus(*next)) stage->fire(*next, player::MouseEvent::RollOver);
    }
    if (previous == next) return;
    auto scriptOf = [this](player::DisplayObject* d) {
        Object* o = d ? player_.scriptObjectOf(*d) : nullptr;
        return o ? Value(o) : Value::null();
    };
    // The object losing the focus hears first, then the one taking it, then listeners.
    Value was = scriptOf(previous), now = scriptOf(next);
    if (was.isObject()) vm_.callMethod(was, "onKillFocus", {now});
    if (now.isObject()) vm_.callMethod(now, "onSetFocus", {was});
    broadcast(vm_, selection_, "onSetFocus", {was, now});
}

void ScriptClasses::focusMayHaveGone() {
    if (!selection_) return;
    if (player::DisplayObject* focus = focusedObject()) {
        if (!focus->visible()) moveFocus(nullptr);
        return;
    }
    // Removed: the listeners hear of it with the object as it was.
    Value old = vm_.getMember(Value(selection_), kFocusSlot);
    if (!old.isObject()) return;
    focus_.reset();
    selection_->define(kFocusSlot, Value::null(), avm1::kDontEnum);
    broadcast(vm_, selection_, "onSetFocus", {old, Value::null()});
}

void ScriptClasses::installSelection() {
    MoviePlayer* player = &player_;
    Object* selection = vm_.newObject();
    selection_ = selection;
    vm_.global()->define("Selection", Value(selection), avm1::kDontEnum);
    vm_.defineMethod(selection, "getFocus", [this](NativeCall&) -> Value {
        player::DisplayObject* d = focusedObject();
        return d ? Value(d->targetPath()) : Value::null();
    });
    // setFocus(object or target path); null or undefined takes the focus away.
    vm_.defineMethod(selection, "setFocus", [this, player](NativeCall& call) -> Value {
        Value target = call.arg(0);
        Object* object = target.asObject();
        if (!object && target.isString())
            object = call.vm.resolveTargetPath(player->rootObject(), call.vm.toString(target));
        player::DisplayObject* next = object ? displayOf(*object) : nullptr;
        if (!next && !target.isNullish()) return Value(false);
        // A clip takes the focus only when focusEnabled or acting as a button.
        if (next && next->isClip() &&
            !call.vm.toBoolean(call.vm.getMember(Value(object), "focusEnabled")) &&
            !ActsAsButton(call.vm, object))
            return Value(false);
        moveFocus(next);
        return Value(true);
    });
    auto focusedSettings = [this]() -> TextFieldSettings* {
        player::DisplayObject* d = focusedObject();
        if (!d || d->kind() != player::DisplayObjectKind::EditText) return nullptr;
        Object* o = static_cast<Object*>(d->scriptObject());
        return o ? textFieldSettingsOf(*o) : nullptr;
    };
    vm_.defineMethod(selection, "getBeginIndex", [focusedSettings](NativeCall&) -> Value {
        TextFieldSettings* s = focusedSettings();
        return Value(s ? static_cast<double>(s->selectionBegin) : -1.0);
    });
    vm_.defineMethod(selection, "getEndIndex", [focusedSettings](NativeCall&) -> Value {
        TextFieldSettings* s = focusedSettings();
        return Value(s ? static_cast<double>(s->selectionEnd) : -1.0);
    });
    vm_.defineMethod(selection, "getCaretIndex", [focusedSettings](NativeCall&) -> Value {
        TextFieldSettings* s = focusedSettings();
        return Value(s ? static_cast<double>(s->selectionEnd) : -1.0);
    });
    vm_.defineMethod(selection, "setSelection", [this, focusedSettings](NativeCall& call) -> Value {
        TextFieldSettings* s = focusedSettings();
        if (!s) return Value();
        auto& field = static_cast<player::EditText&>(*focusedObject());
        double length = static_cast<double>(FieldContent(field, *s).Length());
        auto index = [&](const Value& v) {
            double n = call.vm.toNumber(v);
            return std::isnan(n) ? size_t{0} : static_cast<size_t>(std::clamp(n, 0.0, length));
        };
        size_t begin = index(call.arg(0)), end = index(call.arg(1));
        s->selectionBegin = std::min(begin, end);
        s->selectionEnd = std::max(begin, end);
        return Value();
    });
    vm_.defineMethod(selection, "addListener", [selection](NativeCall& call) -> Value {
        addListener(call.vm, selection, call.arg(0));
        return Value(true);
    });
    vm_.defineMethod(selection, "removeListener", [selection](NativeCall& call) -> Value {
        return Value(removeListener(call.vm, selection, call.arg(0)));
    });
}

}  // namespace kestrel::runtime
