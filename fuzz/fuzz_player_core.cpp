// Any bytes through the SWF parser; what loads is played: frame 1, a few ticks,
// a jump back (timeline rebuild), mouse input over its buttons, the render list.
#include <cstddef>
#include <cstdint>

#include "player/core/button.h"
#include "player/core/stage.h"

using namespace kestrel::player;

namespace {

// Answers frame actions with timeline jumps, as scripts do, to drive rebuilds and
// the event queue's re-entry.
class JumpingHooks : public TimelineHooks {
  public:
    void runFrameActions(MovieClip& clip, const ActionBytes& actions) override {
        if (actions.size > 0 && (actions.data[0] & 1))
            clip.gotoFrame(actions.data[0] % 5 + 1, actions.size > 1);
    }
    void runButtonActions(Button& button, const ActionBytes&) override {
        if (MovieClip* parent = button.parent()) parent->prevFrame();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MovieLoadResult result = loadMovie(data, size);
    if (result.error != SwfError::None) return 0;
    JumpingHooks hooks;
    Stage stage(result.movie, &hooks);
    stage.start();
    for (int i = 0; i < 4; ++i) stage.tick();
    stage.root().gotoFrame(1, true);
    stage.runQueuedActions();
    for (double x : {0.0, 400.0, 2000.0}) {
        stage.mouseMove(x, x);
        stage.mouseDown(x, x);
        stage.mouseUp(x + 100, x);
    }
    stage.tick();
    RenderList list;
    stage.buildRenderList(list);
    volatile double sink = 0;
    for (const RenderItem& item : list.items) {
        if (item.shape) sink = sink + item.shape->bounds.width();
    }
    return 0;
}
