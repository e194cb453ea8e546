#include "player/runtime/movie_player.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "player/avm1/heap.h"
#include "player/core/button.h"
#include "player/core/display_factory.h"
#include "player/runtime/clip_actions.h"
#include "player/runtime/display_paths.h"
#include "player/runtime/external_script.h"
#include "player/runtime/external_values.h"
#include "player/runtime/field_layout.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"
#include "player/runtime/text_metrics.h"

namespace kestrel::runtime {

using avm1::Object;
using avm1::Value;
using player::DisplayObject;
using player::MovieClip;

namespace {

// A burst of late timer calls plays at most this many frames; the rest is dropped so
// a stalled host does not make the movie race afterwards.
constexpr int kMaxFramesPerTick = 4;
// Collect garbage between frames once this many objects were made since the last time.
constexpr size_t kCollectAfterAllocations = 20000;

template <typename Visit>
void forEachDisplayObject(MovieClip& root, Visit visit) {
    std::vector<DisplayObject*> pending{&root};
    while (!pending.empty()) {
        DisplayObject* d = pending.back();
        pending.pop_back();
        visit(*d);
        if (d->isClip())
            for (const auto& [depth, child] : static_cast<MovieClip*>(d)->children())
                pending.push_back(child.get());
        else if (d->kind() == player::DisplayObjectKind::Button)
            for (const auto& child : static_cast<player::Button*>(d)->stateChildren())
                pending.push_back(child.get());
    }
}

// Clips in display order (parent before children, children by depth), held so that
// handlers removing clips cannot pull them away under us.
std::vector<std::shared_ptr<MovieClip>> clipsInOrder(MovieClip& root) {
    std::vector<std::shared_ptr<MovieClip>> out;
    std::vector<DisplayObject*> pending{&root};
    while (!pending.empty()) {
        DisplayObject* d = pending.back();
        pending.pop_back();
        if (d->kind() == player::DisplayObjectKind::Button) {
            const auto& shown = static_cast<player::Button*>(d)->stateChildren();
            for (auto it = shown.rbegin(); it != shown.rend(); ++it)
                if ((*it)->isClip()) pending.push_back(it->get());
            continue;
        }
        auto* c = static_cast<MovieClip*>(d);
        out.push_back(std::static_pointer_cast<MovieClip>(c->shared_from_this()));
        const auto& children = c->children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            if (it->second->isClip() || it->second->kind() == player::DisplayObjectKind::Button)
                pending.push_back(it->second.get());
    }
    return out;
}

const char* methodFor(player::MouseEvent event, uint32_t& clipBits) {
    switch (event) {
        case player::MouseEvent::RollOver:
            clipBits = swf::kClipRollOver;
            return "onRollOver";
        case player::MouseEvent::RollOut:
            clipBits = swf::kClipRollOut;
            return "onRollOut";
        case player::MouseEvent::Press:
            clipBits = swf::kClipPress;
            return "onPress";
        case player::MouseEvent::Release:
            clipBits = swf::kClipRelease;
            return "onRelease";
        case player::MouseEvent::ReleaseOutside:
            clipBits = swf::kClipReleaseOutside;
            return "onReleaseOutside";
        case player::MouseEvent::DragOver:
            clipBits = swf::kClipDragOver;
            return "onDragOver";
        case player::MouseEvent::DragOut:
            clipBits = swf::kClipDragOut;
            return "onDragOut";
    }
    clipBits = 0;
    return "";
}

}  // namespace

MoviePlayer::MoviePlayer() : vm_(std::make_unique<avm1::Vm>(static_cast<avm1::Host*>(this))) {
    classes_ = std::make_unique<ScriptClasses>(*this, *vm_);
    vm_->addRootMarker([this](avm1::Marker& marker) {
        if (stage_)
            forEachDisplayObject(stage_->root(), [&](DisplayObject& d) {
                marker.mark(static_cast<Object*>(d.scriptObject()));
            });
        for (const auto& [id, load] : pendingLoads_) marker.mark(load.target);
        for (const auto& unload : pendingUnloads_) marker.mark(unload.clip);
    });
}

MoviePlayer::~MoviePlayer() {
    // The stage reports removals while it goes; nothing should run scripts by then.
    if (stage_) stage_->setHooks(nullptr);
    stage_.reset();
}

// --- loading -------------------------------------------------------------------

bool MoviePlayer::appendStreamBytes(const uint8_t* data, size_t size) {
    if (status_ != LoadStatus::Waiting) return false;
    if (size > player::kMaxSwfSize - stream_.size()) {
        status_ = LoadStatus::Failed;
        loadError_ = player::SwfError::TooLarge;
        stream_.clear();
        return false;
    }
    stream_.insert(stream_.end(), data, data + size);
    return true;
}

bool MoviePlayer::completeStream() {
    if (status_ != LoadStatus::Waiting) return false;
    player::MovieLoadResult result = player::loadMovie(stream_.data(), stream_.size());
    stream_.clear();
    stream_.shrink_to_fit();
    if (result.error != player::SwfError::None) {
        status_ = LoadStatus::Failed;
        loadError_ = result.error;
        return false;
    }
    movie_ = result.movie;
    start();
    return true;
}

bool MoviePlayer::load(const uint8_t* data, size_t size) {
    return appendStreamBytes(data, size) && completeStream();
}

void MoviePlayer::start() {
    vm_->setSwfVersion(movie_->version());
    stage_ = std::make_unique<player::Stage>(movie_, static_cast<player::TimelineHooks*>(this));
    status_ = LoadStatus::Playing;
    framesPlayed_ = 1;
    stage_->start();
    afterScripts();
}

const player::MovieDefinition* MoviePlayer::movie() const {
    return movie_.get();
}

bool MoviePlayer::quitRequested() const {
    return vm_->quitRequested();
}

int MoviePlayer::swfVersion() const {
    return movie_ ? movie_->version() : 8;
}

// --- time ----------------------------------------------------------------------

double MoviePlayer::frameIntervalMs() const {
    double rate = movie_ ? movie_->frameRate() : 0;
    // A zero frame rate plays as fast as the host ticks; clamp absurd rates.
    if (!(rate > 0)) return 1000.0 / 120;
    return 1000.0 / std::min(rate, 120.0);
}

int MoviePlayer::tick(double elapsedMs) {
    if (status_ != LoadStatus::Playing || quitRequested() || frameLimitReached() ||
        !(elapsedMs >= 0))
        return 0;
    clockMs_ += elapsedMs;
    vm_->runDueIntervals(clockMs_);
    afterScripts();
    frameDebtMs_ += elapsedMs;
    double interval = frameIntervalMs();
    int frames = 0;
    while (frameDebtMs_ >= interval && frames < kMaxFramesPerTick && !quitRequested() &&
           !frameLimitReached()) {
        frameDebtMs_ -= interval;
        ++framesPlayed_;
        stage_->tick();
        afterScripts();
        ++frames;
    }
    if (frameDebtMs_ >= interval) frameDebtMs_ = 0;
    return frames;
}

void MoviePlayer::advanceFrame() {
    if (status_ != LoadStatus::Playing || quitRequested() || frameLimitReached()) return;
    vm_->runDueIntervals(clockMs_);
    ++framesPlayed_;
    stage_->tick();
    afterScripts();
}

void MoviePlayer::settle() {
    afterScripts();
}

void MoviePlayer::afterScripts() {
    if (!stage_) return;
    stage_->runQueuedActions();
    runPendingConstructors();
    runPendingUnloads();
    refreshBoundTextFields();
    if (!vm_->running() && vm_->heap().allocatedSinceCollect() > kCollectAfterAllocations)
        vm_->collect();
}

// --- the host's display -------------------------------------------------------------

namespace {

int MovieSizeInPixels(const player::MovieDefinition* movie, bool horizontal) {
    if (!movie) return 0;
    const player::Rect r = movie->stageRect();
    return static_cast<int>(std::lround((horizontal ? r.width() : r.height()) /
                                        static_cast<double>(player::kTwipsPerPixel)));
}

}  // namespace

int MoviePlayer::stageWidth() const {
    if (stageSettings_.scaleMode == player::ScaleMode::NoScale && stageSettings_.areaWidth > 0)
        return stageSettings_.areaWidth;
    return MovieSizeInPixels(movie_.get(), true);
}

int MoviePlayer::stageHeight() const {
    if (stageSettings_.scaleMode == player::ScaleMode::NoScale && stageSettings_.areaHeight > 0)
        return stageSettings_.areaHeight;
    return MovieSizeInPixels(movie_.get(), false);
}

void MoviePlayer::setDisplayArea(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == stageSettings_.areaWidth && height == stageSettings_.areaHeight) return;
    stageSettings_.areaWidth = width;
    stageSettings_.areaHeight = height;
    if (!stage_ || stageSettings_.scaleMode != player::ScaleMode::NoScale) return;
    broadcast(*vm_, classes_->stageObject(), "onResize");
    afterScripts();
}

