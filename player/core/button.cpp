#include "player/core/button.h"

#include <algorithm>

#include "player/core/display_factory.h"
#include "player/core/movie_clip.h"
#include "player/core/stage.h"

namespace kestrel::player {

Button::Button(Stage& stage, const ButtonDefinition& definition)
    : DisplayObject(DisplayObjectKind::Button, stage), definition_(&definition) {}

// State characters belong to the button, not to a timeline: clips among them are
// built passive (no scripts) and nothing is reported to the runtime.
std::vector<std::shared_ptr<DisplayObject>> Button::makeStateChildren(uint8_t stateFlag) {
    std::vector<std::shared_ptr<DisplayObject>> made;
    std::vector<const ButtonRecord*> records;
    for (const ButtonRecord& rec : definition_->records)
        if (rec.states & stateFlag) records.push_back(&rec);
    std::stable_sort(
        records.begin(), records.end(),
        [](const ButtonRecord* a, const ButtonRecord* b) { return a->depth < b->depth; });
    // State clips count as nested below the button's parent.
    int nesting = parent() ? parent()->nesting_ + 1 : MovieClip::kMaxNesting;
    for (const ButtonRecord* rec : records) {
        // A button among its own states would recurse without end.
        if (rec->characterId == characterId()) continue;
        std::shared_ptr<DisplayObject> object = instantiateCharacter(stage(), rec->characterId);
        if (!object) continue;
        object->matrix_ = rec->matrix;
        object->colorTransform_ = rec->colorTransform;
        object->depth_ = rec->depth;
        if (object->isClip()) {
            if (nesting >= MovieClip::kMaxNesting) continue;
            auto& clip = static_cast<MovieClip&>(*object);
            clip.nesting_ = nesting + 1;
            clip.setPassive();
            clip.buildFirstFrame();
        } else if (object->kind() == DisplayObjectKind::Button) {
            continue;  // nested buttons are not supported as states
        }
        made.push_back(std::move(object));
    }
    return made;
}

void Button::construct() {
    hitArea_ = makeStateChildren(swf::kButtonHitTest);
    state_ = ButtonState::Up;
    shown_ = makeStateChildren(swf::kButtonUp);
}

void Button::setState(ButtonState state) {
    if (state == state_ && !shown_.empty()) return;
    state_ = state;
    uint8_t flag = state == ButtonState::Up     ? swf::kButtonUp
                   : state == ButtonState::Over ? swf::kButtonOver
                                                : swf::kButtonDown;
    shown_ = makeStateChildren(flag);
}

void Button::releaseChildren() {
    shown_.clear();
    hitArea_.clear();
}

Rect Button::localBounds() const {
    Rect bounds = Rect::empty();
    for (const auto& child : shown_) bounds.include(child->boundsInParent());
    return bounds;
}

bool Button::hitTestLocal(double x, double y) const {
    for (const auto& child : hitArea_) {
        Matrix inverse;
        if (!child->matrix().invert(inverse)) continue;
        Point p = inverse.apply(x, y);
        if (child->hitTestLocal(p.x, p.y)) return true;
    }
    return false;
}

}  // namespace kestrel::player
