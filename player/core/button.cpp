#include "player/core/button.h"

#include <algorithm>

#include "common/unicode_case.h"
#include "player/core/display_factory.h"
#include "player/core/movie_clip.h"
#include "player/core/stage.h"

namespace kestrel::player {

Button::Button(Stage& stage, const ButtonDefinition& definition)
    : DisplayObject(DisplayObjectKind::Button, stage), definition_(&definition) {}

uint8_t Button::flagOf(ButtonState state) {
    switch (state) {
        case ButtonState::Up:
            return swf::kButtonUp;
        case ButtonState::Over:
            return swf::kButtonOver;
        case ButtonState::Down:
            return swf::kButtonDown;
    }
    return swf::kButtonUp;
}

std::vector<const ButtonRecord*> Button::recordsOf(uint8_t stateFlag) const {
    std::vector<const ButtonRecord*> records;
    for (const ButtonRecord& rec : definition_->records)
        if (rec.states & stateFlag) records.push_back(&rec);
    std::stable_sort(
        records.begin(), records.end(),
        [](const ButtonRecord* a, const ButtonRecord* b) { return a->depth < b->depth; });
    return records;
}

// A state character. `live` ones are named, reported and run scripts (unless the
// button itself sits in a passive clip); the first frame of a clip is built by the caller.
std::shared_ptr<DisplayObject> Button::makeCharacter(const ButtonRecord& rec, bool live) {
    // A button among its own states would recurse without end.
    if (rec.characterId == characterId()) return nullptr;
    // State clips count as nested below the button's parent.
    int nesting = parent() ? parent()->nesting_ + 1 : MovieClip::kMaxNesting;
    CharacterKind kind = stage().movie().kindOf(rec.characterId);
    if (kind == CharacterKind::Button) return nullptr;  // nested buttons are not states
    if (kind == CharacterKind::Sprite && nesting >= MovieClip::kMaxNesting) return nullptr;
    std::shared_ptr<DisplayObject> object = instantiateCharacter(stage(), rec.characterId);
    if (!object) return nullptr;
    object->matrix_ = rec.matrix;
    object->colorTransform_ = rec.colorTransform;
    object->depth_ = rec.depth - kTimelineDepthOffset;
    if (object->isClip()) {
        auto& clip = static_cast<MovieClip&>(*object);
        clip.nesting_ = nesting + 1;
        if (!live || passive_) clip.setPassive();
    }
    if (!live) return object;
    object->stateOwner_ = this;
    if (object->kind() != DisplayObjectKind::Shape) object->name_ = stage().nextInstanceName();
    if (!passive_) stage().notifyCreated(*object);
    return object;
}

// Characters leaving the shown state go first, then the new ones are made in depth
// order, then the new clips build their first frames in that order.
void Button::showState(uint8_t stateFlag) {
    std::vector<const ButtonRecord*> records = recordsOf(stateFlag);
    std::vector<Shown> old;
    old.swap(shownRecords_);
    for (Shown& entry : old)
        if (std::find(records.begin(), records.end(), entry.record) == records.end())
            MovieClip::detach(*entry.object, passive_);
    std::vector<std::shared_ptr<MovieClip>> toBuild;
    for (const ButtonRecord* rec : records) {
        auto kept = std::find_if(old.begin(), old.end(),
                                 [rec](const Shown& entry) { return entry.record == rec; });
        if (kept != old.end()) {
            shownRecords_.push_back(*kept);
            continue;
        }
        std::shared_ptr<DisplayObject> object = makeCharacter(*rec, true);
        if (!object) continue;
        if (object->isClip()) toBuild.push_back(std::static_pointer_cast<MovieClip>(object));
        shownRecords_.push_back({rec, std::move(object)});
    }
    shown_.clear();
    for (const Shown& entry : shownRecords_) shown_.push_back(entry.object);
    for (const auto& clip : toBuild)
        if (!clip->isRemoved()) clip->buildFirstFrame();
}

void Button::construct() {
    if (parent() && parent()->passive_) passive_ = true;
    hitArea_.clear();
    for (const ButtonRecord* rec : recordsOf(swf::kButtonHitTest))
        if (std::shared_ptr<DisplayObject> object = makeCharacter(*rec, false)) {
            if (object->isClip()) static_cast<MovieClip&>(*object).buildFirstFrame();
            hitArea_.push_back(std::move(object));
        }
    state_ = ButtonState::Up;
    showState(swf::kButtonUp);
}

void Button::setState(ButtonState state) {
    if (state == state_ || isRemoved()) return;
    state_ = state;
    showState(flagOf(state));
}

void Button::advanceTick(uint64_t tick) {
    std::vector<std::shared_ptr<DisplayObject>> shown = shown_;
    for (const auto& object : shown) {
        if (!object->isClip() || object->isRemoved() || object->stateOwner_ != this) continue;
        auto& clip = static_cast<MovieClip&>(*object);
        if (clip.createdTick_ != tick) clip.advanceTick(tick);
    }
}

void Button::releaseChildren() {
    std::vector<Shown> old;
    old.swap(shownRecords_);
    shown_.clear();
    for (Shown& entry : old) MovieClip::detach(*entry.object, passive_);
    for (auto& object : hitArea_) MovieClip::detach(*object, true);
    hitArea_.clear();
}

DisplayObject* Button::childByName(const std::string& name, bool caseSensitive) const {
    for (const auto& object : shown_) {
        const std::string& own = object->name();
        if (caseSensitive ? own == name : NamesEqualIgnoringCase(own, name)) return object.get();
    }
    return nullptr;
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