player::StageMapping MoviePlayer::stageMapping(double windowWidth, double windowHeight) const {
    const player::Rect r = movie_ ? movie_->stageRect() : player::Rect{};
    return player::computeStageMapping(r.width() / static_cast<double>(player::kTwipsPerPixel),
                                       r.height() / static_cast<double>(player::kTwipsPerPixel),
                                       windowWidth, windowHeight, stageSettings_.scaleMode,
                                       stageSettings_.align);
}

// --- input ---------------------------------------------------------------------

void MoviePlayer::mouseMove(double x, double y) {
    if (!stage_) return;
    stage_->mouseMove(x * player::kTwipsPerPixel, y * player::kTwipsPerPixel);
    updateDrag();
    mouseEventsForAllClips(swf::kClipMouseMove, "onMouseMove");
    broadcast(*vm_, classes_->mouseObject(), "onMouseMove");
    afterScripts();
}

void MoviePlayer::mouseDown(double x, double y) {
    if (!stage_) return;
    stage_->mouseDown(x * player::kTwipsPerPixel, y * player::kTwipsPerPixel);
    mouseEventsForAllClips(swf::kClipMouseDown, "onMouseDown");
    broadcast(*vm_, classes_->mouseObject(), "onMouseDown");
    afterScripts();
}

