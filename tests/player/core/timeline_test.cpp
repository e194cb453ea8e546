#include <gtest/gtest.h>

#include <utility>

#include "player/core/movie_clip.h"
#include "player/core/stage.h"
#include "tests/player/core/test_movies.h"

namespace kestrel::player {
namespace {

using test::loadDescription;
using test::RecordingHooks;
using Log = std::vector<std::string>;

constexpr int kDepth1 = 1 - 16384;
constexpr int kDepth2 = 2 - 16384;

const char* kSlidingBox = R"(
version 8
stage 200 100
rate 10
shape 1
  fill #FF0000
  rect 0 0 40 40 fill=1
end
shape 2
  fill #0000FF
  circle 20 20 20 fill=1
end
place 1 depth=1 x=10 y=30 name="box"
showframe
move depth=1 x=50 y=30
showframe
move depth=1 x=90 y=30
showframe
replace 2 depth=1
showframe
)";

TEST(Timeline, PlaceMoveReplaceAndLoop) {
    auto movie = loadDescription(kSlidingBox);
    ASSERT_TRUE(movie);
    Stage stage(movie, nullptr);
    stage.start();
    MovieClip& root = stage.root();
    EXPECT_EQ(root.totalFrames(), 4);
    EXPECT_EQ(root.currentFrame(), 1);
    DisplayObject* box = root.childAtDepth(kDepth1);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->name(), "box");
    EXPECT_DOUBLE_EQ(box->x(), 10);

    stage.tick();
    EXPECT_EQ(root.childAtDepth(kDepth1), box) << "a move keeps the object";
    EXPECT_DOUBLE_EQ(box->x(), 50);
    stage.tick();
    EXPECT_DOUBLE_EQ(box->x(), 90);
    stage.tick();
    DisplayObject* replaced = root.childAtDepth(kDepth1);
    ASSERT_NE(replaced, nullptr);
    EXPECT_EQ(replaced->characterId(), 2);
    EXPECT_DOUBLE_EQ(replaced->x(), 90) << "a replace keeps the transform";
    EXPECT_EQ(replaced->name(), "box");

    stage.tick();  // loops back to frame 1
    EXPECT_EQ(root.currentFrame(), 1);
    DisplayObject* again = root.childAtDepth(kDepth1);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->characterId(), 1);
    EXPECT_DOUBLE_EQ(again->x(), 10);
}

TEST(Timeline, StopsAtLastFrameWhenNotLooping) {
    Stage stage(loadDescription(kSlidingBox), nullptr);
    stage.setLoop(false);
    stage.start();
    for (int i = 0; i < 6; ++i) stage.tick();
    EXPECT_EQ(stage.root().currentFrame(), 4);
    EXPECT_FALSE(stage.root().isPlaying());
}

TEST(Timeline, StopPlayNextPrevAndClamping) {
    Stage stage(loadDescription(kSlidingBox), nullptr);
    stage.start();
    MovieClip& root = stage.root();
    root.stop();
    stage.tick();
    EXPECT_EQ(root.currentFrame(), 1);
    root.nextFrame();
    EXPECT_EQ(root.currentFrame(), 2);
    root.prevFrame();
    EXPECT_EQ(root.currentFrame(), 1);
    root.prevFrame();
    EXPECT_EQ(root.currentFrame(), 1);
    root.gotoFrame(99, false);
    EXPECT_EQ(root.currentFrame(), 4);
    root.gotoFrame(-3, true);
    EXPECT_EQ(root.currentFrame(), 1);
    EXPECT_TRUE(root.isPlaying());
    stage.tick();
    EXPECT_EQ(root.currentFrame(), 2);
}

