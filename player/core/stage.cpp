#include "player/core/stage.h"

#include <algorithm>

#include "player/core/button.h"
#include "player/core/display_factory.h"

namespace kestrel::player {

const char* toString(MouseEvent event) {
    switch (event) {
        case MouseEvent::RollOver:
            return "rollOver";
        case MouseEvent::RollOut:
            return "rollOut";
        case MouseEvent::Press:
            return "press";
        case MouseEvent::Release:
            return "release";
        case MouseEvent::ReleaseOutside:
            return "releaseOutside";
        case MouseEvent::DragOver:
            return "dragOver";
        case MouseEvent::DragOut:
            return "dragOut";
    }
    return "";
}

Stage::Stage(std::shared_ptr<const MovieDefinition> movie, TimelineHooks* hooks)
    : movie_(std::move(movie)), hooks_(hooks) {
    emptyTimeline_.frames.resize(1);
    root_ = std::make_shared<MovieClip>(*this, movie_->rootTimeline());
    root_->name_ = "_level0";
    // A level sits at timeline depth 0, which scripts see as -16384.
    root_->depth_ = -kTimelineDepthOffset;
}

Stage::~Stage() {
    // The runtime may be gone already; removal is not reported on the way out.
    hooks_ = nullptr;
    root_->removeAllChildren();
}

std::string Stage::nextInstanceName() {
    return "instance" + std::to_string(++instanceCounter_);
}

void Stage::start() {
    if (started_) return;
    started_ = true;
    notifyCreated(*root_);
    root_->buildFirstFrame();
    runQueuedActions();
}

void Stage::tick() {
    if (!started_) return;
    ++tick_;
    frameJumps_ = 0;
    // Enter-frame events go to every clip that was there before this frame, the most
    // recently made first (the player keeps its clips in a list that new ones join at
    // the front), so children hear it before their parents.
    std::vector<MovieClip*> clips;
    std::vector<DisplayObject*> stack{root_.get()};
    while (!stack.empty()) {
        DisplayObject* object = stack.back();
        stack.pop_back();
        if (object->kind() == DisplayObjectKind::Button) {
            const auto& shown = static_cast<Button*>(object)->stateChildren();
            for (auto it = shown.rbegin(); it != shown.rend(); ++it)
                if ((*it)->isClip()) stack.push_back(it->get());
            continue;
        }
        auto* clip = static_cast<MovieClip*>(object);
        clips.push_back(clip);
        for (auto it = clip->children().rbegin(); it != clip->children().rend(); ++it)
            if (it->second->isClip() || it->second->kind() == DisplayObjectKind::Button)
                stack.push_back(it->second.get());
    }
    std::stable_sort(clips.begin(), clips.end(), [](const MovieClip* a, const MovieClip* b) {
        return a->creationSerial_ > b->creationSerial_;
    });
    for (MovieClip* clip : clips) queueFrameEntered(*clip);
    root_->advanceTick(tick_);
    runQueuedActions();
}

// ---- event queue -----------------------------------------------------------------

void Stage::runQueuedActions() {
    if (draining_) return;
    draining_ = true;
    size_t delivered = 0;
    while (!queue_.empty()) {
        QueuedEvent event = std::move(queue_.front());
        queue_.pop_front();
        if (++delivered > kMaxQueuedEventsPerDrain) {
            // A script that keeps queueing frames (goto loops) is cut off here.
            queue_.clear();
            break;
        }
        deliver(event);
    }
    draining_ = false;
}

void Stage::deliver(const QueuedEvent& event) {
    if (!hooks_) return;
    DisplayObject* target = event.target.get();
    // Events of objects that left the display list meanwhile are dropped.
    if (target && target->isRemoved()) return;
    switch (event.kind) {
        case QueuedEvent::InitActions:
            hooks_->runInitActions(*root_, event.spriteId, event.actions);
            break;
        case QueuedEvent::FrameActions:
            hooks_->runFrameActions(static_cast<MovieClip&>(*target), event.actions);
            break;
        case QueuedEvent::ClipLoaded:
            hooks_->clipLoaded(static_cast<MovieClip&>(*target));
            break;
        case QueuedEvent::FrameEntered:
            hooks_->frameEntered(static_cast<MovieClip&>(*target));
            break;
        case QueuedEvent::ButtonActions:
            hooks_->runButtonActions(static_cast<Button&>(*target), event.actions);
            break;
        case QueuedEvent::Mouse:
            hooks_->mouseEvent(*target, event.mouseEvent);
            break;
    }
}

void Stage::queueFrameActions(MovieClip& clip, const ActionBytes& actions) {
    queue_.push_back({QueuedEvent::FrameActions, clip.shared_from_this(), actions});
}

void Stage::queueInitActions(uint16_t spriteId, const ActionBytes& actions) {
    QueuedEvent e{QueuedEvent::InitActions, nullptr, actions};
    e.spriteId = spriteId;
    queue_.push_back(std::move(e));
}

void Stage::queueClipLoaded(MovieClip& clip) {
    queue_.push_back({QueuedEvent::ClipLoaded, clip.shared_from_this(), {}});
}

void Stage::queueFrameEntered(MovieClip& clip) {
    queue_.push_back({QueuedEvent::FrameEntered, clip.shared_from_this(), {}});
}

void Stage::queueButtonActions(Button& button, const ActionBytes& actions) {
    queue_.push_back({QueuedEvent::ButtonActions, button.shared_from_this(), actions});
}

void Stage::queueMouseEvent(DisplayObject& target, MouseEvent event) {
    QueuedEvent e{QueuedEvent::Mouse, target.shared_from_this(), {}};
    e.mouseEvent = event;
    queue_.push_back(std::move(e));
}

void Stage::notifyCreated(DisplayObject& object) {
    if (hooks_) hooks_->objectCreated(object);
}

void Stage::notifyRemoved(DisplayObject& object) {
    if (hooks_) hooks_->objectRemoved(object);
}

bool Stage::takeFrameJump() {
    if (frameJumps_ >= kMaxFrameJumpsPerTick) return false;
    ++frameJumps_;
    return true;
}

bool Stage::markInitActionsRun(uint16_t spriteId) {
    if (std::find(initActionsRun_.begin(), initActionsRun_.end(), spriteId) !=
        initActionsRun_.end())
        return false;
    initActionsRun_.push_back(spriteId);
    return true;
}

// ---- mouse -------------------------------------------------------------------------

namespace {

// Topmost button, or clip with mouse handlers, under the point. A clip that takes
// the mouse hides the buttons inside it, as in Flash.
DisplayObject* findInClip(const MovieClip& clip, double x, double y) {
    for (auto it = clip.children().rbegin(); it != clip.children().rend(); ++it) {
        DisplayObject& child = *it->second;
        if (!child.visible() || child.clipDepth() > 0) continue;
        if (child.kind() == DisplayObjectKind::Button) {
            if (child.hitTest(x, y)) return &child;
        } else if (child.isClip()) {
            auto& sub = static_cast<MovieClip&>(child);
            if (sub.acceptsMouse()) {
                if (sub.hitTest(x, y)) return &sub;
            } else if (DisplayObject* found = findInClip(sub, x, y)) {
                return found;
            }
        }
    }
    return nullptr;
}

uint16_t conditionFor(MouseEvent event) {
    switch (event) {
        case MouseEvent::RollOver:
            return swf::kCondIdleToOverUp;
        case MouseEvent::RollOut:
            return swf::kCondOverUpToIdle;
        case MouseEvent::Press:
            return swf::kCondOverUpToOverDown;
        case MouseEvent::Release:
            return swf::kCondOverDownToOverUp;
        case MouseEvent::ReleaseOutside:
            return swf::kCondOutDownToIdle;
        case MouseEvent::DragOver:
            return swf::kCondOutDownToOverDown;
        case MouseEvent::DragOut:
            return swf::kCondOverDownToOutDown;
    }
    return 0;
}

ButtonState stateAfter(MouseEvent event) {
    switch (event) {
        case MouseEvent::RollOver:
        case MouseEvent::Release:
            return ButtonState::Over;
        case MouseEvent::Press:
        case MouseEvent::DragOver:
            return ButtonState::Down;
        default:
            return ButtonState::Up;
    }
}

}  // namespace

DisplayObject* Stage::findMouseTarget(double x, double y) const {
    if (root_->acceptsMouse() && root_->hitTest(x, y)) return root_.get();
    return findInClip(*root_, x, y);
}

void Stage::fire(DisplayObject& target, MouseEvent event) {
    if (target.kind() == DisplayObjectKind::Button) {
        auto& button = static_cast<Button&>(target);
        button.setState(stateAfter(event));
        uint16_t condition = conditionFor(event);
        for (const ButtonConditionAction& action : button.definition().actions)
            if (action.conditions & condition) queueButtonActions(button, action.actions);
    }
    queueMouseEvent(target, event);
}

void Stage::mouseMove(double x, double y) {
    mouse_ = {x, y};
    DisplayObject* under = findMouseTarget(x, y);
    auto pressed = pressed_.lock();
    if (pressed && pressed->isRemoved()) {
        pressed_.reset();
        pressed.reset();
    }
    if (mouseDown_ && pressed) {
        bool inside = under == pressed.get();
        if (inside != pressedInside_) {
            pressedInside_ = inside;
            fire(*pressed, inside ? MouseEvent::DragOver : MouseEvent::DragOut);
        }
    } else {
        auto hovered = hovered_.lock();
        if (hovered && hovered->isRemoved()) hovered.reset();
        if (under != hovered.get()) {
            if (hovered) fire(*hovered, MouseEvent::RollOut);
            hovered_.reset();
            if (under) {
                hovered_ = under->shared_from_this();
                fire(*under, MouseEvent::RollOver);
            }
        }
    }
    runQueuedActions();
}

void Stage::mouseDown(double x, double y) {
    mouseMove(x, y);
    if (mouseDown_) return;
    mouseDown_ = true;
    auto hovered = hovered_.lock();
    if (hovered && !hovered->isRemoved()) {
        pressed_ = hovered;
        pressedInside_ = true;
        fire(*hovered, MouseEvent::Press);
    }
    runQueuedActions();
}

void Stage::mouseUp(double x, double y) {
    mouse_ = {x, y};
    if (!mouseDown_) return;
    mouseDown_ = false;
    auto pressed = pressed_.lock();
    pressed_.reset();
    if (pressed && !pressed->isRemoved()) {
        if (pressedInside_) {
            fire(*pressed, MouseEvent::Release);
        } else {
            fire(*pressed, MouseEvent::ReleaseOutside);
            hovered_.reset();
        }
    }
    runQueuedActions();
    mouseMove(x, y);  // roll over whatever is under the mouse now
}

// ---- rendering -----------------------------------------------------------------------

namespace {

void pushMarker(RenderItem::Kind kind, RenderList& out) {
    RenderItem item;
    item.kind = kind;
    out.items.push_back(item);
}

// `asMask`: the object defines a mask area: visibility, texts and colours do not count.
void collect(const DisplayObject& object, const Matrix& parentMatrix,
             const ColorTransform& parentColor, bool asMask, RenderList& out);

void collectChildren(const MovieClip& clip, const Matrix& m, const ColorTransform& ct, bool asMask,
                     RenderList& out) {
    std::vector<int> openMasks;  // script depths up to which open masks reach
    for (const auto& entry : clip.children()) {
        const DisplayObject& child = *entry.second;
        while (!openMasks.empty() && entry.first > openMasks.back()) {
            pushMarker(RenderItem::EndMask, out);
            openMasks.pop_back();
        }
        if (child.clipDepth() > 0 && !asMask) {
            pushMarker(RenderItem::BeginMask, out);
            collect(child, m, ct, true, out);
            pushMarker(RenderItem::MaskContent, out);
            openMasks.push_back(child.clipDepth() - kTimelineDepthOffset);
            continue;
        }
        collect(child, m, ct, asMask, out);
    }
    for (size_t i = 0; i < openMasks.size(); ++i) pushMarker(RenderItem::EndMask, out);
}

void collect(const DisplayObject& object, const Matrix& parentMatrix,
             const ColorTransform& parentColor, bool asMask, RenderList& out) {
    if (!object.visible() && !asMask) return;
    Matrix m = parentMatrix.multiply(object.matrix());
    ColorTransform ct = parentColor.concat(object.colorTransform());
    switch (object.kind()) {
        case DisplayObjectKind::Shape: {
            RenderItem item;
            item.kind = RenderItem::Shape;
            item.shape = &static_cast<const Shape&>(object).definition();
            item.matrix = m;
            item.colorTransform = ct;
            out.items.push_back(item);
            break;
        }
        case DisplayObjectKind::EditText: {
            if (asMask) break;  // device text cannot shape a mask
            RenderItem item;
            item.kind = RenderItem::Text;
            item.text = &static_cast<const EditText&>(object);
            item.matrix = m;
            item.colorTransform = ct;
            out.items.push_back(item);
            break;
        }
        case DisplayObjectKind::MovieClip:
            collectChildren(static_cast<const MovieClip&>(object), m, ct, asMask, out);
            break;
        case DisplayObjectKind::Button:
            for (const auto& child : static_cast<const Button&>(object).stateChildren())
                collect(*child, m, ct, asMask, out);
            break;
    }
}

}  // namespace

void Stage::buildRenderList(RenderList& out) const {
    out.clear();
    out.background = movie_->backgroundColor();
    out.stageRect = movie_->stageRect();
    collect(*root_, Matrix(), ColorTransform(), false, out);
}

}  // namespace kestrel::player