void MoviePlayer::mouseUp(double x, double y) {
    if (!stage_) return;
    stage_->mouseUp(x * player::kTwipsPerPixel, y * player::kTwipsPerPixel);
    mouseEventsForAllClips(swf::kClipMouseUp, "onMouseUp");
    broadcast(*vm_, classes_->mouseObject(), "onMouseUp");
    afterScripts();
}

void MoviePlayer::keyDown(int keyCode, int charCode) {
    if (std::find(keysDown_.begin(), keysDown_.end(), keyCode) == keysDown_.end())
        keysDown_.push_back(keyCode);
    lastKeyCode_ = keyCode;
    lastCharCode_ = charCode;
    if (!stage_) return;
    mouseEventsForAllClips(swf::kClipKeyDown, nullptr);
    keyPressHandlers(buttonKeyCode(keyCode, charCode));
    broadcast(*vm_, classes_->keyObject(), "onKeyDown");
    constexpr int kTab = 9, kShift = 16;
    if (keyCode == kTab) classes_->focusNextByTab(keyIsDown(kShift));
    afterScripts();
}

void MoviePlayer::keyUp(int keyCode, int charCode) {
    keysDown_.erase(std::remove(keysDown_.begin(), keysDown_.end(), keyCode), keysDown_.end());
    lastKeyCode_ = keyCode;
    lastCharCode_ = charCode;
    if (!stage_) return;
    mouseEventsForAllClips(swf::kClipKeyUp, nullptr);
    broadcast(*vm_, classes_->keyObject(), "onKeyUp");
    afterScripts();
}

int buttonKeyCode(int keyCode, int charCode) {
    static const std::pair<int, int> kSpecial[] = {{37, 1},  {39, 2},  {36, 3},  {35, 4},  {45, 5},
                                                   {46, 6},  {8, 8},   {13, 13}, {38, 14}, {40, 15},
                                                   {33, 16}, {34, 17}, {9, 18},  {27, 19}};
    for (const auto& [flashCode, swfCode] : kSpecial)
        if (keyCode == flashCode) return swfCode;
    return charCode >= 32 && charCode < 127 ? charCode : 0;
}

