// What the timeline asks of the script runtime. The runtime implements this and
// hands it to the Stage; every call happens on the player's one thread.
//
// Two kinds of calls:
//  - synchronous notifications (objectCreated, objectRemoved) arrive while the
//    display list is being changed, so the runtime can attach or detach its script
//    object at once. Do not run scripts from inside them.
//  - queued events (everything else) are collected while a frame is built and
//    delivered in order by Stage::runQueuedActions(), after the display list of that
//    frame is complete. Scripts run from these may change the display list and call
//    goto on any clip; the actions that causes are appended to the same queue.
//
// Order within one tick: first frameEntered for every clip that existed before the
// tick (parent before children, children by depth), then the clips advance, parent
// before children, each queueing its new frame's DoInitAction blocks (root only, once
// per sprite) and DoAction blocks. A clip placed by a frame builds its first frame
// after its parent's actions were queued: its own actions follow, then clipLoaded.
// objectCreated is reported for every display object, shapes included.
#pragma once

#include <cstdint>

#include "player/core/swf_types.h"

namespace kestrel::player {

class DisplayObject;
class MovieClip;
class Button;

// Mouse transitions of a button or a mouse-enabled clip.
enum class MouseEvent {
    RollOver,
    RollOut,
    Press,
    Release,
    ReleaseOutside,
    DragOver,
    DragOut,
};

const char* toString(MouseEvent event);

class TimelineHooks {
  public:
    virtual ~TimelineHooks() = default;

    // Synchronous. A display object was created (timeline placement, attachMovie,
    // createEmptyMovieClip, duplicate, createTextField), before its first
    // frame is built. Attach the script object here (DisplayObject::setScriptObject).
    virtual void objectCreated(DisplayObject& object) {}

    // Synchronous. The object leaves the display list (removed by the timeline or a
    // script, replaced, or its parent left). Children are reported before parents, and
    // every one while its parent() is still set.
    // After this the core never reports the object again; detach the script object.
    virtual void objectRemoved(DisplayObject& object) {}

    // Queued. A DoInitAction block for sprite `spriteId`; runs once per movie.
    virtual void runInitActions(MovieClip& root, uint16_t spriteId, const ActionBytes& actions) {}

    // Queued. One DoAction block of `clip`'s current frame; `this` is the clip.
    virtual void runFrameActions(MovieClip& clip, const ActionBytes& actions) {}

    // Queued. The clip's first frame was built (onLoad / onClipEvent(load)).
    virtual void clipLoaded(MovieClip& clip) {}

    // Queued. Once per tick per clip that existed before the tick (onEnterFrame).
    virtual void frameEntered(MovieClip& clip) {}

    // Queued. DefineButton2 condition actions whose condition matched; they run in
    // the scope of the button's parent clip.
    virtual void runButtonActions(Button& button, const ActionBytes& actions) {}

    // Queued. A mouse transition on a button, or on a clip whose acceptsMouse()
    // is set (onPress, onRelease, onRollOver...).
    virtual void mouseEvent(DisplayObject& target, MouseEvent event) {}
};

}  // namespace kestrel::player
