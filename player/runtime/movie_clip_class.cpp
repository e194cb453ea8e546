// MovieClip.prototype: timeline control, script-made children, depths, geometry.
#include <cmath>

#include "player/avm1/conversions.h"
#include "player/core/stage.h"
#include "player/runtime/display_paths.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

player::MovieClip* thisClip(NativeCall& call) {
    Object* self = call.thisObject();
    return self ? clipOfSelf(*self) : nullptr;
}

int toInt(Vm& vm, const Value& v) {
    double n = vm.toNumber(v);
    return std::isfinite(n) ? static_cast<int>(n) : 0;
}

// A frame argument: numbers (and numeric strings) are frame numbers, other strings labels.
void gotoFrameArgument(Vm& vm, player::MovieClip& clip, const Value& frame, bool andPlay) {
    if (frame.isString()) {
        if (clip.gotoLabel(frame.asString(), andPlay)) return;
        double n = vm.toNumber(frame);
        if (std::isnan(n)) return;
        clip.gotoFrame(static_cast<int>(n), andPlay);
        return;
    }
    double n = vm.toNumber(frame);
    if (std::isnan(n)) return;
    clip.gotoFrame(static_cast<int>(n), andPlay);
}

void copyInitObject(Vm& vm, Object* target, const Value& init) {
    if (!target || !init.isObject()) return;
    for (const auto& p : init.asObject()->properties()) {
        if (p.flags & avm1::kDontEnum) continue;
        vm.setMember(Value(target), p.name, vm.getMember(init, p.name));
    }
}

Value pointObject(Vm& vm, const player::Rect& r) {
    Object* o = vm.newObject();
    o->define("xMin", Value(r.xMin));
    o->define("xMax", Value(r.xMax));
    o->define("yMin", Value(r.yMin));
    o->define("yMax", Value(r.yMax));
    return Value(o);
}

}  // namespace