void MoviePlayer::keyPressHandlers(int swfKey) {
    if (swfKey == 0 || !stage_) return;
    std::vector<std::shared_ptr<DisplayObject>> objects;
    forEachDisplayObject(stage_->root(),
                         [&](DisplayObject& d) { objects.push_back(d.shared_from_this()); });
    for (const auto& d : objects) {
        if (d->isRemoved()) continue;
        if (d->kind() == player::DisplayObjectKind::Button) {
            auto& button = static_cast<player::Button&>(*d);
            for (const auto& action : button.definition().actions)
                if (((action.conditions & swf::kCondKeyPressMask) >> swf::kCondKeyPressShift) ==
                    swfKey)
                    stage_->queueButtonActions(button, action.actions);
        } else if (d->isClip()) {
            auto& clip = static_cast<MovieClip&>(*d);
            Object* script = scriptObjectOf(clip);
            if (!script || clip.clipActions().empty()) continue;
            for (const ClipActionRecord& r : parseClipActions(clip.clipActions(), swfVersion()))
                if ((r.events & swf::kClipKeyPress) && r.keyCode == swfKey)
                    runActions(script, r.actions);
        }
    }
}

bool MoviePlayer::keyIsDown(int code) const {
    return std::find(keysDown_.begin(), keysDown_.end(), code) != keysDown_.end();
}

void MoviePlayer::mouseEventsForAllClips(uint32_t eventBits, const char* method) {
    if (!stage_) return;
    for (const auto& clip : clipsInOrder(stage_->root()))
        if (!clip->isRemoved()) clipEvent(*clip, eventBits, method);
}

void MoviePlayer::updateDrag() {
    auto dragged = dragged_.lock();
    if (!dragged || dragged->isRemoved() || !dragged->parent()) return;
    player::Point mousePx{stage_->mousePosition().x / player::kTwipsPerPixel,
                          stage_->mousePosition().y / player::kTwipsPerPixel};
    player::Point local;
    if (!stageToLocalPixels(*dragged->parent(), mousePx, local)) return;
    double x = local.x + dragOffset_.x, y = local.y + dragOffset_.y;
    if (dragOptions_.constrain) {
        x = std::clamp(x, std::min(dragOptions_.left, dragOptions_.right),
                       std::max(dragOptions_.left, dragOptions_.right));
        y = std::clamp(y, std::min(dragOptions_.top, dragOptions_.bottom),
                       std::max(dragOptions_.top, dragOptions_.bottom));
    }
    dragged->setX(x);
    dragged->setY(y);
}

void MoviePlayer::startDrag(Object* clip, const avm1::DragOptions& options) {
    DisplayObject* d = displayObjectOf(clip);
    if (!d || !d->parent() || !stage_) return;
    dragged_ = d->weak_from_this();
    dragOptions_ = options;
    dragOffset_ = {0, 0};
    if (!options.lockCenter) {
        player::Point mousePx{stage_->mousePosition().x / player::kTwipsPerPixel,
                              stage_->mousePosition().y / player::kTwipsPerPixel};
        player::Point local;
        if (stageToLocalPixels(*d->parent(), mousePx, local))
            dragOffset_ = {d->x() - local.x, d->y() - local.y};
    }
    updateDrag();
}

void MoviePlayer::endDrag() {
    dragged_.reset();
}

// --- output --------------------------------------------------------------------

void MoviePlayer::buildRenderList(player::RenderList& out) const {
    out.clear();
    if (stage_) stage_->buildRenderList(out);
}

// --- script objects ------------------------------------------------------------

Object* MoviePlayer::scriptObjectOf(const DisplayObject& object) const {
    return static_cast<Object*>(object.scriptObject());
}

DisplayObject* MoviePlayer::displayObjectOf(Object* object) const {
    return object ? displayOf(*object) : nullptr;
}

MovieClip* MoviePlayer::clipOf(Object* object) const {
    DisplayObject* d = displayObjectOf(object);
    return d && d->isClip() ? static_cast<MovieClip*>(d) : nullptr;
}

Object* MoviePlayer::rootObject() const {
    return stage_ ? scriptObjectOf(stage_->root()) : nullptr;
}

void MoviePlayer::objectCreated(DisplayObject& object) {
    Object* script = classes_->createScriptObject(object);
    object.setScriptObject(script);
    // A bound field takes its variable's value, or gives it its text, as soon as it is placed.
    if (object.kind() == player::DisplayObjectKind::EditText)
        syncBoundTextField(static_cast<player::EditText&>(object));
    if (script && classes_->registeredConstructorOf(object))
        pendingConstructors_.push_back(object.weak_from_this());
}

