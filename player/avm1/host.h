// What the engine needs from the movie player. The runtime implements it; every operation has
// a harmless default so a bare engine (tests, fuzzing) runs without a display list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "player/avm1/value.h"

namespace kestrel::avm1 {

class Object;
class Vm;

// Indices of GetProperty/SetProperty (opcodes 0x22/0x23).
enum class ClipProperty : int {
    X = 0,
    Y,
    XScale,
    YScale,
    CurrentFrame,
    TotalFrames,
    Alpha,
    Visible,
    Width,
    Height,
    Rotation,
    Target,
    FramesLoaded,
    Name,
    DropTarget,
    Url,
    HighQuality,
    FocusRect,
    SoundBufTime,
    Quality,
    XMouse,
    YMouse,
};
// The script name of a property index ("_x"...), or nullptr for an unknown index.
const char* clipPropertyName(int index);

struct DragOptions {
    bool lockCenter = false;
    bool constrain = false;
    double left = 0, top = 0, right = 0, bottom = 0;
};

class Host {
  public:
    virtual ~Host() = default;

    // trace(): one call per traced value, text as the movie produced it.
    virtual void trace(std::string_view text) {}
    // getURL / loadMovie / loadVariables. "FSCommand:quit" never arrives here: the engine
    // stops the script and sets Vm::quitRequested() instead. `method` is GetURL2's flags
    // byte: bits 0-1 the method (0 none, 1 GET, 2 POST), 0x40 load into a target clip,
    // 0x80 load variables; plain GetURL passes 0.
    virtual void getUrl(std::string_view url, std::string_view target, int method, Object* clip) {}
    // FSCommand:<command> other than quit.
    virtual void fsCommand(std::string_view command, std::string_view args) {}

    // Timeline navigation of a clip (the current target of the script).
    virtual void play(Object* clip) {}
    virtual void stop(Object* clip) {}
    virtual void nextFrame(Object* clip) {}
    virtual void prevFrame(Object* clip) {}
    // frame is 0-based as in ActionGotoFrame.
    virtual void gotoFrame(Object* clip, int frame, bool andPlay) {}
    virtual void gotoLabel(Object* clip, std::string_view label, bool andPlay) {}
    // true when the 0-based frame is loaded (WaitForFrame); movies play fully loaded.
    virtual bool isFrameLoaded(Object* clip, int frame) { return true; }
    // ActionCall: runs the actions of a frame (number or label) of the clip.
    virtual void callFrame(Vm& vm, Object* clip, const Value& frame) {}
    virtual void toggleQuality() {}
    virtual void stopSounds() {}

    // Path navigation for "/a/b:c", "_root.clip", "_level0", "../x". Return nullptr when
    // the clip has no such relative.
    virtual Object* rootOf(Object* clip) { return nullptr; }
    virtual Object* parentOf(Object* clip) { return nullptr; }
    virtual Object* level(int number) { return nullptr; }
    // The target path of a clip in dot form ("_level0.a.b") for TargetPath; nullopt if the
    // object is not a clip.
    virtual std::optional<std::string> targetPathOf(Object* object) { return std::nullopt; }

    // GetProperty/SetProperty by index. The defaults read and write the named property
    // ("_x"...) on the clip, so a runtime that defines native properties needs nothing more.
    virtual Value getProperty(Vm& vm, Object* clip, int index);
    virtual void setProperty(Vm& vm, Object* clip, int index, const Value& value);

    // CloneSprite names its depth on the timeline's scale, where script depth 0 is 16384
    // (duplicateMovieClip compiles to the depth plus 16384).
    virtual void cloneSprite(Object* source, std::string_view newName, int timelineDepth) {}
    virtual void removeSprite(Object* clip) {}
    virtual void startDrag(Object* clip, const DragOptions& options) {}
    virtual void endDrag() {}

    // Milliseconds since the movie started (getTimer, and the clock of setInterval).
    virtual double timerMs() { return 0; }

    // ExternalInterface. callOut receives the invoke XML the movie built and returns the
    // answer XML, or nullopt when the call failed.
    virtual bool externalAvailable() { return false; }
    virtual std::optional<std::string> externalCallOut(std::string_view invokeXml) {
        return std::nullopt;
    }
    // A movie registered a callback name (ExternalInterface.addCallback).
    virtual bool externalAddCallback(std::string_view name) { return false; }
};

}  // namespace kestrel::avm1