void ScriptClasses::installMovieClip() {
    movieClip_ = vm_.newObject();
    makeClass(vm_, "MovieClip", movieClip_, nullptr);
    Object* p = movieClip_;
    MoviePlayer* player = &player_;

    auto timeline = [&](const char* name, void (*action)(Vm&, player::MovieClip&, NativeCall&)) {
        vm_.defineMethod(p, name, [action](NativeCall& call) -> Value {
            if (player::MovieClip* c = thisClip(call)) action(call.vm, *c, call);
            return Value();
        });
    };
    timeline("play", [](Vm&, player::MovieClip& c, NativeCall&) { c.play(); });
    timeline("stop", [](Vm&, player::MovieClip& c, NativeCall&) { c.stop(); });
    timeline("nextFrame", [](Vm&, player::MovieClip& c, NativeCall&) { c.nextFrame(); });
    timeline("prevFrame", [](Vm&, player::MovieClip& c, NativeCall&) { c.prevFrame(); });
    timeline("gotoAndPlay", [](Vm& vm, player::MovieClip& c, NativeCall& call) {
        gotoFrameArgument(vm, c, call.arg(0), true);
    });
    timeline("gotoAndStop", [](Vm& vm, player::MovieClip& c, NativeCall& call) {
        gotoFrameArgument(vm, c, call.arg(0), false);
    });

    vm_.defineMethod(p, "attachMovie", [player](NativeCall& call) -> Value {
        player::MovieClip* c = thisClip(call);
        if (!c || call.args.size() < 3) return Value();
        player::MovieClip* made =
            c->attachMovie(call.vm.toString(call.arg(0)), call.vm.toString(call.arg(1)),
                           toInt(call.vm, call.arg(2)));
        if (!made) return Value();
        Object* o = player->scriptObjectOf(*made);
        copyInitObject(call.vm, o, call.arg(3));
        return o ? Value(o) : Value();
    });
    vm_.defineMethod(p, "createEmptyMovieClip", [player](NativeCall& call) -> Value {
        player::MovieClip* c = thisClip(call);
        if (!c || call.args.size() < 2) return Value();
        player::MovieClip* made =
            c->createEmptyMovieClip(call.vm.toString(call.arg(0)), toInt(call.vm, call.arg(1)));
        Object* o = made ? player->scriptObjectOf(*made) : nullptr;
        return o ? Value(o) : Value();
    });
    vm_.defineMethod(p, "duplicateMovieClip", [player](NativeCall& call) -> Value {
        player::MovieClip* c = thisClip(call);
        if (!c || call.args.size() < 2) return Value();
        player::MovieClip* made =
            c->duplicate(call.vm.toString(call.arg(0)), toInt(call.vm, call.arg(1)));
        if (!made) return Value();
        Object* o = player->scriptObjectOf(*made);
        copyInitObject(call.vm, o, call.arg(2));
        return o ? Value(o) : Value();
    });
    vm_.defineMethod(p, "createTextField", [player](NativeCall& call) -> Value {
        player::MovieClip* c = thisClip(call);
        if (!c || call.args.size() < 6) return Value();
        Vm& vm = call.vm;
        player::EditText* made = c->createTextField(
            vm.toString(call.arg(0)), toInt(vm, call.arg(1)), vm.toNumber(call.arg(2)),
            vm.toNumber(call.arg(3)), vm.toNumber(call.arg(4)), vm.toNumber(call.arg(5)));
        // The new field is returned from SWF 8 on; older movies reach it by name.
        Object* o = made ? player->scriptObjectOf(*made) : nullptr;
        return o && vm.swfVersion() >= 8 ? Value(o) : Value();
    });
    vm_.defineMethod(p, "removeMovieClip", [this](NativeCall& call) -> Value {
        player::MovieClip* c = thisClip(call);
        if (c && c->parent()) c->parent()->removeChildByScript(*c);
        focusMayHaveGone();
        return Value();
    });
    vm_.defineMethod(p, "getDepth", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        player::DisplayObject* d = self ? displayOf(*self) : nullptr;
        return d ? Value(d->depth()) : Value();
    });
    // What is at a depth: a clip or field as itself, a shape or other object that scripts
    // cannot reach as the clip holding it.
    vm_.defineMethod(p, "getInstanceAtDepth", [player](NativeCall& call) -> Value {
        player::MovieClip* c = thisClip(call);
        if (!c || call.args.empty()) return Value();
        double depth = call.vm.toNumber(call.args[0]);
        if (std::isnan(depth)) return Value();
        player::DisplayObject* child = c->childAtDepth(avm1::toInt32(depth));
        if (!child) return Value();
        Object* o = player->scriptObjectOf(*child);
        return o ? Value(o) : call.thisValue;
    });
    vm_.defineMethod(p, "getNextHighestDepth", [](NativeCall& call) -> Value {
        player::MovieClip* c = thisClip(call);
        return c ? Value(c->nextHighestDepth()) : Value();
    });
    vm_.defineMethod(p, "swapDepths", [](NativeCall& call) -> Value {
        player::MovieClip* c = thisClip(call);
        if (!c || !c->parent()) return Value();
        Value target = call.arg(0);
        int depth = 0;
        if (target.isObject()) {
            player::DisplayObject* other = displayOf(*target.asObject());
            if (!other || other->parent() != c->parent()) return Value();
            depth = other->depth();
        } else {
            depth = toInt(call.vm, target);
        }
        c->parent()->swapChildDepth(*c, depth);
        return Value();
    });
    vm_.defineMethod(p, "getBounds", [](NativeCall& call) -> Value {
        player::MovieClip* c = thisClip(call);
        if (!c) return Value();
        const player::DisplayObject* space = c;
        if (call.arg(0).isObject())
            if (player::DisplayObject* d = displayOf(*call.arg(0).asObject())) space = d;
        return pointObject(call.vm, boundsInSpace(*c, *space));
    });
    vm_.defineMethod(p, "hitTest", [](NativeCall& call) -> Value {
        player::MovieClip* c = thisClip(call);
        if (!c) return Value(false);
        if (call.arg(0).isObject()) {
            player::DisplayObject* other = displayOf(*call.arg(0).asObject());
            if (!other) return Value(false);
            player::Rect a = c->worldMatrix().transformRect(c->localBounds());
            player::Rect b = other->worldMatrix().transformRect(other->localBounds());
            bool overlap = !a.isEmpty() && !b.isEmpty() && a.xMin <= b.xMax && b.xMin <= a.xMax &&
                           a.yMin <= b.yMax && b.yMin <= a.yMax;
            return Value(overlap);
        }
        double x = call.vm.toNumber(call.arg(0)) * player::kTwipsPerPixel;
        double y = call.vm.toNumber(call.arg(1)) * player::kTwipsPerPixel;
        if (call.vm.toBoolean(call.arg(2))) return Value(c->hitTest(x, y));
        return Value(c->worldMatrix().transformRect(c->localBounds()).contains(x, y));
    });
    auto convertPoint = [](bool toGlobal) {
        return [toGlobal](NativeCall& call) -> Value {
            player::MovieClip* c = thisClip(call);
            Value pt = call.arg(0);
            if (!c || !pt.isObject()) return Value();
            Vm& vm = call.vm;
            player::Point in{vm.toNumber(vm.getMember(pt, "x")),
                             vm.toNumber(vm.getMember(pt, "y"))};
            player::Point out;
            if (toGlobal)
                out = localToStagePixels(*c, in);
            else if (!stageToLocalPixels(*c, in, out))
                return Value();
            vm.setMember(pt, "x", Value(out.x));
            vm.setMember(pt, "y", Value(out.y));
            return Value();
        };
    };
    vm_.defineMethod(p, "localToGlobal", convertPoint(true));
    vm_.defineMethod(p, "globalToLocal", convertPoint(false));
    vm_.defineMethod(p, "getBytesLoaded", [player](NativeCall&) -> Value {
        return Value(player->movie() ? static_cast<double>(player->movie()->header().fileLength)
                                     : 0);
    });
    vm_.defineMethod(p, "getBytesTotal", [player](NativeCall&) -> Value {
        return Value(player->movie() ? static_cast<double>(player->movie()->header().fileLength)
                                     : 0);
    });
    vm_.defineMethod(p, "startDrag", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value();
        avm1::DragOptions options;
        options.lockCenter = call.vm.toBoolean(call.arg(0));
        if (call.args.size() >= 5) {
            options.constrain = true;
            options.left = call.vm.toNumber(call.arg(1));
            options.top = call.vm.toNumber(call.arg(2));
            options.right = call.vm.toNumber(call.arg(3));
            options.bottom = call.vm.toNumber(call.arg(4));
        }
        call.vm.host().startDrag(self, options);
        return Value();
    });
    vm_.defineMethod(p, "stopDrag", [](NativeCall& call) -> Value {
        call.vm.host().endDrag();
        return Value();
    });
    vm_.defineMethod(p, "getURL", [](NativeCall& call) -> Value {
        Vm& vm = call.vm;
        std::string method = vm.toString(call.arg(2));
        int m =
            method == "GET" || method == "get" ? 1 : (method == "POST" || method == "post" ? 2 : 0);
        vm.host().getUrl(vm.toString(call.arg(0)), vm.toString(call.arg(1)), m, call.thisObject());
        return Value();
    });
    vm_.defineMethod(p, "loadVariables", [player](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value();
        Vm& vm = call.vm;
        std::string method = vm.toString(call.arg(1));
        bool post = method == "POST" || method == "post";
        bool get = method == "GET" || method == "get";
        std::string url = vm.toString(call.arg(0));
        std::string vars = (post || get) ? urlVariablesOf(vm, self) : std::string();
        if (get && !vars.empty()) url += (url.find('?') == std::string::npos ? "?" : "&") + vars;
        player->startLoad(MoviePlayer::PendingLoad::Variables, self, url, post, post ? vars : "",
                          "application/x-www-form-urlencoded");
        return Value();
    });
    // Drawing and masks are not rendered; the calls are accepted so movies keep running.
    for (const char* name :
         {"setMask", "clear", "lineStyle", "beginFill", "endFill", "moveTo", "lineTo", "curveTo"})
        vm_.defineMethod(p, name, [](NativeCall&) { return Value(); });
}

}  // namespace kestrel::runtime
