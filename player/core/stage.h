// The playing movie: owns the root clip, drives ticks, delivers queued script
// events through TimelineHooks, and tracks the mouse over buttons and clips.
//
// Host sequence: loadMovie() when the stream is complete, make a Stage, start()
// (builds frame 1 and runs its actions at once), then tick() at frameRate(); feed
// mouse input in stage twips (see StageMapping); buildRenderList() to paint.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "player/core/movie_clip.h"
#include "player/core/movie_definition.h"
#include "player/core/render_list.h"
#include "player/core/timeline_hooks.h"

namespace kestrel::player {

class Button;

class Stage {
  public:
    // `hooks` is not owned and may be null (no scripts); it must outlive the Stage
    // or be replaced with setHooks(nullptr) first.
    Stage(std::shared_ptr<const MovieDefinition> movie, TimelineHooks* hooks);
    ~Stage();
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;

    const MovieDefinition& movie() const { return *movie_; }
    const std::shared_ptr<const MovieDefinition>& moviePtr() const { return movie_; }
    MovieClip& root() { return *root_; }
    const MovieClip& root() const { return *root_; }
    TimelineHooks* hooks() const { return hooks_; }
    void setHooks(TimelineHooks* hooks) { hooks_ = hooks; }

    double frameRate() const { return movie_->frameRate(); }
    Rgba backgroundColor() const { return movie_->backgroundColor(); }

    // Builds the root's frame 1 and runs its init and frame actions (once).
    void start();
    bool started() const { return started_; }
    // Whether the root timeline starts over after its last frame (default true).
    void setLoop(bool loop) { loop_ = loop; }
    bool loop() const { return loop_; }
    // Name for an unnamed placed instance ("instance1", "instance2"...).
    std::string nextInstanceName();
    // One frame: enter-frame events, every playing clip advances, actions run.
    void tick();
    uint64_t tickCount() const { return tick_; }

    // Delivers queued events in order until the queue is empty. Safe to call from
    // inside a hook (it then returns at once: the outer call keeps draining).
    // Stops after kMaxQueuedEventsPerDrain events so a goto loop cannot hang us.
    void runQueuedActions();
    static constexpr size_t kMaxQueuedEventsPerDrain = 50000;
    // Script frame jumps (goto, next, prev) allowed between two ticks: scripts that send
    // clips back and forth for ever are cut off here, as Flash aborts a script that
    // runs too long. Later jumps are ignored until the next tick.
    static constexpr int kMaxFrameJumpsPerTick = 2000;
    // False once the jump budget is spent (MovieClip asks before every jump).
    bool takeFrameJump();

    // Mouse in stage twips.
    void mouseMove(double x, double y);
    void mouseDown(double x, double y);
    void mouseUp(double x, double y);
    Point mousePosition() const { return mouse_; }
    bool mouseIsDown() const { return mouseDown_; }

    // The display list flattened into painting order, in stage twips.
    void buildRenderList(RenderList& out) const;

    // Event queue (used by clips and buttons).
    void queueFrameActions(MovieClip& clip, const ActionBytes& actions);
    void queueInitActions(uint16_t spriteId, const ActionBytes& actions);
    void queueClipLoaded(MovieClip& clip);
    void queueFrameEntered(MovieClip& clip);
    void queueButtonActions(Button& button, const ActionBytes& actions);
    void queueMouseEvent(DisplayObject& target, MouseEvent event);
    // A button or clip reacts as to the mouse (its state and handlers, queued); the
    // keyboard focus uses it too.
    void fire(DisplayObject& target, MouseEvent event);
    // Synchronous notifications.
    void notifyCreated(DisplayObject& object);
    void notifyRemoved(DisplayObject& object);
    // DoInitAction runs once per sprite id.
    bool markInitActionsRun(uint16_t spriteId);
    // Empty timeline for script-made clips.
    const TimelineDefinition& emptyTimeline() const { return emptyTimeline_; }

  private:
    struct QueuedEvent {
        enum Kind {
            InitActions,
            FrameActions,
            ClipLoaded,
            FrameEntered,
            ButtonActions,
            Mouse
        } kind;
        std::shared_ptr<DisplayObject> target;
        ActionBytes actions;
        uint16_t spriteId = 0;
        MouseEvent mouseEvent = MouseEvent::Press;
    };

    void deliver(const QueuedEvent& event);
    DisplayObject* findMouseTarget(double x, double y) const;

    std::shared_ptr<const MovieDefinition> movie_;
    TimelineHooks* hooks_;  // not owned
    std::shared_ptr<MovieClip> root_;
    TimelineDefinition emptyTimeline_;
    std::deque<QueuedEvent> queue_;
    bool draining_ = false;
    bool started_ = false;
    bool loop_ = true;
    int instanceCounter_ = 0;
    uint64_t tick_ = 0;
    int frameJumps_ = 0;
    std::vector<uint16_t> initActionsRun_;

    Point mouse_;
    bool mouseDown_ = false;
    std::weak_ptr<DisplayObject> hovered_;  // object under the mouse (button or clip)
    std::weak_ptr<DisplayObject> pressed_;  // object the press started on
    bool pressedInside_ = false;
};

}  // namespace kestrel::player
