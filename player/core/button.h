// A DefineButton2 instance: shows the characters of its current state and fires
// condition actions on mouse transitions.
#pragma once

#include <memory>
#include <vector>

#include "player/core/character_definitions.h"
#include "player/core/display_object.h"

namespace kestrel::player {

enum class ButtonState { Up, Over, Down };

class Button : public DisplayObject {
  public:
    Button(Stage& stage, const ButtonDefinition& definition);

    const ButtonDefinition& definition() const { return *definition_; }
    ButtonState state() const { return state_; }
    // Rebuilds the shown characters when the state changes.
    void setState(ButtonState state);
    // Characters of the current state, in depth order.
    const std::vector<std::shared_ptr<DisplayObject>>& stateChildren() const { return shown_; }

    // Bounds of the shown state.
    Rect localBounds() const override;
    // Against the hit-test state's characters.
    bool hitTestLocal(double x, double y) const override;

    // Stage internals: builds the first state, and releases children on removal.
    void construct();
    void releaseChildren();

  private:
    std::vector<std::shared_ptr<DisplayObject>> makeStateChildren(uint8_t stateFlag);

    const ButtonDefinition* definition_;  // not owned: lives in the MovieDefinition
    ButtonState state_ = ButtonState::Up;
    std::vector<std::shared_ptr<DisplayObject>> shown_;
    std::vector<std::shared_ptr<DisplayObject>> hitArea_;
};

}  // namespace kestrel::player