void MoviePlayer::objectRemoved(DisplayObject& object) {
    auto dragged = dragged_.lock();
    if (dragged.get() == &object) dragged_.reset();
    Object* script = scriptObjectOf(object);
    object.setScriptObject(nullptr);
    if (script)
        if (auto* data = displayDataOf(*script)) {
            data->removedPath = object.targetPath();
            data->removedTarget = slashTargetOf(object);
        }
    if (!script || !object.isClip()) return;
    PendingUnload unload;
    unload.clip = script;
    unload.display = object.shared_from_this();
    auto& clip = static_cast<MovieClip&>(object);
    if (!clip.clipActions().empty())
        for (const ClipActionRecord& r : parseClipActions(clip.clipActions(), swfVersion()))
            if (r.events & swf::kClipUnload) unload.actions.push_back(r.actions);
    if (!unload.actions.empty() || vm_->hasProperty(script, "onUnload"))
        pendingUnloads_.push_back(std::move(unload));
}

void MoviePlayer::runPendingUnloads() {
    while (!pendingUnloads_.empty()) {
        PendingUnload unload = std::move(pendingUnloads_.front());
        pendingUnloads_.erase(pendingUnloads_.begin());
        // The handlers run while the clip is still there to them, then it goes.
        DisplayObjectData* data = displayDataOf(*unload.clip);
        if (data) data->unloading = true;
        for (const player::ActionBytes& actions : unload.actions) runActions(unload.clip, actions);
        callMethod(unload.clip, "onUnload");
        if (data) data->unloading = false;
    }
}

void MoviePlayer::runPendingConstructors() {
    while (!pendingConstructors_.empty()) {
        auto object = pendingConstructors_.front().lock();
        pendingConstructors_.erase(pendingConstructors_.begin());
        if (!object || object->isRemoved()) continue;
        Object* script = scriptObjectOf(*object);
        Object* ctor = classes_->registeredConstructorOf(*object);
        if (script && ctor) vm_->call(Value(ctor), Value(script), {});
    }
}

void MoviePlayer::runActions(Object* target, const player::ActionBytes& actions) {
    if (!target || actions.empty() || quitRequested()) return;
    avm1::ExecutionContext context;
    context.swfVersion = swfVersion();
    context.target = target;
    vm_->run(actions.data, actions.size, context);
}

void MoviePlayer::runInitActions(MovieClip& root, uint16_t, const player::ActionBytes& actions) {
    runActions(scriptObjectOf(root), actions);
}

void MoviePlayer::runFrameActions(MovieClip& clip, const player::ActionBytes& actions) {
    runPendingConstructors();
    if (!clip.isRemoved()) runActions(scriptObjectOf(clip), actions);
}

void MoviePlayer::clipLoaded(MovieClip& clip) {
    runPendingConstructors();
    if (!clip.isRemoved()) clipEvent(clip, swf::kClipLoad, "onLoad");
}

void MoviePlayer::frameEntered(MovieClip& clip) {
    if (!clip.isRemoved()) clipEvent(clip, swf::kClipEnterFrame, "onEnterFrame");
}

void MoviePlayer::runButtonActions(player::Button& button, const player::ActionBytes& actions) {
    if (button.isRemoved() || !button.parent()) return;
    runActions(scriptObjectOf(*button.parent()), actions);
}

void MoviePlayer::mouseEvent(DisplayObject& target, player::MouseEvent event) {
    if (target.isRemoved()) return;
    uint32_t bits = 0;
    const char* method = methodFor(event, bits);
    if (target.isClip())
        clipEvent(static_cast<MovieClip&>(target), bits, method);
    else
        callMethod(scriptObjectOf(target), method);
}

void MoviePlayer::clipEvent(MovieClip& clip, uint32_t eventBits, const char* method) {
    Object* script = scriptObjectOf(clip);
    if (!script || quitRequested()) return;
    player::ActionBytes record = clip.clipActions();
    if (!record.empty()) {
        for (const ClipActionRecord& r : parseClipActions(record, swfVersion())) {
            if (!(r.events & eventBits)) continue;
            runActions(script, r.actions);
            if (clip.isRemoved()) return;
        }
    }
    if (method) callMethod(script, method);
}

void MoviePlayer::callMethod(Object* object, const char* method, const std::vector<Value>& args) {
    if (!object || quitRequested()) return;
    Value fn = vm_->getMember(Value(object), method);
    if (fn.isObject() && fn.asObject()->kind() == avm1::ObjectKind::Function)
        vm_->call(fn, Value(object), args);
}