TEST(Timeline, GoingBackwardsRebuildsButKeepsSurvivorsAndScriptObjects) {
    auto movie = loadDescription(R"(
shape 1
  fill #FF0000
  rect 0 0 10 10 fill=1
end
place 1 depth=1 x=5 name="stays"
showframe
place 1 depth=2 x=20 name="later"
showframe
move depth=1 x=40
remove 2
place 1 depth=3 name="third"
showframe
)");
    RecordingHooks hooks;
    Stage stage(movie, &hooks);
    stage.start();
    MovieClip& root = stage.root();
    root.stop();
    DisplayObject* stays = root.childAtDepth(kDepth1);
    MovieClip* dynamicClip = root.createEmptyMovieClip("dyn", 5);
    ASSERT_NE(dynamicClip, nullptr);

    root.gotoFrame(3, false);
    EXPECT_EQ(root.childAtDepth(kDepth2), nullptr);
    EXPECT_DOUBLE_EQ(stays->x(), 40);
    hooks.take();

    root.gotoFrame(2, false);
    EXPECT_EQ(root.childAtDepth(kDepth1), stays) << "same placement keeps its identity";
    EXPECT_DOUBLE_EQ(stays->x(), 5) << "transform of frame 2";
    ASSERT_NE(root.childAtDepth(kDepth2), nullptr);
    EXPECT_EQ(root.childAtDepth(kDepth2)->name(), "later");
    EXPECT_EQ(root.childAtDepth(3 - 16384), nullptr);
    EXPECT_EQ(root.childAtDepth(5), dynamicClip) << "script-made clips survive";
    Log log = hooks.take();
    EXPECT_NE(std::find(log.begin(), log.end(), "removed third"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "created later"), log.end());
}

TEST(Timeline, ScriptTransformIsNotOverriddenByTimelineMoves) {
    Stage stage(loadDescription(kSlidingBox), nullptr);
    stage.start();
    DisplayObject* box = stage.root().childAtDepth(kDepth1);
    box->setX(123);
    stage.tick();
    EXPECT_DOUBLE_EQ(box->x(), 123);
}

TEST(Timeline, LabelsAreFoundWithoutRegardToCase) {
    Stage stage(loadDescription(R"(
showframe
label "Intro"
showframe
label "end"
showframe
)"),
                nullptr);
    stage.start();
    MovieClip& root = stage.root();
    EXPECT_TRUE(root.gotoLabel("intro", false));
    EXPECT_EQ(root.currentFrame(), 2);
    EXPECT_EQ(root.currentLabel(), "Intro");
    EXPECT_TRUE(root.gotoLabel("END", true));
    EXPECT_EQ(root.currentFrame(), 3);
    EXPECT_FALSE(root.gotoLabel("missing", false));
    EXPECT_EQ(root.currentFrame(), 3);
}

const char* kSpriteMovie = R"(
shape 1
  fill #00FF00
  rect 0 0 10 10 fill=1
end
sprite 10
  place 1 depth=1 x=0
  tag 12 0A00
  showframe
  move depth=1 x=10
  showframe
  move depth=1 x=20
  tag 12 0B00
  showframe
end
export 10 "spinner"
tag 59 0A00 0C00
place 10 depth=1 name="clip"
tag 12 0100
showframe
tag 12 0200
showframe
tag 12 0300
showframe
)";

TEST(Timeline, SpritesAdvanceOnTheirOwnTimelines) {
    Stage stage(loadDescription(kSpriteMovie), nullptr);
    stage.start();
    auto* clip = static_cast<MovieClip*>(stage.root().childAtDepth(kDepth1));
    ASSERT_NE(clip, nullptr);
    ASSERT_TRUE(clip->isClip());
    EXPECT_EQ(clip->totalFrames(), 3);
    EXPECT_EQ(clip->currentFrame(), 1);
    stage.root().stop();
    stage.tick();
    EXPECT_EQ(stage.root().currentFrame(), 1);
    EXPECT_EQ(clip->currentFrame(), 2);
    EXPECT_DOUBLE_EQ(clip->childAtDepth(kDepth1)->x(), 10);
    EXPECT_DOUBLE_EQ(clip->width(), 10);
    stage.tick();
    stage.tick();
    EXPECT_EQ(clip->currentFrame(), 1) << "sprites loop";
    EXPECT_EQ(clip->targetPath(), "_level0.clip");
}

