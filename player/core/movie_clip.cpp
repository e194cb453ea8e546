#include "player/core/movie_clip.h"

#include <algorithm>

#include "common/unicode_case.h"
#include "player/core/button.h"
#include "player/core/display_factory.h"
#include "player/core/stage.h"

namespace kestrel::player {

// The state a timeline depth is in at some frame: what placing replays compute.
struct MovieClip::Slot {
    uint16_t characterId = 0;
    int placedFrame = 0;
    const PlaceCommand* placement = nullptr;
    Matrix matrix;
    ColorTransform colorTransform;
    uint16_t ratio = 0;
    std::string name;
    int clipDepth = 0;

    void apply(const PlaceCommand& cmd) {
        if (cmd.hasMatrix) matrix = cmd.matrix;
        if (cmd.hasColorTransform) colorTransform = cmd.colorTransform;
        if (cmd.hasRatio) ratio = cmd.ratio;
        if (cmd.hasName) name = cmd.name;
        if (cmd.hasClipDepth) clipDepth = cmd.clipDepth;
    }
};

MovieClip::MovieClip(Stage& stage, const TimelineDefinition& timeline)
    : DisplayObject(DisplayObjectKind::MovieClip, stage), timeline_(&timeline) {}

int MovieClip::totalFrames() const {
    return std::max<int>(1, static_cast<int>(timeline_->frames.size()));
}

std::string MovieClip::currentLabel() const {
    for (int f = std::min(currentFrame_, static_cast<int>(timeline_->frames.size())); f >= 1; --f)
        if (!timeline_->frames[f - 1].label.empty()) return timeline_->frames[f - 1].label;
    return {};
}

void MovieClip::gotoFrame(int frame, bool andPlay) {
    playing_ = andPlay;
    if (stage().takeFrameJump()) goTo(frame);
}

bool MovieClip::gotoLabel(const std::string& label, bool andPlay) {
    int frame = timeline_->frameForLabel(label);
    if (frame == 0) return false;
    gotoFrame(frame, andPlay);
    return true;
}

void MovieClip::nextFrame() {
    playing_ = false;
    if (currentFrame_ < totalFrames() && stage().takeFrameJump()) goTo(currentFrame_ + 1);
}

void MovieClip::prevFrame() {
    playing_ = false;
    if (currentFrame_ > 1 && stage().takeFrameJump()) goTo(currentFrame_ - 1);
}

DisplayObject* MovieClip::childAtDepth(int depth) const {
    auto it = children_.find(depth);
    return it == children_.end() ? nullptr : it->second.get();
}

DisplayObject* MovieClip::childByName(const std::string& name, bool caseSensitive) const {
    auto equal = [&](const std::string& a) {
        return caseSensitive ? a == name : NamesEqualIgnoringCase(a, name);
    };
    for (const auto& entry : children_)
        if (equal(entry.second->name())) return entry.second.get();
    return nullptr;
}

// ---- frame application ------------------------------------------------------

void MovieClip::goTo(int frame) {
    frame = std::clamp(frame, 1, totalFrames());
    if (frame == currentFrame_) return;
    if (frame > currentFrame_) {
        for (int f = currentFrame_ + 1; f <= frame; ++f) applyFrameCommands(f);
        currentFrame_ = frame;
    } else {
        rebuildTo(frame);
    }
    queueFrameActions(frame);
    buildPending();
}

void MovieClip::buildFirstFrame() {
    currentFrame_ = 1;
    createdTick_ = stage().tickCount();
    applyFrameCommands(1);
    queueFrameActions(1);
    if (!passive_) stage().queueClipLoaded(*this);
    buildPending();
}

void MovieClip::buildPending() {
    std::vector<std::shared_ptr<MovieClip>> pending;
    pending.swap(pendingBuild_);
    for (const auto& clip : pending)
        if (!clip->isRemoved()) clip->buildFirstFrame();
}

void MovieClip::applyFrameCommands(int frame) {
    if (frame < 1 || frame > static_cast<int>(timeline_->frames.size())) return;
    for (const PlaceCommand& cmd : timeline_->frames[frame - 1].commands) {
        if (cmd.kind == PlaceCommand::Remove)
            applyRemove(cmd.depth - kTimelineDepthOffset);
        else
            applyPlace(cmd, frame);
    }
}

void MovieClip::applyRemove(int depth) {
    DisplayObject* child = childAtDepth(depth);
    if (child && !child->createdByScript()) removeChildAt(depth);
}

void MovieClip::applyPlace(const PlaceCommand& cmd, int frame) {
    int depth = cmd.depth - kTimelineDepthOffset;
    auto it = children_.find(depth);
    std::shared_ptr<DisplayObject> existing = it == children_.end() ? nullptr : it->second;
    if (cmd.move && !cmd.hasCharacter) {
        // Modify what is there; objects that scripts took over keep their transform.
        if (!existing || existing->createdByScript()) return;
        if (cmd.hasMatrix && !existing->transformLockedByScript()) existing->matrix_ = cmd.matrix;
        if (cmd.hasColorTransform && !existing->transformLockedByScript())
            existing->colorTransform_ = cmd.colorTransform;
        if (cmd.hasRatio) existing->ratio_ = cmd.ratio;
        if (cmd.hasName) existing->name_ = cmd.name;
        if (cmd.hasClipDepth) existing->clipDepth_ = cmd.clipDepth;
        return;
    }
    if (!cmd.hasCharacter) return;
    place(depth, cmd, frame, cmd.move ? existing : nullptr);
}

// Creates the object for `cmd` at `depth`. A replace (`reuse` set) keeps the old
// object's transform and name unless the command gives new ones.
void MovieClip::place(int depth, const PlaceCommand& cmd, int frame,
                      const std::shared_ptr<DisplayObject>& reuse) {
    Slot slot;
    if (reuse) {
        slot.matrix = reuse->matrix_;
        slot.colorTransform = reuse->colorTransform_;
        slot.name = reuse->name_;
        slot.ratio = reuse->ratio_;
        slot.clipDepth = reuse->clipDepth_;
    }
    slot.characterId = cmd.characterId;
    slot.placedFrame = frame;
    slot.placement = &cmd;
    slot.apply(cmd);
    createFromSlot(depth, slot);
}

void MovieClip::createFromSlot(int depth, const Slot& slot) {
    CharacterKind kind = stage().movie().kindOf(slot.characterId);
    if (nesting_ >= kMaxNesting && (kind == CharacterKind::Sprite || kind == CharacterKind::Button))
        return;
    std::shared_ptr<DisplayObject> object = instantiateCharacter(stage(), slot.characterId);
    if (!object) return;  // unknown ids and fonts are not placed
    object->matrix_ = slot.matrix;
    object->colorTransform_ = slot.colorTransform;
    object->ratio_ = slot.ratio;
    object->name_ = slot.name;
    object->clipDepth_ = slot.clipDepth;
    object->placedFrame_ = slot.placedFrame;
    object->placement_ = slot.placement;
    if (object->name_.empty() && object->kind() != DisplayObjectKind::Shape)
        object->name_ = stage().nextInstanceName();
    insertChild(depth, object);
    if (!passive_) stage().notifyCreated(*object);
    if (object->isClip()) {
        auto clip = std::static_pointer_cast<MovieClip>(object);
        clip->passive_ = passive_;
        clip->nesting_ = nesting_ + 1;
        pendingBuild_.push_back(clip);
    } else if (object->kind() == DisplayObjectKind::Button) {
        static_cast<Button&>(*object).construct();
    }
}

// Going backwards: replay frames 1..frame into the state each depth should be in,
// keep the objects that match (same character placed by the same frame), remove
// the rest, and create what is missing. Script-made objects are left alone.
void MovieClip::rebuildTo(int frame) {
    std::map<int, Slot> target;
    for (int f = 1; f <= frame && f <= static_cast<int>(timeline_->frames.size()); ++f) {
        for (const PlaceCommand& cmd : timeline_->frames[f - 1].commands) {
            int depth = cmd.depth - kTimelineDepthOffset;
            auto it = target.find(depth);
            if (cmd.kind == PlaceCommand::Remove) {
                if (it != target.end()) target.erase(it);
                continue;
            }
            if (cmd.move && it != target.end()) {
                if (cmd.hasCharacter) {
                    it->second.characterId = cmd.characterId;
                    it->second.placedFrame = f;
                    it->second.placement = &cmd;
                }
                it->second.apply(cmd);
            } else if (cmd.hasCharacter) {
                // A new placement, or a move onto an empty depth that names its character.
                Slot slot;
                slot.characterId = cmd.characterId;
                slot.placedFrame = f;
                slot.placement = &cmd;
                slot.apply(cmd);
                target[depth] = slot;
            }
        }
    }

    std::vector<int> depths;
    for (const auto& entry : children_) depths.push_back(entry.first);
    for (int depth : depths) {
        auto child = children_.find(depth);
        if (child == children_.end() || child->second->createdByScript()) continue;
        DisplayObject& object = *child->second;
        auto slot = target.find(depth);
        if (slot != target.end() && slot->second.characterId == object.characterId_ &&
            slot->second.placedFrame == object.placedFrame_) {
            if (!object.transformLocked_) {
                object.matrix_ = slot->second.matrix;
                object.colorTransform_ = slot->second.colorTransform;
            }
            object.ratio_ = slot->second.ratio;
            object.clipDepth_ = slot->second.clipDepth;
            continue;
        }
        removeChildAt(depth);
    }
    currentFrame_ = frame;
    for (const auto& entry : target)
        if (children_.find(entry.first) == children_.end())
            createFromSlot(entry.first, entry.second);
}

void MovieClip::queueFrameActions(int frame) {
    if (passive_ || frame < 1 || frame > static_cast<int>(timeline_->frames.size())) return;
    const FrameDefinition& def = timeline_->frames[frame - 1];
    for (const InitAction& init : def.initActions)
        if (stage().markInitActionsRun(init.spriteId))
            stage().queueInitActions(init.spriteId, init.actions);
    for (const ActionBytes& actions : def.actions) stage().queueFrameActions(*this, actions);
}

void MovieClip::advanceTick(uint64_t tick) {
    if (isRemoved()) return;
    if (createdTick_ != tick && playing_ && currentFrame_ > 0) {
        if (currentFrame_ < totalFrames()) {
            goTo(currentFrame_ + 1);
        } else if (totalFrames() > 1) {
            if (parent() == nullptr && !stage().loop())
                playing_ = false;
            else
                goTo(1);
        }
    }
    std::vector<std::shared_ptr<MovieClip>> clips;
    for (const auto& entry : children_)
        if (entry.second->isClip())
            clips.push_back(std::static_pointer_cast<MovieClip>(entry.second));
    for (const auto& clip : clips)
        if (!clip->isRemoved() && clip->parent() == this && clip->createdTick_ != tick)
            clip->advanceTick(tick);
}

// ---- children ---------------------------------------------------------------------

void MovieClip::insertChild(int depth, std::shared_ptr<DisplayObject> child) {
    removeChildAt(depth);
    child->parent_ = this;
    child->depth_ = depth;
    children_[depth] = std::move(child);
}

void MovieClip::removeChildAt(int depth) {
    auto it = children_.find(depth);
    if (it == children_.end()) return;
    std::shared_ptr<DisplayObject> keep = it->second;
    children_.erase(it);
    detach(*keep, passive_);
}

// Children leave before their parent, and every one is reported once.
void MovieClip::detach(DisplayObject& object, bool silent) {
    if (object.isClip()) {
        MovieClip& clip = static_cast<MovieClip&>(object);
        clip.removeAllChildren();
        clip.pendingBuild_.clear();
    } else if (object.kind() == DisplayObjectKind::Button) {
        static_cast<Button&>(object).releaseChildren();
    }
    // The notice comes while the object still knows its parent, so its path can be kept.
    object.removed_ = true;
    if (!silent) object.stage().notifyRemoved(object);
    object.parent_ = nullptr;
}

void MovieClip::removeAllChildren() {
    std::map<int, std::shared_ptr<DisplayObject>> old;
    old.swap(children_);
    for (auto& entry : old) detach(*entry.second, passive_);
}

// ---- script-made children -------------------------------------------------------

MovieClip* MovieClip::adoptScriptClip(std::shared_ptr<MovieClip> clip, const std::string& name,
                                      int depth) {
    if (nesting_ >= kMaxNesting) return nullptr;
    clip->nesting_ = nesting_ + 1;
    clip->name_ = name;
    clip->createdByScript_ = true;
    clip->passive_ = passive_;
    MovieClip* raw = clip.get();
    insertChild(depth, clip);
    if (!passive_) stage().notifyCreated(*raw);
    raw->buildFirstFrame();
    return raw;
}

MovieClip* MovieClip::attachMovie(const std::string& exportName, const std::string& newName,
                                  int depth) {
    uint16_t id = stage().movie().exportedId(exportName);
    const TimelineDefinition* sprite = id ? stage().movie().sprite(id) : nullptr;
    if (!sprite) return nullptr;
    auto clip = std::make_shared<MovieClip>(stage(), *sprite);
    clip->characterId_ = id;
    return adoptScriptClip(std::move(clip), newName, depth);
}

MovieClip* MovieClip::createEmptyMovieClip(const std::string& name, int depth) {
    return adoptScriptClip(std::make_shared<MovieClip>(stage(), stage().emptyTimeline()), name,
                           depth);
}

EditText* MovieClip::createTextField(const std::string& name, int depth, double xPx, double yPx,
                                     double widthPx, double heightPx) {
    EditTextDefinition format;
    format.bounds = Rect{0, 0, std::max(0.0, widthPx) * kTwipsPerPixel,
                         std::max(0.0, heightPx) * kTwipsPerPixel};
    auto field = std::make_shared<EditText>(stage(), format);
    field->name_ = name;
    field->createdByScript_ = true;
    field->matrix_ = Matrix::translation(xPx * kTwipsPerPixel, yPx * kTwipsPerPixel);
    EditText* raw = field.get();
    insertChild(depth, field);
    if (!passive_) stage().notifyCreated(*raw);
    return raw;
}

MovieClip* MovieClip::duplicate(const std::string& newName, int depth) {
    MovieClip* parentClip = parent();
    if (!parentClip) return nullptr;
    auto clip = std::make_shared<MovieClip>(stage(), *timeline_);
    clip->characterId_ = characterId_;
    clip->matrix_ = matrix_;
    clip->colorTransform_ = colorTransform_;
    clip->visible_ = visible_;
    clip->placement_ = placement_;
    return parentClip->adoptScriptClip(std::move(clip), newName, depth);
}

bool MovieClip::removeChildByScript(DisplayObject& child) {
    if (child.parent() != this) return false;
    if (!child.createdByScript() && child.depth() < 0) return false;
    removeChildAt(child.depth());
    return true;
}

bool MovieClip::swapChildDepth(DisplayObject& child, int depth) {
    if (child.parent() != this) return false;
    int from = child.depth();
    if (from == depth) return true;
    std::shared_ptr<DisplayObject> moving = children_[from];
    auto other = children_.find(depth);
    if (other != children_.end()) {
        std::shared_ptr<DisplayObject> swapped = other->second;
        swapped->depth_ = from;
        swapped->createdByScript_ = true;  // the timeline no longer manages it
        children_[from] = swapped;
    } else {
        children_.erase(from);
    }
    moving->depth_ = depth;
    moving->createdByScript_ = true;
    children_[depth] = moving;
    return true;
}

int MovieClip::nextHighestDepth() const {
    if (children_.empty()) return 0;
    return std::max(0, children_.rbegin()->first + 1);
}

ActionBytes MovieClip::clipActions() const {
    return placement() ? placement()->clipActions : ActionBytes{};
}

Rect MovieClip::localBounds() const {
    Rect bounds = Rect::empty();
    for (const auto& entry : children_) bounds.include(entry.second->boundsInParent());
    return bounds;
}

bool MovieClip::hitTestLocal(double x, double y) const {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        const DisplayObject& child = *it->second;
        if (!child.visible() || child.clipDepth() > 0) continue;
        Matrix inverse;
        if (!child.matrix().invert(inverse)) continue;
        Point p = inverse.apply(x, y);
        if (child.hitTestLocal(p.x, p.y)) return true;
    }
    return false;
}

}  // namespace kestrel::player