// --- bound text fields and mouse interest ----------------------------------------

namespace {

// "a.b.c", "/a/b:c" and "_root.x" name a variable on some timeline: split off the
// variable name and the path to its timeline.
void splitVariablePath(const std::string& full, std::string& path, std::string& name) {
    size_t cut = full.find_last_of(":.");
    if (cut == std::string::npos) {
        path.clear();
        name = full;
        return;
    }
    path = full.substr(0, cut);
    name = full.substr(cut + 1);
    if (path.empty()) path = "/";
}

}  // namespace

void MoviePlayer::refreshBoundTextFields() {
    if (!stage_) return;
    // A snapshot: reading a variable can run a getter that changes the display list.
    std::vector<std::shared_ptr<DisplayObject>> objects;
    forEachDisplayObject(stage_->root(),
                         [&](DisplayObject& d) { objects.push_back(d.shared_from_this()); });
    for (const auto& object : objects) {
        DisplayObject& d = *object;
        if (d.isRemoved()) continue;
        if (d.isClip()) {
            auto& clip = static_cast<MovieClip&>(d);
            Object* script = scriptObjectOf(clip);
            bool wantsMouse = false;
            if (script)
                for (const char* m : {"onPress", "onRelease", "onReleaseOutside", "onRollOver",
                                      "onRollOut", "onDragOver", "onDragOut"})
                    wantsMouse = wantsMouse || vm_->hasProperty(script, m);
            if (!wantsMouse && !clip.clipActions().empty())
                for (const auto& r : parseClipActions(clip.clipActions(), swfVersion()))
                    wantsMouse = wantsMouse || (r.events & kClipMouseButtonEvents);
            clip.setAcceptsMouse(wantsMouse);
            continue;
        }
        if (d.kind() == player::DisplayObjectKind::EditText)
            syncBoundTextField(static_cast<player::EditText&>(d));
    }
}

void MoviePlayer::syncBoundTextField(player::EditText& field) {
    if (field.variableName().empty() || !field.parent() || field.isRemoved()) return;
    Object* script = scriptObjectOf(field);
    auto* data = script ? dynamic_cast<DisplayObjectData*>(script->nativeData()) : nullptr;
    std::string path, name;
    splitVariablePath(field.variableName(), path, name);
    Object* base = scriptObjectOf(*field.parent());
    Object* timeline = path.empty() ? base : vm_->resolveTargetPath(base, path);
    if (!timeline) return;
    bool first = !data || !data->bindingInitialised;
    if (data) data->bindingInitialised = true;
    Value value = vm_->getMember(Value(timeline), name);
    if (value.isUndefined()) {
        if (first && !field.text().empty())
            vm_->setMember(Value(timeline), name, Value(BoundFieldText(field, data)));
        return;
    }
    bool isTimeline = dynamic_cast<DisplayObjectData*>(timeline->nativeData()) != nullptr;
    if (!first && !isTimeline) return;
    std::string text = vm_->toString(value);
    if (field.isRemoved() || text == BoundFieldText(field, data)) return;
    if (data) {
        SetFieldFromVariable(field, data->textField, text);
    } else {
        field.setText(text);
        ApplyAutoSize(field);
    }
}

void MoviePlayer::textFieldRebound(player::EditText& field) {
    Object* script = scriptObjectOf(field);
    if (auto* data = script ? dynamic_cast<DisplayObjectData*>(script->nativeData()) : nullptr)
        data->bindingInitialised = false;
    field.setText(field.format().initialText);
    syncBoundTextField(field);
}

void MoviePlayer::textFieldChanged(player::EditText& field) {
    if (field.variableName().empty() || !field.parent()) return;
    std::string path, name;
    splitVariablePath(field.variableName(), path, name);
    Object* base = scriptObjectOf(*field.parent());
    Object* timeline = path.empty() ? base : vm_->resolveTargetPath(base, path);
    if (!timeline) return;
    Object* script = scriptObjectOf(field);
    auto* data = script ? dynamic_cast<DisplayObjectData*>(script->nativeData()) : nullptr;
    vm_->setMember(Value(timeline), name, Value(BoundFieldText(field, data)));
}

