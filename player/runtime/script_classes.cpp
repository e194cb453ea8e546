// Display properties shared by clips, text fields and buttons, and the choice of
// prototype for a new display object.
#include "player/runtime/script_classes.h"

#include <cmath>

#include "player/core/button.h"
#include "player/core/movie_clip.h"
#include "player/core/player_version.h"
#include "player/core/stage.h"
#include "player/runtime/display_paths.h"
#include "player/runtime/field_layout.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/script_helpers.h"
#include "player/runtime/text_metrics.h"

namespace kestrel::runtime {

using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

using NumberSetter = void (player::DisplayObject::*)(double);
using NumberGetter = double (player::DisplayObject::*)() const;

}  // namespace

const char* DisplayObjectData::typeOfName() const {
    return isClip ? "movieclip" : nullptr;
}

bool DisplayObjectData::lookupDynamic(std::string_view name, bool caseSensitive, Value& out) {
    auto display = object.lock();
    if (!display || display->isRemoved()) return false;
    player::DisplayObject* child = nullptr;
    if (display->isClip())
        child =
            static_cast<player::MovieClip&>(*display).childByName(std::string(name), caseSensitive);
    else if (display->kind() == player::DisplayObjectKind::Button)
        child =
            static_cast<player::Button&>(*display).childByName(std::string(name), caseSensitive);
    // Before SWF 6 a button is no object of its own: its name stands for this clip.
    if (child && child->kind() == player::DisplayObjectKind::Button && vm->swfVersion() < 6 &&
        self) {
        out = Value(self);
        return true;
    }
    if (auto* o = child ? static_cast<Object*>(child->scriptObject()) : nullptr) {
        out = Value(o);
        return true;
    }
    if (caseSensitive && !name.empty() && name[0] == '_' && self) {
        if (avm1::Property* p = self->findOwn(name, false); p && p->nativeGetter) {
            out = (*p->nativeGetter)(*vm, *self);
            return true;
        }
    }
    return false;
}

DisplayObjectData* displayDataOf(Object& self) {
    return dynamic_cast<DisplayObjectData*>(self.nativeData());
}

TextFieldSettings* textFieldSettingsOf(Object& self) {
    auto* data = dynamic_cast<DisplayObjectData*>(self.nativeData());
    return data && textFieldOfSelf(self) ? &data->textField : nullptr;
}

void DisplayObjectData::markReferences(avm1::Marker& m) {
    m.mark(textField.styleSheet);
    for (const Value& f : textField.filters) m.mark(f);
}

ScriptClasses::ScriptClasses(MoviePlayer& player, Vm& vm) : player_(player), vm_(vm) {
    installMovieClip();
    installTextField();
    InstallTextFormatClass(vm);
    installButton();
    installKeyAndMouse();
    installSelection();
    installTabIndex();
    installXmlClasses(player, vm);
    installLoadVarsClass(player, vm);
    installSoundClass(vm);
    installPrintJobClass(vm);
    installTextSnapshotClass(vm);
    installConnectionClasses(player, vm);
    installPlatformClasses(player, vm);
    stage_ = installStageClass(player, vm);
}

Object* ScriptClasses::registeredConstructorOf(const player::DisplayObject& object) const {
    if (!object.isClip() || object.characterId() == 0) return nullptr;
    std::string symbol = object.stage().movie().exportNameOf(object.characterId());
    if (symbol.empty()) return nullptr;
    return vm_.registeredClass(symbol);
}