TEST(Timeline, ActionsRunInOrderAndOnlyForTheTargetFrame) {
    RecordingHooks hooks;
    hooks.recordEnterFrame = true;
    Stage stage(loadDescription(kSpriteMovie), &hooks);
    stage.start();
    EXPECT_EQ(hooks.take(),
              (Log{"created _level0", "created clip", "created ", "init 10 0C00",
                   "frame _level0 0100", "loaded _level0", "frame clip 0A00", "loaded clip"}));
    stage.tick();
    EXPECT_EQ(hooks.take(), (Log{"enter clip", "enter _level0", "frame _level0 0200"}))
        << "the newest clip hears enterFrame first";
    stage.root().gotoFrame(1, false);
    stage.runQueuedActions();
    Log log = hooks.take();
    EXPECT_NE(std::find(log.begin(), log.end(), "frame _level0 0100"), log.end());
    EXPECT_EQ(std::count(log.begin(), log.end(), "init 10 0C00"), 0) << "init actions run once";
    hooks.take();
    stage.root().gotoFrame(3, false);  // skips frame 2's actions
    stage.runQueuedActions();
    log = hooks.take();
    EXPECT_EQ(std::count(log.begin(), log.end(), "frame _level0 0200"), 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "frame _level0 0300"), 1);
}

TEST(Timeline, AttachMovieUsesExportNames) {
    RecordingHooks hooks;
    Stage stage(loadDescription(kSpriteMovie), &hooks);
    stage.start();
    hooks.take();
    MovieClip* attached = stage.root().attachMovie("spinner", "copy", 7);
    ASSERT_NE(attached, nullptr);
    EXPECT_EQ(attached->depth(), 7);
    EXPECT_TRUE(attached->createdByScript());
    EXPECT_EQ(stage.root().childByName("copy", true), attached);
    EXPECT_EQ(stage.root().childByName("COPY", true), nullptr);
    EXPECT_EQ(stage.root().childByName("COPY", false), attached);
    EXPECT_EQ(stage.root().attachMovie("nothing", "x", 8), nullptr);
    EXPECT_EQ(stage.root().nextHighestDepth(), 8);
    stage.runQueuedActions();
    EXPECT_EQ(hooks.take(), (Log{"created copy", "created ", "frame copy 0A00", "loaded copy"}));

    // Replacing at a depth removes the old clip, children first.
    stage.root().createEmptyMovieClip("empty", 7);
    EXPECT_EQ(hooks.take(), (Log{"removed ", "removed copy", "created empty"}));
}

TEST(Timeline, RemovalReportsChildrenBeforeParents) {
    RecordingHooks hooks;
    Stage stage(loadDescription(kSpriteMovie), &hooks);
    stage.start();
    MovieClip* attached = stage.root().attachMovie("spinner", "copy", 7);
    ASSERT_NE(attached, nullptr);
    attached->childAtDepth(kDepth1)->setName("inner");
    hooks.take();
    EXPECT_TRUE(stage.root().removeChildByScript(*attached));
    EXPECT_EQ(hooks.take(), (Log{"removed inner", "removed copy"}));
    EXPECT_TRUE(attached->isRemoved());
    auto* timelineClip = stage.root().childAtDepth(kDepth1);
    EXPECT_FALSE(stage.root().removeChildByScript(*timelineClip)) << "negative depths stay";
}