// An html field's variable holds its HTML.
std::string MoviePlayer::BoundFieldText(player::EditText& field, DisplayObjectData* data) {
    if (!data || !field.format().html) return field.text();
    return FieldContent(field, data->textField).ToHtml();
}

// --- avm1::Host ----------------------------------------------------------------

void MoviePlayer::trace(std::string_view text) {
    trace_.write(text);
}

void MoviePlayer::play(Object* clip) {
    if (MovieClip* c = clipOf(clip)) c->play();
}
void MoviePlayer::stop(Object* clip) {
    if (MovieClip* c = clipOf(clip)) c->stop();
}
void MoviePlayer::nextFrame(Object* clip) {
    if (MovieClip* c = clipOf(clip)) c->nextFrame();
}
void MoviePlayer::prevFrame(Object* clip) {
    if (MovieClip* c = clipOf(clip)) c->prevFrame();
}
void MoviePlayer::gotoFrame(Object* clip, int frame, bool andPlay) {
    if (MovieClip* c = clipOf(clip)) c->gotoFrame(frame + 1, andPlay);
}
void MoviePlayer::gotoLabel(Object* clip, std::string_view label, bool andPlay) {
    if (MovieClip* c = clipOf(clip)) c->gotoLabel(std::string(label), andPlay);
}

void MoviePlayer::callFrame(avm1::Vm&, Object* clip, const Value& frame) {
    MovieClip* c = clipOf(clip);
    if (!c) return;
    int number = 0;
    if (frame.isString()) {
        number = c->timeline().frameForLabel(frame.asString());
        if (number == 0) {
            double n = vm_->toNumber(frame);
            number = std::isnan(n) ? 0 : static_cast<int>(n);
        }
    } else {
        double n = vm_->toNumber(frame);
        number = std::isnan(n) ? 0 : static_cast<int>(n);
    }
    const auto& frames = c->timeline().frames;
    if (number < 1 || static_cast<size_t>(number) > frames.size()) return;
    for (const player::ActionBytes& actions : frames[static_cast<size_t>(number) - 1].actions)
        runActions(clip, actions);
}

Object* MoviePlayer::rootOf(Object* clip) {
    DisplayObject* d = displayObjectOf(clip);
    return d ? scriptObjectOf(d->root()) : rootObject();
}

Object* MoviePlayer::parentOf(Object* clip) {
    DisplayObject* d = displayObjectOf(clip);
    return d && d->container() ? referenceTo(*d->container()) : nullptr;
}

Object* MoviePlayer::referenceTo(const DisplayObject& object) const {
    const DisplayObject* d = &object;
    // Before SWF 6 a button is no object of its own: it stands for its clip.
    if (d->kind() == player::DisplayObjectKind::Button && swfVersion() < 6 && d->parent())
        d = d->parent();
    return scriptObjectOf(*d);
}

Object* MoviePlayer::level(int number) {
    return number == 0 ? rootObject() : nullptr;
}

std::optional<std::string> MoviePlayer::targetPathOf(Object* object) {
    // A removed object keeps the path it had, even while its unload handlers reach it.
    auto* data = object ? displayDataOf(*object) : nullptr;
    if (data && data->removedPath) return data->removedPath;
    if (DisplayObject* d = displayObjectOf(object)) return d->targetPath();
    return std::nullopt;
}

void MoviePlayer::cloneSprite(Object* source, std::string_view newName, int timelineDepth) {
    if (timelineDepth < std::numeric_limits<int>::min() + player::kTimelineDepthOffset) return;
    int depth = timelineDepth - player::kTimelineDepthOffset;
    if (MovieClip* c = clipOf(source)) {
        c->duplicate(std::string(newName), depth);
        return;
    }
    DisplayObject* d = displayObjectOf(source);
    if (d && d->kind() == player::DisplayObjectKind::EditText && d->parent())
        d->parent()->duplicateTextField(static_cast<player::EditText&>(*d), std::string(newName),
                                        depth);
}

void MoviePlayer::removeSprite(Object* clip) {
    DisplayObject* d = displayObjectOf(clip);
    if (d && d->parent()) d->parent()->removeChildByScript(*d);
}

