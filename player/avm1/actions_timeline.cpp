// Timeline actions: frames, labels, waiting for frames, and the current target.
#include <cmath>

#include "player/avm1/action_executor.h"
#include "player/avm1/conversions.h"

namespace kestrel::avm1 {

namespace {

using namespace swf;

// Where the code goes on after skipping `count` actions from `at` (WaitForFrame on a frame
// not loaded yet); never past `end`.
size_t SkipActions(const std::vector<uint8_t>& bytes, size_t at, size_t end, int count) {
    for (int i = 0; i < count && at < end; ++i) {
        size_t len = bytes[at] >= kActionHasOperands && at + 3 <= end
                         ? 3 + static_cast<size_t>(bytes[at + 1] | (bytes[at + 2] << 8))
                         : 1;
        at += len;
    }
    return at;
}

}  // namespace

ActionExecutor::Outcome ActionExecutor::Timeline(ActionCode code, ActionReader& in) {
    avm1::Host& host = vm_.host();
    switch (code) {
        case kActionNextFrame:
            host.nextFrame(act_.target);
            break;
        case kActionPreviousFrame:
            host.prevFrame(act_.target);
            break;
        case kActionPlay:
            host.play(act_.target);
            break;
        case kActionStop:
            host.stop(act_.target);
            break;
        case kActionToggleQuality:
            host.toggleQuality();
            break;
        case kActionStopSounds:
            host.stopSounds();
            break;
        case kActionGotoFrame:
            host.gotoFrame(act_.target, in.u16(), false);
            break;
        case kActionGotoLabel:
            host.gotoLabel(act_.target, in.cstring(), false);
            break;
        case kActionWaitForFrame: {
            int frame = in.u16();
            int skip = in.u8();
            if (!host.isFrameLoaded(act_.target, frame))
                next_ = SkipActions(bytes_, next_, end_, skip);
            break;
        }
        case kActionWaitForFrame2: {
            int skip = in.u8();
            Value frame = PopValue();
            int f = toInt32(Num(frame)) - 1;
            if (!host.isFrameLoaded(act_.target, f)) next_ = SkipActions(bytes_, next_, end_, skip);
            break;
        }
        case kActionGotoFrame2:
            return GotoFrame2(in);
        case kActionSetTarget:
            SetTargetPath(in.cstring());
            break;
        case kActionSetTarget2:
            // The target is named by text: a clip by its target path (so a clip that shares
            // its name with an older one reaches the older one), an object by its toString.
            SetTargetPath(Str(PopValue()));
            break;
        case kActionCall: {  // a frame's actions
            Value frame = PopValue();
            host.callFrame(vm_, act_.target, frame);
            break;
        }
        default:
            break;
    }
    return Continue();
}

void ActionExecutor::SetTargetPath(const std::string& path) {
    act_.target = path.empty() ? act_.baseTarget : interpreter_.resolvePath(act_, path);
    Object* variables = act_.target;
    if (!act_.target && act_.baseTarget) {
        // A target that does not exist leaves variables on the root of the movie; timeline
        // actions go there too up to SWF 6 and do nothing from SWF 7.
        variables = vm_.host().rootOf(act_.baseTarget);
        if (version_ < 7) act_.target = variables;
    }
    if (act_.scope.size() > act_.targetScope)
        act_.scope[act_.targetScope] = variables ? variables : act_.baseTarget;
}

ActionExecutor::Outcome ActionExecutor::GotoFrame2(ActionReader& in) {
    uint8_t flags = in.u8();
    int bias = (flags & kGotoFrame2SceneBias) ? in.u16() : 0;
    bool play = flags & kGotoFrame2Play;
    Value frame = PopValue();
    Object* clip = act_.target;
    if (frame.isString()) {
        std::string s = frame.asString();
        size_t colon = s.rfind(':');
        if (colon != std::string::npos) {
            clip = interpreter_.resolvePath(act_, s.substr(0, colon));
            s = s.substr(colon + 1);
        }
        double n = stringToNumber(s, version_);
        if (!clip) return Continue();
        if (std::isnan(n))
            vm_.host().gotoLabel(clip, s, play);
        else
            vm_.host().gotoFrame(clip, toInt32(n) - 1 + bias, play);
    } else {
        vm_.host().gotoFrame(clip, toInt32(Num(frame)) - 1 + bias, play);
    }
    return Continue();
}

}  // namespace kestrel::avm1