TEST(Timeline, SwapDepthsAndDuplicate) {
    Stage stage(loadDescription(kSpriteMovie), nullptr);
    stage.start();
    auto* clip = static_cast<MovieClip*>(stage.root().childAtDepth(kDepth1));
    MovieClip* copy = clip->duplicate("copy", 3);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->parent(), &stage.root());
    EXPECT_TRUE(stage.root().swapChildDepth(*clip, 3));
    EXPECT_EQ(stage.root().childAtDepth(3), clip);
    EXPECT_EQ(stage.root().childAtDepth(kDepth1), copy);
    EXPECT_EQ(clip->depth(), 3);
    EXPECT_EQ(copy->depth(), kDepth1);
}

TEST(Timeline, PropertiesFollowTheMatrix) {
    Stage stage(loadDescription(kSlidingBox), nullptr);
    stage.start();
    DisplayObject* box = stage.root().childAtDepth(kDepth1);
    EXPECT_DOUBLE_EQ(box->width(), 40);
    box->setXScale(200);
    EXPECT_NEAR(box->width(), 80, 1e-9);
    EXPECT_NEAR(box->xScale(), 200, 1e-9);
    box->setRotation(90);
    EXPECT_NEAR(box->rotation(), 90, 1e-9);
    EXPECT_NEAR(box->height(), 80, 1e-9);
    box->setRotation(0);
    box->setWidth(20);
    EXPECT_NEAR(box->xScale(), 50, 1e-9);
    // _alpha lives in 8.8 fixed point, cut towards zero.
    const std::pair<double, double> alphas[] = {
        {50, 50}, {30, 29.6875}, {0.5, 0.390625}, {-10, -9.765625}, {100, 100}};
    for (const auto& [set, read] : alphas) {
        box->setAlpha(set);
        EXPECT_DOUBLE_EQ(box->alpha(), read) << set;
    }
    box->setAlpha(100);
    box->setXScale(100);
    box->setRotation(5);
    EXPECT_DOUBLE_EQ(box->width(), 43.35) << "bounds in the parent are whole twips";
    box->setVisible(false);
    RenderList list;
    stage.buildRenderList(list);
    EXPECT_TRUE(list.items.empty());
}

}  // namespace
}  // namespace kestrel::player

namespace kestrel::player {
namespace {

TEST(Timeline, SpriteThatPlacesItselfNestsOnlySoDeep) {
    RecordingHooks hooks;
    {
        Stage stage(test::loadDescription(R"(
sprite 10
  place 10 depth=1
  showframe
  showframe
end
place 10 depth=1
showframe
)"),
                    &hooks);
        stage.start();
        int levels = 0;
        for (const DisplayObject* o = stage.root().childAtDepth(kDepth1); o && o->isClip();
             o = static_cast<const MovieClip*>(o)->childAtDepth(kDepth1))
            ++levels;
        EXPECT_EQ(levels, MovieClip::kMaxNesting);
        stage.tick();
        stage.root().gotoFrame(1, false);
    }
}

}  // namespace
}  // namespace kestrel::player

namespace kestrel::player {
namespace {

// Frame 1 jumps to 2 and frame 2 back to 1, for ever: the jumps are cut off and
// the player keeps playing.
class PingPongHooks : public TimelineHooks {
  public:
    int jumps = 0;
    void runFrameActions(MovieClip& clip, const ActionBytes&) override {
        ++jumps;
        clip.gotoFrame(clip.currentFrame() == 1 ? 2 : 1, false);
    }
};

TEST(Timeline, EndlessScriptJumpsAreCutOff) {
    PingPongHooks hooks;
    Stage stage(test::loadDescription("tag 12 0100\nshowframe\ntag 12 0200\nshowframe\n"), &hooks);
    stage.start();
    EXPECT_LE(hooks.jumps, Stage::kMaxFrameJumpsPerTick + 1);
    hooks.jumps = 0;
    stage.root().play();
    stage.tick();
    EXPECT_GT(hooks.jumps, 0) << "the next tick runs scripts again";
    EXPECT_LE(hooks.jumps, Stage::kMaxFrameJumpsPerTick + 2);
}

}  // namespace
}  // namespace kestrel::player