void MoviePlayer::getUrl(std::string_view url, std::string_view target, int method, Object* clip) {
    // GetURL2 flags: the method (1 GET, 2 POST), load into a target, load variables.
    bool loadVariables = (method & swf::kGetUrl2LoadVariables) != 0;
    int sendMethod = method & swf::kGetUrl2MethodMask;
    std::string body;
    std::string address(url);
    if (sendMethod != 0 && clip) {
        body = urlVariablesOf(*vm_, clip);
        if (sendMethod == 1 && !body.empty()) {
            address += (address.find('?') == std::string::npos ? "?" : "&") + body;
            body.clear();
        }
    }
    if (loadVariables) {
        Object* timeline = clip;
        if (!target.empty()) timeline = vm_->resolveTargetPath(clip ? clip : rootObject(), target);
        if (!timeline) return;
        startLoad(PendingLoad::Variables, timeline, address, sendMethod == 2, body,
                  "application/x-www-form-urlencoded");
        return;
    }
    if (network_) network_->navigate(address, std::string(target), sendMethod == 2, body);
}

bool MoviePlayer::startLoad(PendingLoad::Kind kind, Object* target, const std::string& url,
                            bool post, const std::string& body, const std::string& contentType) {
    if (!target || !network_) return false;
    UrlRequest request;
    request.id = nextRequestId_++;
    request.url = url;
    request.post = post;
    if (post) {
        request.body = body;
        request.headers.emplace_back("Content-Type", contentType.empty()
                                                         ? "application/x-www-form-urlencoded"
                                                         : contentType);
    }
    pendingLoads_[request.id] = PendingLoad{kind, target};
    if (!network_->requestUrl(request)) {
        pendingLoads_.erase(request.id);
        return false;
    }
    return true;
}

void MoviePlayer::completeUrlRequest(uint32_t id, const std::string& data) {
    auto it = pendingLoads_.find(id);
    if (it == pendingLoads_.end()) return;
    PendingLoad load = it->second;
    pendingLoads_.erase(it);
    switch (load.kind) {
        case PendingLoad::Xml:
            deliverXmlData(*vm_, load.target, &data);
            break;
        case PendingLoad::LoadVars:
            deliverLoadVarsData(*vm_, load.target, &data);
            break;
        case PendingLoad::Variables:
            assignUrlVariables(*vm_, load.target, data);
            if (MovieClip* c = clipOf(load.target)) clipEvent(*c, swf::kClipData, "onData");
            break;
        case PendingLoad::Remoting:
            deliverRemotingData(*vm_, load.target, &data);
            break;
    }
    afterScripts();
}

void MoviePlayer::failUrlRequest(uint32_t id) {
    auto it = pendingLoads_.find(id);
    if (it == pendingLoads_.end()) return;
    PendingLoad load = it->second;
    pendingLoads_.erase(it);
    if (load.kind == PendingLoad::Xml) deliverXmlData(*vm_, load.target, nullptr);
    if (load.kind == PendingLoad::LoadVars) deliverLoadVarsData(*vm_, load.target, nullptr);
    if (load.kind == PendingLoad::Remoting) deliverRemotingData(*vm_, load.target, nullptr);
    afterScripts();
}

// --- ExternalInterface -------------------------------------------------------------

std::optional<std::string> MoviePlayer::externalCallOut(std::string_view invokeXml) {
    if (!external_) return std::nullopt;
    return external_->callOut(std::string(invokeXml));
}

bool MoviePlayer::externalAddCallback(std::string_view name) {
    if (external_) external_->callbackAdded(std::string(name));
    return true;
}

std::optional<Value> MoviePlayer::callCallback(std::string_view name,
                                               const std::vector<Value>& args) {
    std::optional<Value> result = vm_->callExternalCallback(name, args);
    afterScripts();
    return result;
}

std::optional<std::string> MoviePlayer::invokeCallback(std::string_view invokeXml) {
    std::optional<InvokeRequest> request = parseInvoke(invokeXml);
    if (!request) return std::nullopt;
    std::vector<Value> args;
    for (const XmlNode& form : request->arguments) args.push_back(xmlToValue(*vm_, form));
    std::optional<Value> result = callCallback(request->name, args);
    if (!result) return std::nullopt;
    return valueToXml(*vm_, *result);
}

std::vector<std::string> MoviePlayer::registeredCallbacks() {
    std::vector<std::string> names;
    for (const auto& [name, fn] : vm_->externalCallbacks()) names.push_back(name);
    return names;
}

}  // namespace kestrel::runtime
