// Actions the host serves: trace, time, random numbers, URLs and FSCommands, clip properties,
// sprites and dragging.
#include <cmath>

#include "common/ascii_case.h"
#include "player/avm1/action_executor.h"
#include "player/avm1/conversions.h"

namespace kestrel::avm1 {

using namespace swf;

ActionExecutor::Outcome ActionExecutor::HostServices(ActionCode code, ActionReader& in) {
    avm1::Host& host = vm_.host();
    switch (code) {
        case kActionTrace: {
            Value v = PopValue();
            host.trace(v.isUndefined() ? std::string("undefined") : Str(v));
            break;
        }
        case kActionGetTime:
            PushValue(Value(std::floor(host.timerMs())));
            break;
        case kActionRandomNumber: {
            double max = Num(PopValue());
            Value r = vm_.callMethod(vm_.getMember(Value(vm_.global()), "Math"), "random", {})
                          .value_or(Value(0.0));
            PushValue(Value(max > 0 ? std::floor(vm_.toNumber(r) * std::floor(max)) : 0.0));
            break;
        }
        case kActionGetURL: {
            std::string url = in.cstring();
            std::string target = in.cstring();
            return GetUrl(url, target, 0);
        }
        case kActionGetURL2: {
            uint8_t flags = in.u8();
            std::string target = Str(PopValue());
            std::string url = Str(PopValue());
            return GetUrl(url, target, flags);
        }
        case kActionGetProperty: {
            int index = PropertyIndex(PopValue());
            Value t = PopValue();
            std::string path = Str(t);  // text first even for a clip: its toString may run
            Object* clip = t.isObject() ? t.asObject() : interpreter_.resolvePath(act_, path);
            PushValue(clip ? host.getProperty(vm_, clip, index) : Value());
            break;
        }
        case kActionSetProperty: {
            Value value = PopValue();
            int index = PropertyIndex(PopValue());
            Value t = PopValue();
            if (Object* clip = ClipOf(t)) host.setProperty(vm_, clip, index, value);
            break;
        }
        case kActionCloneSprite: {
            int depth = toInt32(Num(PopValue()));
            std::string name = Str(PopValue());
            Value source = PopValue();
            if (Object* clip = ClipOf(source)) host.cloneSprite(clip, name, depth);
            break;
        }
        case kActionRemoveSprite: {
            Value t = PopValue();
            if (Object* clip = ClipOf(t)) host.removeSprite(clip);
            break;
        }
        case kActionStartDrag: {
            Value t = PopValue();
            DragOptions options;
            options.lockCenter = vm_.toBoolean(PopValue());
            options.constrain = vm_.toBoolean(PopValue());
            if (options.constrain) {
                options.bottom = Num(PopValue());
                options.right = Num(PopValue());
                options.top = Num(PopValue());
                options.left = Num(PopValue());
            }
            if (Object* clip = ClipOf(t)) host.startDrag(clip, options);
            break;
        }
        case kActionEndDrag:
            host.endDrag();
            break;
        default:
            break;
    }
    return Continue();
}

int ActionExecutor::PropertyIndex(const Value& v) {
    return toInt32(v.isString() ? parseFloatText(v.asString()) : Num(v));
}

// "FSCommand:" URLs go to the host as commands; "quit" ends the movie here.
ActionExecutor::Outcome ActionExecutor::GetUrl(const std::string& url, const std::string& target,
                                               int flags) {
    if (url.compare(0, 10, "FSCommand:") == 0) {
        std::string command = url.substr(10);
        if (AsciiEqualsIgnoringCase(command, "quit")) {
            vm_.setQuitRequested();
            return End(Completion::aborted(RunStatus::Quit));
        }
        vm_.host().fsCommand(command, target);
    } else {
        vm_.host().getUrl(url, target, flags, act_.target);
    }
    return Continue();
}

}  // namespace kestrel::avm1
