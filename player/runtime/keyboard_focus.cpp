// The keyboard focus beyond Selection: tabIndex on buttons, clips and text fields, and the
// Tab key moving the focus through the objects that take part in tab order.
#include <algorithm>
#include <memory>
#include <optional>

#include "player/core/movie_clip.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"
#include "player/runtime/tab_order.h"

namespace kestrel::runtime {

using avm1::Object;
using avm1::Value;
using avm1::Vm;

avm1::NativeGetter TabIndexGetter() {
    return [](Vm&, Object& self) -> Value {
        DisplayObjectData* data = displayDataOf(self);
        if (!data || !data->tabIndex) return Value();
        return Value(static_cast<double>(*data->tabIndex));
    };
}

avm1::NativeSetter TabIndexSetter(int64_t (*store)(double), int minVersion) {
    return [store, minVersion](Vm& vm, Object& self, const Value& v) {
        // Movies older than the property keep the value as it is.
        if (vm.swfVersion() < minVersion) {
            self.define("tabIndex", v);
            return;
        }
        DisplayObjectData* data = displayDataOf(self);
        if (!data) return;
        if (v.isUndefined())
            data->tabIndex.reset();
        else
            data->tabIndex = store(vm.toNumber(v));
    };
}

void ScriptClasses::installTabIndex() {
    // Buttons and clips have it from SWF 6 on; a button lists it in for..in, a clip does not.
    constexpr int kSince = 6;
    button_->defineNative("tabIndex", TabIndexGetter(), TabIndexSetter(ButtonTabIndex, kSince), 0);
    movieClip_->defineNative("tabIndex", TabIndexGetter(), TabIndexSetter(ButtonTabIndex, kSince),
                             avm1::kDontEnum);
}

namespace {

// The methods that make a clip act as a button.
constexpr const char* kButtonHandlers[] = {"onPress",    "onRelease", "onReleaseOutside",
                                           "onRollOver", "onRollOut", "onDragOver",
                                           "onDragOut"};

bool IsFalse(Vm& vm, const Value& v) {
    return !v.isUndefined() && !vm.toBoolean(v);
}

}  // namespace

bool ActsAsButton(Vm& vm, Object* clip) {
    for (const char* name : kButtonHandlers) {
        Value handler = vm.getMember(Value(clip), name);
        if (handler.isObject() && handler.asObject()->kind() == avm1::ObjectKind::Function)
            return true;
    }
    return false;
}

// tabEnabled false leaves an object out; undefined leaves in buttons and input fields,
// and clips only when they act as buttons; true brings in any clip or field. tabChildren false
// leaves out a clip's children. Hidden objects and everything inside them are left out.
std::vector<std::shared_ptr<player::DisplayObject>> ScriptClasses::tabStops() {
    std::vector<std::shared_ptr<player::DisplayObject>> stops;
    player::Stage* stage = player_.stage();
    if (!stage) return stops;
    auto visit = [&](auto& self, player::DisplayObject& d, bool isRoot) -> void {
        if (d.isRemoved() || !d.visible()) return;
        Object* script = player_.scriptObjectOf(d);
        if (!script) return;
        Value tabEnabled = vm_.getMember(Value(script), "tabEnabled");
        bool included = false;
        switch (d.kind()) {
            case player::DisplayObjectKind::Button:
                included = !IsFalse(vm_, vm_.getMember(Value(script), "enabled"));
                break;
            case player::DisplayObjectKind::EditText:
                included = !static_cast<player::EditText&>(d).format().readOnly ||
                           (!tabEnabled.isUndefined() && vm_.toBoolean(tabEnabled));
                break;
            case player::DisplayObjectKind::MovieClip:
                included = !isRoot && (tabEnabled.isUndefined() ? ActsAsButton(vm_, script)
                                                                : vm_.toBoolean(tabEnabled));
                break;
            case player::DisplayObjectKind::Shape:
                break;
        }
        if (included && !IsFalse(vm_, tabEnabled)) stops.push_back(d.shared_from_this());
        if (!d.isClip() || IsFalse(vm_, vm_.getMember(Value(script), "tabChildren"))) return;
        // A property getter may change the display list while it is walked.
        std::vector<std::shared_ptr<player::DisplayObject>> children;
        for (const auto& [depth, child] : static_cast<player::MovieClip&>(d).children())
            children.push_back(child);
        for (const auto& child : children) self(self, *child, false);
    };
    visit(visit, stage->root(), true);
    stops.erase(
        std::remove_if(stops.begin(), stops.end(), [](const auto& d) { return d->isRemoved(); }),
        stops.end());
    return stops;
}

void ScriptClasses::focusNextByTab(bool backwards) {
    std::vector<std::shared_ptr<player::DisplayObject>> objects = tabStops();
    std::vector<TabStop> stops;
    std::optional<size_t> current;
    player::DisplayObject* focused = focusedObject();
    for (const auto& d : objects) {
        if (d.get() == focused) current = stops.size();
        TabStop stop;
        if (Object* script = player_.scriptObjectOf(*d))
            if (DisplayObjectData* data = displayDataOf(*script)) stop.tabIndex = data->tabIndex;
        // An object with nothing in it stands at its origin.
        const player::Matrix world = d->worldMatrix();
        const player::Rect bounds = world.transformRect(d->localBounds());
        stop.left = bounds.isEmpty() ? world.tx : bounds.xMin;
        stop.top = bounds.isEmpty() ? world.ty : bounds.yMin;
        stops.push_back(stop);
    }
    std::optional<size_t> next = NextTabStop(TabOrder(stops), current, backwards);
    if (next) moveFocus(objects[*next].get());
}

}  // namespace kestrel::runtime
