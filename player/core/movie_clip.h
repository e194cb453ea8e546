// A movie clip: a display object with its own timeline (DefineSprite, or the root
// timeline) and children ordered by depth.
//
// Frame numbers are 1-based. currentFrame() is 0 until the first frame is built.
// Going forwards applies the place/remove commands of each frame in between and
// queues only the target frame's actions; going backwards rebuilds the display list
// from frame 1 (objects that stay keep their identity, script-created ones stay).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "player/core/character_definitions.h"
#include "player/core/display_object.h"

namespace kestrel::player {

class MovieClip : public DisplayObject {
  public:
    // Deeper clips (and buttons) are not created: recursive sprite definitions would
    // otherwise nest without end.
    static constexpr int kMaxNesting = 64;

    // `timeline` is not owned: it lives in the MovieDefinition (or is the empty
    // timeline of a script-made clip).
    MovieClip(Stage& stage, const TimelineDefinition& timeline);

    const TimelineDefinition& timeline() const { return *timeline_; }
    int currentFrame() const { return currentFrame_; }
    int totalFrames() const;
    bool isPlaying() const { return playing_; }
    // Label of the current frame or the latest labelled frame before it ("" if none).
    std::string currentLabel() const;

    void play() { playing_ = true; }
    void stop() { playing_ = false; }
    // Out-of-range frames clamp to 1..totalFrames(). The target frame's actions are
    // queued (Stage::runQueuedActions delivers them).
    void gotoFrame(int frame, bool andPlay);
    // False (and nothing changes) when the label is unknown. Case-insensitive.
    bool gotoLabel(const std::string& label, bool andPlay);
    void nextFrame();  // and stop
    void prevFrame();  // and stop

    // Children, ordered by depth.
    const std::map<int, std::shared_ptr<DisplayObject>>& children() const { return children_; }
    DisplayObject* childAtDepth(int depth) const;
    // First child with this instance name; case-sensitive from SWF 7 on, as scripts
    // look names up.
    DisplayObject* childByName(const std::string& name, bool caseSensitive) const;

    // Script-made children; each replaces (removes) whatever was at that depth.
    // Null when the export name is unknown or not a sprite.
    MovieClip* attachMovie(const std::string& exportName, const std::string& newName, int depth);
    MovieClip* createEmptyMovieClip(const std::string& name, int depth);
    EditText* createTextField(const std::string& name, int depth, double xPx, double yPx,
                              double widthPx, double heightPx);
    // duplicateMovieClip: a copy of this clip (same definition, transform) in the
    // same parent. Null for the root.
    MovieClip* duplicate(const std::string& newName, int depth);
    // duplicateMovieClip of a text field among this clip's children: a new field of
    // the same character as it was defined (a script-made one starts from an empty
    // definition), with the original's transform and colours. Null when `original`
    // is no child of this clip.
    EditText* duplicateTextField(const EditText& original, const std::string& newName, int depth);
    // removeMovieClip: removes `child` (only script-made objects or depths >= 0,
    // as Flash allows). False when not allowed or not a child.
    bool removeChildByScript(DisplayObject& child);
    // swapDepths: moves `child` to `depth`, swapping with what is there.
    bool swapChildDepth(DisplayObject& child, int depth);
    int nextHighestDepth() const;

    // Set by the runtime when the clip has mouse handlers (onPress, onRelease...),
    // so the clip takes part in mouse tracking like a button.
    bool acceptsMouse() const { return acceptsMouse_; }
    void setAcceptsMouse(bool on) { acceptsMouse_ = on; }

    // CLIPACTIONS of the PlaceObject that made this clip (empty when none).
    ActionBytes clipActions() const;

    Rect localBounds() const override;
    bool hitTestLocal(double x, double y) const override;

    // Stage internals: one tick of this clip (and children) and first-frame build.
    void advanceTick(uint64_t tick);
    void buildFirstFrame();
    // Clips shown as button states: built without scripts or notifications.
    void setPassive() { passive_ = true; }

  private:
    friend class Stage;
    friend class DisplayObject;
    friend class Button;

    struct Slot;
    void applyFrameCommands(int frame);
    void place(int depth, const PlaceCommand& cmd, int frame,
               const std::shared_ptr<DisplayObject>& reuse);
    void buildPending();
    void createFromSlot(int depth, const Slot& slot);
    // Takes `object` (and what it shows) off the display list; reports it unless silent.
    static void detach(DisplayObject& object, bool silent);
    MovieClip* adoptScriptClip(std::shared_ptr<MovieClip> clip, const std::string& name, int depth);
    void applyPlace(const PlaceCommand& cmd, int frame);
    void applyRemove(int depth);
    void queueFrameActions(int frame);
    void rebuildTo(int frame);
    void goTo(int frame);
    std::shared_ptr<DisplayObject> instantiate(uint16_t characterId);
    void insertChild(int depth, std::shared_ptr<DisplayObject> child);
    void removeChildAt(int depth);
    void removeAllChildren();

    const TimelineDefinition* timeline_;  // not owned
    int currentFrame_ = 0;
    bool playing_ = true;
    bool acceptsMouse_ = false;
    bool passive_ = false;
    int nesting_ = 0;  // clips above this one (a sprite may place itself: this bounds it)
    // Placed clips whose first frame, and buttons whose states, are not built yet.
    std::vector<std::shared_ptr<DisplayObject>> pendingBuild_;
    uint64_t createdTick_ = 0;
    uint64_t creationSerial_ = 0;  // order of making among all clips of the stage
    std::map<int, std::shared_ptr<DisplayObject>> children_;
};

}  // namespace kestrel::player
