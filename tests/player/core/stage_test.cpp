// Mouse tracking over buttons and clips, text fields, and the render list.
#include "player/core/stage.h"

#include <gtest/gtest.h>

#include "player/core/button.h"
#include "tests/player/core/test_movies.h"

namespace kestrel::player {
namespace {

using test::buttonTag;
using test::loadDescription;
using test::RecordingHooks;
using Log = std::vector<std::string>;

constexpr double kPx = 20;  // twips per pixel

std::string buttonMovie() {
    return std::string(R"(
shape 1
  fill #336699
  rect 0 0 40 40 fill=1
end
)") + buttonTag(5, 1, swf::kCondOverDownToOverUp | swf::kCondOutDownToIdle, {0x07, 0x00}) +
           "\nplace 5 depth=1 x=100 y=100 name=\"ok\"\nshowframe\n";
}

TEST(Mouse, ButtonGoesThroughItsStatesAndFiresConditionActions) {
    RecordingHooks hooks;
    Stage stage(loadDescription(buttonMovie()), &hooks);
    stage.start();
    auto* button = static_cast<Button*>(stage.root().childAtDepth(1 - 16384));
    ASSERT_NE(button, nullptr);
    ASSERT_EQ(button->kind(), DisplayObjectKind::Button);
    EXPECT_EQ(button->state(), ButtonState::Up);
    hooks.take();

    stage.mouseMove(10 * kPx, 10 * kPx);
    EXPECT_TRUE(hooks.take().empty());
    stage.mouseMove(110 * kPx, 110 * kPx);
    EXPECT_EQ(button->state(), ButtonState::Over);
    EXPECT_EQ(hooks.take(), (Log{"mouse ok rollOver"}));
    stage.mouseDown(110 * kPx, 110 * kPx);
    EXPECT_EQ(button->state(), ButtonState::Down);
    EXPECT_EQ(hooks.take(), (Log{"mouse ok press"}));
    stage.mouseUp(110 * kPx, 110 * kPx);
    EXPECT_EQ(button->state(), ButtonState::Over);
    EXPECT_EQ(hooks.take(), (Log{"button ok 0700", "mouse ok release"}));

    // Pressed, dragged out, released outside.
    stage.mouseDown(110 * kPx, 110 * kPx);
    stage.mouseMove(300 * kPx, 10 * kPx);
    stage.mouseUp(300 * kPx, 10 * kPx);
    EXPECT_EQ(hooks.take(), (Log{"mouse ok press", "mouse ok dragOut", "button ok 0700",
                                 "mouse ok releaseOutside"}));
    EXPECT_EQ(button->state(), ButtonState::Up);
}

TEST(Mouse, ClipsWithHandlersTakeTheMouseLikeButtons) {
    RecordingHooks hooks;
    Stage stage(loadDescription(R"(
shape 1
  fill #FF0000
  rect 0 0 20 20 fill=1
end
sprite 2
  place 1 depth=1
  showframe
end
place 2 depth=1 x=0 y=0 name="a"
place 2 depth=2 x=10 y=0 name="b"
showframe
)"),
                &hooks);
    stage.start();
    auto* a = static_cast<MovieClip*>(stage.root().childAtDepth(1 - 16384));
    auto* b = static_cast<MovieClip*>(stage.root().childAtDepth(2 - 16384));
    a->setAcceptsMouse(true);
    b->setAcceptsMouse(true);
    hooks.take();
    stage.mouseMove(15 * kPx, 5 * kPx);  // both overlap here: b is on top
    EXPECT_EQ(hooks.take(), (Log{"mouse b rollOver"}));
    stage.mouseMove(5 * kPx, 5 * kPx);
    EXPECT_EQ(hooks.take(), (Log{"mouse b rollOut", "mouse a rollOver"}));
    b->setVisible(false);
    stage.mouseMove(25 * kPx, 5 * kPx);
    EXPECT_EQ(hooks.take(), (Log{"mouse a rollOut"}));
}

TEST(EditTextFields, DefinitionFieldsReachTheFieldAndTheRenderList) {
    Stage stage(loadDescription(test::editTextTag(3, 2000, 400, "msg", "hi") +
                                "\nplace 3 depth=1 x=5 y=6 name=\"field\"\nshowframe\n"),
                nullptr);
    stage.start();
    DisplayObject* object = stage.root().childAtDepth(1 - 16384);
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->kind(), DisplayObjectKind::EditText);
    auto* field = static_cast<EditText*>(object);
    EXPECT_EQ(field->text(), "hi");
    EXPECT_EQ(field->variableName(), "msg");
    EXPECT_EQ(field->format().fontHeight, 240);
    EXPECT_EQ(field->format().textColor, (Rgba{255, 0, 0, 255}));
    EXPECT_TRUE(field->format().border);
    EXPECT_DOUBLE_EQ(field->width(), 100);
    field->setText("changed");

    RenderList list;
    stage.buildRenderList(list);
    ASSERT_EQ(list.items.size(), 1u);
    EXPECT_EQ(list.items[0].kind, RenderItem::Text);
    EXPECT_EQ(list.items[0].text->text(), "changed");
    EXPECT_DOUBLE_EQ(list.items[0].matrix.tx, 5 * kPx);

    EditText* made = stage.root().createTextField("made", 4, 1, 2, 30, 40);
    ASSERT_NE(made, nullptr);
    EXPECT_DOUBLE_EQ(made->x(), 1);
    EXPECT_DOUBLE_EQ(made->height(), 40);
}

TEST(RenderListBuild, CombinesTransformsAndBracketsMasks) {
    Stage stage(loadDescription(R"(
background #102030
shape 1
  fill #FF0000
  rect 0 0 10 10 fill=1
end
sprite 2
  place 1 depth=1 x=5 y=0 alpha=0.5
  showframe
end
place 2 depth=1 x=100 y=50 scale=2
place 1 depth=2 clipdepth=4
place 1 depth=3 x=1
place 1 depth=4 x=3
place 1 depth=5 x=7
showframe
)"),
                nullptr);
    stage.start();
    RenderList list;
    stage.buildRenderList(list);
    EXPECT_EQ(list.background, (Rgba{0x10, 0x20, 0x30, 255}));
    std::vector<RenderItem::Kind> kinds;
    for (const RenderItem& item : list.items) kinds.push_back(item.kind);
    EXPECT_EQ(kinds, (std::vector<RenderItem::Kind>{RenderItem::Shape, RenderItem::BeginMask,
                                                    RenderItem::Shape, RenderItem::MaskContent,
                                                    RenderItem::Shape, RenderItem::Shape,
                                                    RenderItem::EndMask, RenderItem::Shape}));
    const RenderItem& nested = list.items[0];
    EXPECT_DOUBLE_EQ(nested.matrix.a, 2);
    EXPECT_DOUBLE_EQ(nested.matrix.tx, (100 + 2 * 5) * kPx);
    EXPECT_NEAR(nested.colorTransform.aMul, 0.5, 0.01);
    EXPECT_DOUBLE_EQ(list.items[4].matrix.tx, 1 * kPx);
    EXPECT_DOUBLE_EQ(list.items[5].matrix.tx, 3 * kPx) << "depth 4 is masked too (clip depth 4)";
    EXPECT_DOUBLE_EQ(list.items[7].matrix.tx, 7 * kPx) << "past the clip depth, unmasked";
}

}  // namespace
}  // namespace kestrel::player