Object* ScriptClasses::createScriptObject(player::DisplayObject& display) {
    Object* proto = nullptr;
    switch (display.kind()) {
        case player::DisplayObjectKind::MovieClip: {
            proto = movieClip_;
            if (Object* ctor = registeredConstructorOf(display)) {
                Value p = vm_.getMember(Value(ctor), "prototype");
                if (p.isObject()) proto = p.asObject();
            }
            break;
        }
        case player::DisplayObjectKind::EditText:
            proto = textField_;
            break;
        case player::DisplayObjectKind::Button:
            proto = button_;
            break;
        case player::DisplayObjectKind::Shape:
            return nullptr;
    }
    auto data =
        std::make_unique<DisplayObjectData>(vm_, display.weak_from_this(), display.isClip());
    DisplayObjectData* rawData = data.get();
    Object* object = vm_.newHostObject(proto, std::move(data));
    rawData->self = object;
    installDisplayProperties(object, display);
    if (display.isClip()) installClipProperties(object, display);
    if (display.kind() == player::DisplayObjectKind::EditText)
        InitFieldContent(static_cast<player::EditText&>(display), rawData->textField);
    return object;
}

void ScriptClasses::installDisplayProperties(Object* object, player::DisplayObject& display) {
    auto number = [&](const char* name, NumberGetter get, NumberSetter set) {
        object->defineNative(
            name,
            [get](Vm&, Object& self) -> Value {
                player::DisplayObject* d = displayOf(self);
                return d ? Value((d->*get)()) : Value();
            },
            [set](Vm& vm, Object& self, const Value& v) {
                player::DisplayObject* d = displayOf(self);
                double n = vm.toNumber(v);
                if (d && !std::isnan(n)) (d->*set)(n);
            });
    };
    number("_x", &player::DisplayObject::x, &player::DisplayObject::setX);
    number("_y", &player::DisplayObject::y, &player::DisplayObject::setY);
    number("_xscale", &player::DisplayObject::xScale, &player::DisplayObject::setXScale);
    number("_yscale", &player::DisplayObject::yScale, &player::DisplayObject::setYScale);
    number("_rotation", &player::DisplayObject::rotation, &player::DisplayObject::setRotation);
    number("_alpha", &player::DisplayObject::alpha, &player::DisplayObject::setAlpha);
    number("_width", &player::DisplayObject::width, &player::DisplayObject::setWidth);
    number("_height", &player::DisplayObject::height, &player::DisplayObject::setHeight);
    if (display.kind() == player::DisplayObjectKind::EditText) {
        // A text field's box changes size; its text is not stretched.
        for (bool horizontal : {true, false})
            object->defineNative(
                horizontal ? "_width" : "_height",
                [horizontal](Vm&, Object& self) -> Value {
                    player::DisplayObject* d = displayOf(self);
                    if (!d) return Value();
                    return Value(horizontal ? d->width() : d->height());
                },
                [horizontal](Vm& vm, Object& self, const Value& v) {
                    player::EditText* f = textFieldOfSelf(self);
                    if (!f) return;
                    if (TextFieldSettings* settings = textFieldSettingsOf(self))
                        FieldContent(*f, *settings);
                    ResizeAutoSizedField(*f, horizontal, vm.toNumber(v));
                });
    }

    object->defineNative(
        "_visible",
        [](Vm&, Object& self) -> Value {
            player::DisplayObject* d = displayOf(self);
            return d ? Value(d->visible()) : Value();
        },
        [this](Vm& vm, Object& self, const Value& v) {
            player::DisplayObject* d = displayOf(self);
            if (!d) return;
            d->setVisible(vm.toBoolean(v));
            // A hidden object keeps no keyboard focus.
            if (!d->visible()) focusMayHaveGone();
        });
    object->defineNative(
        "_name",
        [](Vm&, Object& self) -> Value {
            player::DisplayObject* d = displayOf(self);
            if (!d) return Value();
            // A level has no instance name.
            return d->container() || d->isRemoved() ? Value(d->name()) : Value("");
        },
        [](Vm& vm, Object& self, const Value& v) {
            if (player::DisplayObject* d = displayOf(self)) d->setName(vm.toString(v));
        });
    object->defineNative(
        "_target",
        [](Vm&, Object& self) -> Value {
            player::DisplayObject* d = displayOf(self);
            if (!d) return Value();
            const DisplayObjectData* data = displayDataOf(self);
            return Value(data && d->isRemoved() ? data->removedTarget : slashTargetOf(*d));
        },
        nullptr);
    MoviePlayer* player = &player_;
    object->defineNative(
        "_parent",
        [player](Vm&, Object& self) -> Value {
            player::DisplayObject* d = displayOf(self);
            if (!d || !d->container()) return Value();
            Object* p = player->referenceTo(*d->container());
            return p ? Value(p) : Value();
        },
        nullptr);
    object->defineNative(
        "_root",
        [player](Vm&, Object& self) -> Value {
            player::DisplayObject* d = displayOf(self);
            Object* r = d ? player->scriptObjectOf(d->root()) : player->rootObject();
            return r ? Value(r) : Value();
        },
        nullptr);
    object->defineNative(
        "_global", [](Vm& vm, Object&) -> Value { return Value(vm.global()); }, nullptr);
    auto mouse = [player](bool wantX) {
        return [player, wantX](Vm&, Object& self) -> Value {
            player::DisplayObject* d = displayOf(self);
            if (!d || !player->stage()) return Value();
            player::Point stagePx{player->stage()->mousePosition().x / player::kTwipsPerPixel,
                                  player->stage()->mousePosition().y / player::kTwipsPerPixel};
            player::Point local;
            if (!stageToLocalPixels(*d, stagePx, local)) return Value(0);
            return Value(std::round(wantX ? local.x : local.y));
        };
    };
    object->defineNative("_xmouse", mouse(true), nullptr);
    object->defineNative("_ymouse", mouse(false), nullptr);
    object->defineNative(
        "_url", [player](Vm&, Object&) -> Value { return Value(player->stageSettings().movieUrl); },
        nullptr);
    // One quality for the whole player, reachable from every timeline.
    object->defineNative(
        "_quality",
        [player](Vm&, Object&) -> Value {
            return Value(player::renderQualityName(player->stageSettings().quality));
        },
        [player](Vm& vm, Object&, const Value& v) {
            if (auto quality = player::renderQualityNamed(vm.toString(v)))
                player->stageSettings().quality = *quality;
        });
    object->defineNative(
        "_highquality",
        [player](Vm&, Object&) -> Value {
            switch (player->stageSettings().quality) {
                case player::RenderQuality::Low:
                    return Value(0);
                case player::RenderQuality::Best:
                    return Value(2);
                default:
                    return Value(1);
            }
        },
        [player](Vm& vm, Object&, const Value& v) {
            const double level = vm.toNumber(v);
            if (std::isnan(level)) return;
            player->stageSettings().quality = level < 1   ? player::RenderQuality::Low
                                              : level < 2 ? player::RenderQuality::High
                                                          : player::RenderQuality::Best;
        });
    if (display.kind() != player::DisplayObjectKind::EditText)
        InstallPlayerProperties(player_, object, display);
    if (!display.container())
        object->define("$version", Value(player::kPlayerVersion), avm1::kDontEnum);
    object->defineNative(
        "_droptarget", [](Vm&, Object&) -> Value { return Value(""); }, nullptr);
}

void ScriptClasses::installClipProperties(Object* object, player::DisplayObject&) {
    object->defineNative(
        "_currentframe",
        [](Vm&, Object& self) -> Value {
            player::MovieClip* c = clipOfSelf(self);
            return c ? Value(c->currentFrame()) : Value();
        },
        nullptr);
    auto total = [](Vm&, Object& self) -> Value {
        player::MovieClip* c = clipOfSelf(self);
        return c ? Value(c->totalFrames()) : Value();
    };
    object->defineNative("_totalframes", total, nullptr);
    object->defineNative("_framesloaded", total, nullptr);
}

void ScriptClasses::installButton() {
    button_ = vm_.newObject();
    makeClass(vm_, "Button", button_, nullptr);
    vm_.defineMethod(button_, "getDepth", [](avm1::NativeCall& call) -> Value {
        Object* self = call.thisObject();
        player::DisplayObject* d = self ? displayOf(*self) : nullptr;
        return d ? Value(d->depth()) : Value();
    });
    button_->define("enabled", Value(true));
    button_->define("useHandCursor", Value(true));
}

}  // namespace kestrel::runtime
